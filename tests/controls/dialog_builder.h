// Dialog templates for the tests, laid out byte for byte as the resource
// compiler lays them out.
#pragma once

#include "platform/win32.h"

#include <string>
#include <vector>

namespace controls_test {

struct ItemSpec {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD atom;               // 0x0080..0x0085, or 0 with className
    std::u16string className;
    std::u16string text;
    std::vector<BYTE> creationData = {};
};

class DialogBuilder {
public:
    DialogBuilder(DWORD style, short x, short y, short cx, short cy, std::u16string font = u"System", WORD points = 8);
    DialogBuilder& item(const ItemSpec& spec);
    std::vector<BYTE> bytes() const;

private:
    DWORD m_style;
    short m_x, m_y, m_cx, m_cy;
    std::u16string m_font;
    WORD m_points;
    std::vector<ItemSpec> m_items;
};

// Registers bytes as dialog resource id and returns the template pointer
// DialogBoxIndirectParamW takes, as FindResourceW, LoadResource and
// LockResource give it.
LPCDLGTEMPLATEW register_dialog(WORD id, std::vector<BYTE> bytes);

}  // namespace controls_test
