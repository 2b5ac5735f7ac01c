#include "platform/gdi/dialog_units.h"
#include "platform/base/rect.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/font_object.h"

LONG GetDialogBaseUnits() {
    platform::gdi::FaceInstance& face = platform::gdi::system_font()->face();
    return MAKELONG(face.averageWidth, face.height);
}

namespace platform::gdi {
namespace {

LONG scale(LONG units, long long pixels, long long per) {
    const long long n = static_cast<long long>(units) * pixels;
    const long long q = (n >= 0 ? n + per / 2 : n - per / 2) / per;
    return saturate(q);
}

}  // namespace

LONG dialog_x_to_pixels(LONG units) { return scale(units, kDialogPixelsWide, kDialogUnitsWide); }
LONG dialog_y_to_pixels(LONG units) { return scale(units, kDialogPixelsHigh, kDialogUnitsHigh); }

RECT dialog_rect_to_pixels(const RECT& u) {
    return RECT{dialog_x_to_pixels(u.left), dialog_y_to_pixels(u.top), dialog_x_to_pixels(u.right),
                dialog_y_to_pixels(u.bottom)};
}

}  // namespace platform::gdi
