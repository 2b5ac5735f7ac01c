#include "platform/gdi/dc_object.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/font_object.h"

#include <cstring>
#include <map>
#include <new>

namespace platform::gdi {

Font::Font(const LOGFONTW& logfont) : GdiObject(ObjectKind::Font), m_logfont(logfont) {
    // The face name is always terminated.
    m_logfont.lfFaceName[LF_FACESIZE - 1] = 0;
}

FaceInstance& Font::face() const {
    if (m_face == nullptr) m_face = face_for(m_logfont);
    return *m_face;
}

int Font::describe(int bufferSize, void* buffer) const {
    if (buffer == nullptr) return sizeof(LOGFONTW);
    if (bufferSize < static_cast<int>(sizeof(LOGFONTW))) return 0;
    std::memcpy(buffer, &m_logfont, sizeof m_logfont);
    return sizeof m_logfont;
}

LOGFONTW system_logfont() {
    LOGFONTW lf{};
    lf.lfHeight = kSystemFontHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::memcpy(lf.lfFaceName, u"System", sizeof(u"System"));
    return lf;
}

Font* system_font() {
    static Font* const font = [] {
        auto* f = new Font(system_logfont());
        f->make_stock();
        register_object(f);
        return f;
    }();
    return font;
}

}  // namespace platform::gdi

HFONT CreateFontIndirectW(const LOGFONTW* logfont) {
    if (logfont == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* font = new (std::nothrow) platform::gdi::Font(*logfont);
    if (font == nullptr) return nullptr;
    return static_cast<HFONT>(platform::gdi::register_object(font));
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* tm) {
    auto* dc = platform::gdi::DeviceContext::from(handle);
    if (dc == nullptr || tm == nullptr || dc->font() == nullptr) return FALSE;
    const platform::gdi::Font& font = *dc->font();
    platform::gdi::FaceInstance& face = font.face();
    const LOGFONTW& lf = font.logfont();
    *tm = TEXTMETRICW{};
    tm->tmHeight = face.height;
    tm->tmAscent = face.ascent;
    tm->tmDescent = face.descent;
    tm->tmInternalLeading = face.internalLeading;
    tm->tmExternalLeading = 0;
    tm->tmAveCharWidth = face.averageWidth;
    tm->tmMaxCharWidth = face.maxWidth;
    tm->tmWeight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFFFC;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = lf.lfItalic ? 1 : 0;
    tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    tm->tmPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    tm->tmCharSet = lf.lfCharSet;
    return TRUE;
}

namespace platform::gdi {

HFONT shared_ui_font(int pixelHeight, int weight) {
    // Never destroyed, like the fonts in it: they outlive every window.
    static auto* fonts = new std::map<std::pair<int, int>, HFONT>;
    HFONT& font = (*fonts)[{pixelHeight, weight}];
    if (font == nullptr) {
        LOGFONTW logfont{};
        logfont.lfHeight = -pixelHeight;
        logfont.lfWeight = weight;
        font = CreateFontIndirectW(&logfont);
    }
    return font;
}

}  // namespace platform::gdi
