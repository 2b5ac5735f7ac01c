#include "platform/testing/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform::headless {
namespace {

void set_error(std::string* error, std::string text) {
    if (error != nullptr) *error = std::move(text);
}

}  // namespace

bool write_png_file(const Surface& surface, const std::string& path, std::string* error) {
    if (surface.width() <= 0 || surface.height() <= 0) {
        set_error(error, "nothing to write: the frame is empty");
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        set_error(error, "cannot create " + path + ": " + std::strerror(errno));
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        set_error(error, "out of memory writing " + path);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(surface.width()) * 3);
    // libpng reports failures by jumping back here; nothing above holds
    // resources that a jump would leak.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        set_error(error, "cannot write " + path);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, surface.width(), surface.height(), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.height(); ++y) {
        const std::uint32_t* pixels = surface.row(y);
        for (int x = 0; x < surface.width(); ++x) {
            row[x * 3] = static_cast<png_byte>(pixels[x] >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(pixels[x] >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(pixels[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        set_error(error, "cannot write " + path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace platform::headless
