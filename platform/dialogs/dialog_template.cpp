#include "platform/dialogs/dialog_template.h"

#include "platform/dialogs/dialog_box.h"

namespace platform::dialogs {
namespace {

constexpr std::size_t kMaxText = 32767;  // units of one title or face name

// Little-endian fields read strictly within size bytes.
class Reader {
public:
    Reader(const BYTE* bytes, std::size_t size) : m_bytes(bytes), m_size(size) {}

    bool word(WORD& out) {
        if (m_size - m_at < 2) return false;
        out = static_cast<WORD>(m_bytes[m_at] | (m_bytes[m_at + 1] << 8));
        m_at += 2;
        return true;
    }
    bool dword(DWORD& out) {
        WORD low = 0;
        WORD high = 0;
        if (!word(low) || !word(high)) return false;
        out = static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16);
        return true;
    }
    bool coordinate(LONG& out) {
        WORD raw = 0;
        if (!word(raw)) return false;
        out = static_cast<SHORT>(raw);
        return true;
    }
    // A zero-terminated text.
    bool text(std::u16string& out) {
        out.clear();
        for (;;) {
            WORD unit = 0;
            if (!word(unit)) return false;
            if (unit == 0) return true;
            if (out.size() == kMaxText) return false;
            out += static_cast<char16_t>(unit);
        }
    }
    // 0x0000 (none), 0xFFFF and a number, or a text.
    bool name_or_number(std::u16string& name, int& number) {
        number = -1;
        name.clear();
        if (m_size - m_at < 2) return false;
        const WORD first = static_cast<WORD>(m_bytes[m_at] | (m_bytes[m_at + 1] << 8));
        if (first == 0) {
            m_at += 2;
            return true;
        }
        if (first == 0xFFFF) {
            m_at += 2;
            WORD value = 0;
            if (!word(value)) return false;
            number = value;
            return true;
        }
        return text(name);
    }
    bool align4() {
        const std::size_t aligned = (m_at + 3) & ~std::size_t{3};
        if (aligned > m_size) return false;
        m_at = aligned;
        return true;
    }
    bool bytes(std::size_t count, std::vector<BYTE>& out) {
        if (m_size - m_at < count) return false;
        out.assign(m_bytes + m_at, m_bytes + m_at + count);
        m_at += count;
        return true;
    }

private:
    const BYTE* m_bytes;
    std::size_t m_size;
    std::size_t m_at = 0;
};

const char16_t* class_of_atom(int atom) {
    switch (atom) {
    case 0x0080: return u"BUTTON";
    case 0x0081: return u"EDIT";
    case 0x0082: return u"STATIC";
    case 0x0083: return u"LISTBOX";
    case 0x0084: return u"SCROLLBAR";
    case 0x0085: return u"COMBOBOX";
    default: return nullptr;
    }
}

bool read_rect(Reader& in, RECT& units) {
    LONG x = 0, y = 0, cx = 0, cy = 0;
    if (!in.coordinate(x) || !in.coordinate(y) || !in.coordinate(cx) || !in.coordinate(cy)) return false;
    units = RECT{x, y, x + cx, y + cy};
    return cx >= 0 && cy >= 0;
}

}  // namespace

std::optional<DialogTemplate> read_dialog_template(const void* data, std::size_t size, std::string* error) {
    auto fail = [error](const char* why) -> std::optional<DialogTemplate> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (data == nullptr) return fail("no template");
    Reader in(static_cast<const BYTE*>(data), size);
    DialogTemplate t;
    WORD count = 0;
    if (!in.dword(t.style) || !in.dword(t.exStyle)) return fail("the header is cut short");
    // An extended template starts with version 1 and the signature 0xFFFF.
    if ((t.style & 0xFFFF) == 1 && (t.style >> 16) == 0xFFFF) return fail("extended templates are not supported");
    if (!in.word(count)) return fail("the header is cut short");
    if (!read_rect(in, t.units)) return fail("the dialog's rectangle is cut short or negative");
    std::u16string name;
    int number = -1;
    if (!in.name_or_number(name, number)) return fail("the menu is cut short");
    if (!name.empty() || number >= 0) return fail("dialog menus are not supported");
    if (!in.name_or_number(name, number)) return fail("the window class is cut short");
    if (!name.empty() || number >= 0) return fail("dialog window classes are not supported");
    if (!in.text(t.title)) return fail("the title is cut short");
    if (t.style & DS_SETFONT) {
        t.hasFont = true;
        if (!in.word(t.pointSize) || !in.text(t.faceName)) return fail("the font is cut short");
    }
    for (WORD i = 0; i < count; ++i) {
        DialogItem item;
        if (!in.align4() || !in.dword(item.style) || !in.dword(item.exStyle)) return fail("an item is cut short");
        if (!read_rect(in, item.units)) return fail("an item's rectangle is cut short or negative");
        WORD rawId = 0;
        if (!in.word(rawId)) return fail("an item is cut short");
        item.id = rawId;
        if (!in.name_or_number(item.className, number)) return fail("an item's class is cut short");
        if (number >= 0) {
            const char16_t* known = class_of_atom(number);
            if (known == nullptr) return fail("an item's class atom is unknown");
            item.className = known;
        } else if (item.className.empty()) {
            return fail("an item has no class");
        }
        if (!in.name_or_number(item.text, number)) return fail("an item's title is cut short");
        WORD extra = 0;
        if (!in.word(extra) || !in.bytes(extra, item.creationData)) return fail("an item's creation data is cut short");
        t.items.push_back(std::move(item));
    }
    return t;
}

}  // namespace platform::dialogs
