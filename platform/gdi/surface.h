// Platform internal: device contexts that draw into a 32-bit surface, such
// as a window's.
#pragma once

#include "platform/base/surface.h"
#include "platform/gdi/objects.h"

namespace platform::gdi {

using platform::Surface;
using platform::to_colorref;
using platform::to_xrgb;

// A device context that draws into surface. Its coordinate (0, 0) is the
// surface pixel origin (for a window: the top-left of its client area inside
// its surface), and nothing is drawn outside clip (surface coordinates, right
// and bottom exclusive), whatever the drawing calls' own clip region. The DC
// starts in the default state of a freshly obtained window DC: the system
// font, black text on a white opaque background, a black pen of width 1, the
// white brush. The surface must outlive the DC. Several DCs may draw into one
// surface at a time, each with its own clip region and selected objects; the
// clip region (ExcludeClipRect ...) starts as the whole of clip and lasts as
// long as the DC. Drawing reads the surface's size at every call, so a
// surface resized under a live DC is never drawn outside. Null when surface
// is null.
HDC create_surface_dc(Surface* surface, POINT origin, RECT clip);
// Releases a DC made by create_surface_dc (ReleaseDC and EndPaint use it);
// objects selected into it are released from it, not deleted. Any other
// handle (a memory DC, a stale one) is ignored.
void release_surface_dc(HDC dc);

}  // namespace platform::gdi
