#include "platform/gdi/canvas.h"

#include <algorithm>
#include <cstring>

namespace platform::gdi {

BYTE nearest_index(const RGBQUAD* colors, std::uint32_t xrgb) {
    const int r = (xrgb >> 16) & 0xFF, g = (xrgb >> 8) & 0xFF, b = xrgb & 0xFF;
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 256; ++i) {
        const int dr = colors[i].rgbRed - r, dg = colors[i].rgbGreen - g, db = colors[i].rgbBlue - b;
        const long d = static_cast<long>(dr) * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
            if (d == 0) break;
        }
    }
    return static_cast<BYTE>(best);
}

CanvasColor canvas_color(const Canvas& canvas, COLORREF color) {
    CanvasColor c{to_xrgb(color), 0};
    if (canvas.bitsPerPixel == 8 && canvas.colors) c.index = nearest_index(canvas.colors, c.xrgb);
    return c;
}

void fill_span_rect(const Canvas& canvas, const RECT& r, CanvasColor color) {
    // Callers clip.
    const std::size_t n = static_cast<std::size_t>(r.right - r.left);
    for (int y = r.top; y < r.bottom; ++y) {
        if (canvas.bitsPerPixel == 32) {
            std::uint32_t* p = canvas.row32(y) + r.left;
            std::fill(p, p + n, color.xrgb);
        } else {
            std::memset(canvas.row8(y) + r.left, color.index, n);
        }
    }
}

std::uint32_t read_pixel(const Canvas& canvas, int x, int y) {
    // Callers clip.
    if (canvas.bitsPerPixel == 32) return canvas.row32(y)[x] & 0x00FFFFFFu;
    return to_xrgb(canvas.colors[canvas.row8(y)[x]]);
}

}  // namespace platform::gdi
