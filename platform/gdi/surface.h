// Platform internal: a 32-bit drawing target. Every window owns one (its
// whole window rectangle; the window manager composes the screen from them),
// and the headless backend's frames are one. Pixels are 0x00RRGGBB; note that
// COLORREF is 0x00BBGGRR, so colours are converted where they are stored.
#pragma once

#include "platform/gdi/objects.h"

#include <cstdint>
#include <vector>

namespace platform::gdi {

class Surface {
public:
    Surface() = default;
    Surface(int width, int height) { resize(width, height); }

    // Resizes; the content is not kept (filled with white).
    void resize(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Row y, 0 at the top; callers keep y in range.
    std::uint32_t* row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
    const std::uint32_t* row(int y) const { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
    std::uint32_t* pixels() { return m_pixels.data(); }
    const std::uint32_t* pixels() const { return m_pixels.data(); }

    void fill(std::uint32_t xrgb);

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

inline std::uint32_t to_xrgb(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
           GetBValue(c);
}
inline COLORREF to_colorref(std::uint32_t xrgb) {
    return RGB((xrgb >> 16) & 0xFF, (xrgb >> 8) & 0xFF, xrgb & 0xFF);
}

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
