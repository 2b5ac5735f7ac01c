// Draws the desktop's copies of the program's icon from the icon resource
// itself, so that the picture has one source:
//
//   render-program-icons OUT_DIR SIZE...
//
// writes OUT_DIR/SIZExSIZE/apps/mapfolio.png for each SIZE, resampled by
// area from the resource, as 8-bit RGBA PNG files.
#include "dist/icons/icon_scale.h"
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

#include <png.h>

#include <cerrno>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: render-program-icons OUT_DIR SIZE...\n", stderr);
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
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != 0 || size < 1 || size > 1024) {
            std::fprintf(stderr, "render-program-icons: not a size: %s\n", argv[i]);
            return 2;
        }
        const std::string side = std::to_string(size);
        const std::filesystem::path directory = std::filesystem::path(argv[1]) / (side + "x" + side) / "apps";
        std::error_code failure;
        std::filesystem::create_directories(directory, failure);
        const int pixels = static_cast<int>(size);
        if (failure || !write_rgba_png((directory / "mapfolio.png").string(), ResampleByArea(source, pixels, pixels)))
            return 1;
    }
    return 0;
}
