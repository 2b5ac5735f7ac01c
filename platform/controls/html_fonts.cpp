#include "platform/controls/html_fonts.h"

#include "platform/gdi/font_object.h"
#include "platform/gdi/fonts.h"

#include <algorithm>

namespace platform::controls {
namespace {

// 7 sizes x bold x italic x underline x strike-out.
constexpr int kLooks = 7 * 16;

int look_of(const HtmlStyle& s) {
    const int size = std::clamp<int>(s.size, 1, 7) - 1;
    return size * 16 + (s.bold ? 8 : 0) + (s.italic ? 4 : 0) + (s.underline ? 2 : 0) + (s.strike ? 1 : 0);
}

struct Entry {
    HFONT font = nullptr;
    gdi::Font* object = nullptr;
};

Entry& entry(const HtmlStyle& s) {
    static Entry entries[kLooks];
    Entry& e = entries[look_of(s)];
    if (e.font == nullptr) {
        LOGFONTW lf{};
        lf.lfHeight = -kHtmlFontPixels[std::clamp<int>(s.size, 1, 7)];
        lf.lfWeight = s.bold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = s.italic ? 1 : 0;
        lf.lfUnderline = s.underline ? 1 : 0;
        lf.lfStrikeOut = s.strike ? 1 : 0;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = ANTIALIASED_QUALITY;
        e.font = CreateFontIndirectW(&lf);
        e.object = gdi::lookup_as<gdi::Font>(e.font, gdi::ObjectKind::Font);
    }
    return e;
}

}  // namespace

HFONT html_font(const HtmlStyle& style) { return entry(style).font; }

gdi::FaceInstance& html_face(const HtmlStyle& style) {
    Entry& e = entry(style);
    if (e.object != nullptr) return e.object->face();
    // Without a font object (memory ran out) the System face still measures.
    return gdi::system_font()->face();
}

}  // namespace platform::controls
