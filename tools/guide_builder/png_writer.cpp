#include "tools/guide_builder/png_writer.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool write_palette_png(const std::string& path, const Canvas& canvas, const Palette& palette, std::string& error) {
    if (palette.empty() || palette.size() > 256) {
        error = "a palette needs 1 to 256 colours, not " + std::to_string(palette.size());
        return false;
    }
    for (std::uint8_t index : canvas.pixels()) {
        if (index >= palette.size()) {
            error = "a pixel uses colour " + std::to_string(index) + " past the palette";
            return false;
        }
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    // Everything that owns memory exists before the jump point, so a libpng
    // error that jumps back skips no destructor.
    std::vector<png_color> colours;
    for (const Rgb& c : palette) colours.push_back({c.r, c.g, c.b});
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        error = "libpng cannot start";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "libpng failed writing " + path;
        return false;
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.width()), static_cast<png_uint_32>(canvas.height()), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    png_write_info(png, info);
    for (int y = 0; y < canvas.height(); ++y) {
        png_write_row(png, canvas.pixels().data() + static_cast<size_t>(y) * static_cast<size_t>(canvas.width()));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
