#include "tests/support/map_window.h"

#include "platform/backend/headless/headless.h"
#include "platform/gdi/object_table.h"
#include "tools/twk_encoder.h"

#include <algorithm>

namespace testing_support {
namespace {

LRESULT map_window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

Rgb rgb_of(COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; }

std::string write_image(const TempDir& dir, const std::string& name, const IndexedImage& image) {
    std::string error;
    auto bytes = encode_twk(image, TwkEncodeOptions{}, &error);
    if (!bytes) return {};
    return dir.write(name, *bytes);
}

}  // namespace

HWND make_map_window(int width, int height) {
    platform::headless::reset(SIZE{std::max(width, 240), std::max(height + 52, 320)});
    WNDCLASSW wc{};
    wc.lpfnWndProc = map_window_proc;
    wc.lpszClassName = u"MapViewTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"MapViewTest", u"Map", WS_VISIBLE, 0, 26, width, height, nullptr, nullptr,
                                  nullptr, nullptr);
    platform::headless::run_until_idle();
    return window;
}

platform::gdi::Surface window_pixels(HWND window) { return platform::headless::window_pixels(window); }

COLORREF pixel_at(const platform::gdi::Surface& pixels, int x, int y) {
    if (x < 0 || y < 0 || x >= pixels.width() || y >= pixels.height()) return CLR_INVALID;
    return platform::gdi::to_colorref(pixels.row(y)[x] & 0xFFFFFF);
}

COLORREF pattern_colour(int index) { return RGB(index, 255 - index, (index * 7) & 0xFF); }

std::string write_pattern_image(const TempDir& dir, const std::string& name, int width, int height) {
    IndexedImage image;
    image.width = width;
    image.height = height;
    for (int k = 0; k < 256; ++k) image.palette.push_back(rgb_of(pattern_colour(k)));
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.pixels[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>((x % 16) + 16 * (y % 16));
        }
    }
    return write_image(dir, name, image);
}

std::string write_solid_image(const TempDir& dir, const std::string& name, int width, int height, COLORREF colour,
                              COLORREF corner) {
    IndexedImage image;
    image.width = width;
    image.height = height;
    image.palette = {rgb_of(colour), rgb_of(corner)};
    image.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    image.pixels[0] = 1;
    return write_image(dir, name, image);
}

int live_gdi_objects() { return platform::gdi::live_object_count(); }

}  // namespace testing_support
