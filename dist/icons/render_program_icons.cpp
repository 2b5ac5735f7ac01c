// Draws the desktop's and the web app's copies of the program's icon from
// the icon resource itself, so that the picture has one source:
//
//   render-program-icons OUT_DIR SIZE...
//
// writes OUT_DIR/SIZExSIZE/apps/mapfolio.png for each SIZE, resampled by
// area from the resource, as 8-bit RGBA PNG files;
//
//   render-program-icons --png OUT.png SIZE [--maskable RRGGBB]
//
// writes one such icon, or with --maskable one that a phone may cut to any
// shape: the picture within the safe zone (the middle circle of 80 % of
// the width) on a background of colour RRGGBB that fills the whole square.
#include "dist/icons/icon_scale.h"
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

bool write_rgba_png(const std::string& path, const ArgbImage& image) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "render-program-icons: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::fprintf(stderr, "render-program-icons: cannot encode %s\n", path.c_str());
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<std::size_t>(image.width) * 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.at(x, y);
            png_byte* out = &row[static_cast<std::size_t>(x) * 4];
            out[0] = static_cast<png_byte>(p >> 16);
            out[1] = static_cast<png_byte>(p >> 8);
            out[2] = static_cast<png_byte>(p);
            out[3] = static_cast<png_byte>(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// A size of 1 to 1024 pixels, or 0.
int parse_size(const char* text) {
    char* end = nullptr;
    const long size = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || size < 1 || size > 1024) {
        std::fprintf(stderr, "render-program-icons: not a size: %s\n", text);
        return 0;
    }
    return static_cast<int>(size);
}

// The icon's picture, cropped to its visible pixels, enlarged by the
// largest whole factor (so it stays crisp) whose corners stay within the
// safe zone, centred on a square of the background colour.
ArgbImage maskable(const ArgbImage& source, int size, std::uint32_t background) {
    int left = source.width, top = source.height, right = 0, bottom = 0;
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            if ((source.at(x, y) >> 24) == 0) continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x + 1);
            bottom = std::max(bottom, y + 1);
        }
    }
    const std::size_t area = static_cast<std::size_t>(size) * size;
    ArgbImage out{size, size, std::vector<std::uint32_t>(area, 0xFF000000u | background)};
    if (right <= left) return out;
    ArgbImage picture{right - left, bottom - top, {}};
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) picture.pixels.push_back(source.at(x, y));
    const double fits = 0.8 * size / std::hypot(picture.width, picture.height);
    const double factor = fits >= 1 ? std::floor(fits) : fits;
    const int width = std::max(1, static_cast<int>(picture.width * factor));
    const int height = std::max(1, static_cast<int>(picture.height * factor));
    const ArgbImage scaled = ResampleByArea(picture, width, height);
    const int x0 = (size - width) / 2, y0 = (size - height) / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = scaled.at(x, y);
            const std::uint32_t alpha = p >> 24;
            std::uint32_t& q = out.pixels[static_cast<std::size_t>(y0 + y) * size + x0 + x];
            std::uint32_t mixed = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const std::uint32_t over = (p >> shift) & 0xFF, under = (q >> shift) & 0xFF;
                mixed |= ((over * alpha + under * (255 - alpha) + 127) / 255) << shift;
            }
            q = mixed;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const bool one = argc >= 2 && std::strcmp(argv[1], "--png") == 0;
    const bool masked = one && argc == 6 && std::strcmp(argv[4], "--maskable") == 0;
    if (argc < 3 || (one && argc != 4 && !masked)) {
        std::fputs("usage: render-program-icons OUT_DIR SIZE...\n"
                   "       render-program-icons --png OUT.png SIZE [--maskable RRGGBB]\n",
                   stderr);
        return 2;
    }
    RegisterProgramIcon();
    const platform::IconImage* icon =
        platform::icon_image(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM)));
    if (icon == nullptr) {
        std::fputs("render-program-icons: the program has no icon resource\n", stderr);
        return 1;
    }
    const ArgbImage source{icon->width, icon->height, icon->argb};
    if (one) {
        const int size = parse_size(argv[3]);
        if (size == 0) return 2;
        if (!masked) return write_rgba_png(argv[2], ResampleByArea(source, size, size)) ? 0 : 1;
        char* end = nullptr;
        const unsigned long colour = std::strtoul(argv[5], &end, 16);
        if (std::strlen(argv[5]) != 6 || *end != 0) {
            std::fprintf(stderr, "render-program-icons: not a colour: %s\n", argv[5]);
            return 2;
        }
        return write_rgba_png(argv[2], maskable(source, size, static_cast<std::uint32_t>(colour))) ? 0 : 1;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = parse_size(argv[i]);
        if (size == 0) return 2;
        const std::string side = std::to_string(size);
        const std::filesystem::path directory = std::filesystem::path(argv[1]) / (side + "x" + side) / "apps";
        std::error_code failure;
        std::filesystem::create_directories(directory, failure);
        if (failure || !write_rgba_png((directory / "mapfolio.png").string(), ResampleByArea(source, size, size)))
            return 1;
    }
    return 0;
}
