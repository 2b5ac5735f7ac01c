// The dialog templates of the Find (115) and Information (145) dialogs,
// written as the resource compiler lays them out: the DLGTEMPLATE header,
// no menu, no class, no title, the font, then each control on a 4-byte
// boundary with its class, text and no creation data. Sizes are dialog
// units; 138 x 156 fill the screen between the two bars.
#include "resources/resource_ids.h"
#include "platform/win32.h"
#include "resources/program_resources.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Classes by their atoms, or by name.
constexpr std::uint16_t kStatic = 0x0082;
constexpr std::uint16_t kListBox = 0x0083;
constexpr std::uint16_t kComboBox = 0x0085;

struct Control {
    int id;
    std::uint16_t atom;     // 0: className instead
    const char16_t* className;
    const char16_t* text;
    short x, y, cx, cy;
    DWORD style;
};

class TemplateWriter {
public:
    void word(std::uint16_t w) {
        m_bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        m_bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    void text(const char16_t* s) {
        for (; *s; ++s) word(static_cast<std::uint16_t>(*s));
        word(0);
    }
    template <typename T>
    void raw(const T& value) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
        m_bytes.insert(m_bytes.end(), p, p + sizeof value);
    }
    void align4() {
        while (m_bytes.size() % 4 != 0) m_bytes.push_back(0);
    }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

std::vector<std::uint8_t> make_template(DWORD style, const std::vector<Control>& controls) {
    TemplateWriter out;
    DLGTEMPLATE header{};
    header.style = style | DS_SETFONT;
    header.cdit = static_cast<WORD>(controls.size());
    header.cx = 138;
    header.cy = 156;
    out.raw(header);
    out.word(0);  // no menu
    out.word(0);  // the dialog class
    out.word(0);  // no title
    out.word(8);  // "System", 8 points
    out.text(u"System");
    for (const Control& c : controls) {
        out.align4();
        DLGITEMTEMPLATE item{};
        // The resource compiler makes every control a visible child.
        item.style = c.style | WS_CHILD | WS_VISIBLE;
        item.x = c.x;
        item.y = c.y;
        item.cx = c.cx;
        item.cy = c.cy;
        item.id = static_cast<WORD>(c.id);
        out.raw(item);
        if (c.atom != 0) {
            out.word(0xFFFF);
            out.word(c.atom);
        } else {
            out.text(c.className);
        }
        out.text(c.text ? c.text : u"");
        out.word(0);  // no creation data
    }
    return out.take();
}

constexpr DWORD kLabel = SS_LEFT | WS_GROUP;
constexpr DWORD kDropList = CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;

}  // namespace

void RegisterDialogTemplates() {
    platform::add_resource(
        RT_DIALOG, MAKEINTRESOURCEW(IDD_FIND),
        make_template(WS_POPUP | WS_VISIBLE,
                      {
                          {IDC_FIND_LOCATIONS, kListBox, nullptr, nullptr, 0, 50, 138, 50,
                           LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | WS_VSCROLL |
                               WS_BORDER | WS_TABSTOP},
                          {IDC_FIND_CATEGORIES, kComboBox, nullptr, nullptr, 0, 29, 137, 107, kDropList},
                          {IDC_FIND_MAPS, kComboBox, nullptr, nullptr, 0, 9, 137, 107, kDropList | CBS_SORT},
                          {IDC_FIND_MAP_LABEL, kStatic, nullptr, u"Find Within", 1, 1, 70, 8, kLabel},
                          {IDC_FIND_CATEGORY_LABEL, kStatic, nullptr, u"Category", 1, 21, 45, 8, kLabel},
                          {IDC_FIND_ITEM_LABEL, kStatic, nullptr, u"Item", 1, 42, 26, 8, kLabel},
                          {IDC_FIND_DESCRIPTION, 0, DISPLAYCLASS, nullptr, 0, 112, 138, 44, WS_BORDER},
                          {IDC_FIND_INFO_LABEL, kStatic, nullptr, u"Info", 1, 104, 26, 8, kLabel},
                      }));
    platform::add_resource(
        RT_DIALOG, MAKEINTRESOURCEW(IDD_INFORMATION),
        make_template(WS_POPUP,
                      {
                          {IDC_INFO_MAPS, kComboBox, nullptr, nullptr, 0, 9, 137, 107, kDropList | CBS_SORT},
                          {IDC_INFO_TOPICS, kComboBox, nullptr, nullptr, 0, 30, 137, 107, kDropList},
                          {IDC_INFO_TEXT, 0, DISPLAYCLASS, nullptr, 0, 41, 138, 114, 0},
                          {IDC_INFO_VIEW_LABEL, kStatic, nullptr, u"View", 1, 1, 29, 8, kLabel},
                          {IDC_INFO_CATEGORY_LABEL, kStatic, nullptr, u"Category", 1, 22, 45, 8, kLabel},
                      }));
}
