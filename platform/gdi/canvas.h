// Platform internal: the pixels a device context draws into, whether a window
// surface (32-bit) or a bitmap selected into a memory DC (8 or 32-bit, rows
// top-down or bottom-up). Drawing code reaches pixels only through a canvas,
// after clipping against its bounds.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/surface.h"

#include <cstddef>
#include <cstdint>

namespace platform::gdi {

struct Canvas {
    BYTE* first = nullptr;    // row 0 (the top row)
    std::ptrdiff_t pitch = 0;  // bytes from one row to the next one down
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    const RGBQUAD* colors = nullptr;  // 8-bit canvases only

    bool valid() const { return first != nullptr && width > 0 && height > 0; }
    // Callers keep y in range.
    std::uint32_t* row32(int y) const { return reinterpret_cast<std::uint32_t*>(first + pitch * y); }
    BYTE* row8(int y) const { return first + pitch * y; }
    RECT bounds() const { return RECT{0, 0, width, height}; }
};

inline std::uint32_t to_xrgb(const RGBQUAD& q) {
    return (static_cast<std::uint32_t>(q.rgbRed) << 16) | (static_cast<std::uint32_t>(q.rgbGreen) << 8) | q.rgbBlue;
}

// The palette index whose colour is nearest to xrgb (squared distance).
BYTE nearest_index(const RGBQUAD* colors, std::uint32_t xrgb);

// A solid colour as stored in one canvas: the pixel value for 32-bit, the
// nearest palette index for 8-bit.
struct CanvasColor {
    std::uint32_t xrgb;
    BYTE index;
};
CanvasColor canvas_color(const Canvas& canvas, COLORREF color);

// Fills r with color. Callers clip r to the canvas.
void fill_span_rect(const Canvas& canvas, const RECT& r, CanvasColor color);

// The colour of a pixel as XRGB. Callers keep (x, y) inside the canvas.
std::uint32_t read_pixel(const Canvas& canvas, int x, int y);

}  // namespace platform::gdi
