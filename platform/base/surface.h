// A 32-bit pixel buffer. Every window owns one (its whole window rectangle;
// the window manager composes the screen from them), the backends present
// one, and GDI draws into them. Pixels are 0x00RRGGBB; note that COLORREF is
// 0x00BBGGRR, so colours are converted where they are stored.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdint>
#include <vector>

namespace platform {

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

}  // namespace platform
