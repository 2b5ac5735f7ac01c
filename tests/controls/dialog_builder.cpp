#include "tests/controls/dialog_builder.h"

namespace controls_test {
namespace {

void put_word(std::vector<BYTE>& out, WORD w) {
    out.push_back(static_cast<BYTE>(w & 0xFF));
    out.push_back(static_cast<BYTE>(w >> 8));
}

void put_dword(std::vector<BYTE>& out, DWORD d) {
    put_word(out, static_cast<WORD>(d & 0xFFFF));
    put_word(out, static_cast<WORD>(d >> 16));
}

void put_text(std::vector<BYTE>& out, const std::u16string& text) {
    for (char16_t u : text) put_word(out, u);
    put_word(out, 0);
}

}  // namespace

DialogBuilder::DialogBuilder(DWORD style, short x, short y, short cx, short cy, std::u16string font, WORD points)
    : m_style(style), m_x(x), m_y(y), m_cx(cx), m_cy(cy), m_font(std::move(font)), m_points(points) {}

DialogBuilder& DialogBuilder::item(const ItemSpec& spec) {
    m_items.push_back(spec);
    return *this;
}

std::vector<BYTE> DialogBuilder::bytes() const {
    std::vector<BYTE> out;
    put_dword(out, m_style);
    put_dword(out, 0);
    put_word(out, static_cast<WORD>(m_items.size()));
    for (short v : {m_x, m_y, m_cx, m_cy}) put_word(out, static_cast<WORD>(v));
    put_word(out, 0);  // no menu
    put_word(out, 0);  // the dialog class
    put_text(out, u"");
    if (m_style & DS_SETFONT) {
        put_word(out, m_points);
        put_text(out, m_font);
    }
    for (const ItemSpec& item : m_items) {
        while (out.size() % 4 != 0) out.push_back(0);
        put_dword(out, item.style);
        put_dword(out, 0);
        for (short v : {item.x, item.y, item.cx, item.cy}) put_word(out, static_cast<WORD>(v));
        put_word(out, item.id);
        if (item.atom != 0) {
            put_word(out, 0xFFFF);
            put_word(out, item.atom);
        } else {
            put_text(out, item.className);
        }
        put_text(out, item.text);
        put_word(out, static_cast<WORD>(item.creationData.size()));
        out.insert(out.end(), item.creationData.begin(), item.creationData.end());
    }
    return out;
}

LPCDLGTEMPLATEW register_dialog(WORD id, std::vector<BYTE> bytes) {
    platform::add_resource(RT_DIALOG, MAKEINTRESOURCEW(id), std::move(bytes));
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(self, MAKEINTRESOURCEW(id), RT_DIALOG);
    return static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(self, resource)));
}

}  // namespace controls_test
