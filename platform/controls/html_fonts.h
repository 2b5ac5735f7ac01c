// Platform internal: the fonts of the HTML viewer, one per look (font size
// 1 to 7, bold, italic, underline, strike-out), created on first use and
// kept for the life of the program. Layout measures with a font's face;
// painting selects the font itself, and both see the same glyph advances.
#pragma once

#include "platform/controls/html_document.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/objects.h"

namespace platform::controls {

// Character height in pixels of each HTML font size; index 0 is unused.
inline constexpr int kHtmlFontPixels[8] = {0, 9, 11, 12, 14, 18, 24, 32};

HFONT html_font(const HtmlStyle& style);
gdi::FaceInstance& html_face(const HtmlStyle& style);

}  // namespace platform::controls
