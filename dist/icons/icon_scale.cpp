#include "dist/icons/icon_scale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

double srgb_to_linear(int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

const std::array<double, 256>& linear_table() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) t[i] = srgb_to_linear(i);
        return t;
    }();
    return table;
}

// The 8-bit value whose linear light is nearest: a value that came from the
// table goes back to exactly where it came from.
std::uint32_t linear_to_srgb(double linear) {
    const auto& table = linear_table();
    const auto above = std::lower_bound(table.begin(), table.end(), linear);
    if (above == table.begin()) return 0;
    if (above == table.end()) return 255;
    const auto below = above - 1;
    return static_cast<std::uint32_t>((linear - *below <= *above - linear ? below : above) - table.begin());
}

// How much new pixel i (of n across) and old pixel j (of m across) share,
// on a line of n * m steps where an old pixel is n steps wide and a new
// one m.
long overlap(int i, int n, int j, int m) {
    const long start = std::max(static_cast<long>(i) * m, static_cast<long>(j) * n);
    const long end = std::min(static_cast<long>(i + 1) * m, static_cast<long>(j + 1) * n);
    return std::max(0L, end - start);
}

}  // namespace

ArgbImage ResampleByArea(const ArgbImage& source, int width, int height) {
    ArgbImage out{width, height, {}};
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0) return {};
    out.pixels.resize(static_cast<std::size_t>(width) * height);
    const auto& table = linear_table();
    for (int y = 0; y < height; ++y) {
        // The old rows under new row y.
        const int top = static_cast<int>(static_cast<long>(y) * source.height / height);
        const int bottom = static_cast<int>((static_cast<long>(y + 1) * source.height + height - 1) / height);
        for (int x = 0; x < width; ++x) {
            const int left = static_cast<int>(static_cast<long>(x) * source.width / width);
            const int right = static_cast<int>((static_cast<long>(x + 1) * source.width + width - 1) / width);
            double alpha = 0;
            double red = 0;
            double green = 0;
            double blue = 0;
            double area = 0;
            for (int sy = top; sy < bottom; ++sy) {
                const long wy = overlap(y, height, sy, source.height);
                for (int sx = left; sx < right; ++sx) {
                    const double w = static_cast<double>(wy * overlap(x, width, sx, source.width));
                    const std::uint32_t p = source.at(sx, sy);
                    const double a = (p >> 24) / 255.0;
                    area += w;
                    alpha += w * a;
                    red += w * a * table[(p >> 16) & 0xFF];
                    green += w * a * table[(p >> 8) & 0xFF];
                    blue += w * a * table[p & 0xFF];
                }
            }
            std::uint32_t pixel = 0;
            if (alpha > 0) {
                const auto a = static_cast<std::uint32_t>(std::lround(alpha / area * 255.0));
                pixel = a << 24 | linear_to_srgb(red / alpha) << 16 | linear_to_srgb(green / alpha) << 8 |
                        linear_to_srgb(blue / alpha);
            }
            out.pixels[static_cast<std::size_t>(y) * width + x] = pixel;
        }
    }
    return out;
}
