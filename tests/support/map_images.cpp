#include "tests/support/map_images.h"

#include "platform/gdi/object_table.h"
#include "tools/twk_encoder.h"

namespace testing_support {
namespace {

Rgb rgb_of(COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; }

std::string write_image(const TempDir& dir, const std::string& name, const IndexedImage& image) {
    std::string error;
    auto bytes = encode_twk(image, TwkEncodeOptions{}, &error);
    if (!bytes) return {};
    return dir.write(name, *bytes);
}

}  // namespace

COLORREF pixel_at(const platform::Surface& pixels, int x, int y) {
    if (x < 0 || y < 0 || x >= pixels.width() || y >= pixels.height()) return CLR_INVALID;
    return platform::to_colorref(pixels.row(y)[x] & 0xFFFFFF);
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
