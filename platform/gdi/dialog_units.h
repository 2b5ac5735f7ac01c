// Dialog units. Dialog templates are laid out in dialog units: a quarter of
// the System font's average letter width across, an eighth of its height
// down. The program's dialogs (138 x 156 units) were laid out for a screen
// on which they fill the 240 x 268 pixels between the navigation bar and the
// menu bar. The System font's whole base units (7 x 14) would make them
// 242 x 273, so the conversion keeps the exact proportions instead:
// 240 / 138 pixels per unit across and 268 / 156 down (base units of
// 6.96 x 13.74, within half a pixel of the System font's own).
#pragma once

#include "platform/base/win32_types.h"

// The System font's base units: average letter width in the low word,
// height in the high word.
LONG GetDialogBaseUnits();

namespace platform::gdi {

inline constexpr int kDialogUnitsWide = 138;
inline constexpr int kDialogPixelsWide = 240;
inline constexpr int kDialogUnitsHigh = 156;
inline constexpr int kDialogPixelsHigh = 268;

// Dialog units to pixels, rounded to the nearest pixel (halves away from
// zero); saturates at the 32-bit range.
LONG dialog_x_to_pixels(LONG units);
LONG dialog_y_to_pixels(LONG units);
// All four sides of a rectangle in dialog units to pixels, as MapDialogRect.
RECT dialog_rect_to_pixels(const RECT& units);

}  // namespace platform::gdi
