#include "tools/png_io.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void on_png_error(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    if (error) *error = message;
    png_longjmp(png, 1);
}
void on_png_warning(png_structp, png_const_charp) {}

// Reading state the caller owns, so that nothing of the reading frame
// itself changes between setjmp and a longjmp out of libpng.
struct ReadState {
    std::vector<png_bytep> rows;
    std::vector<png_byte> data;
};

bool read_with_libpng(std::FILE* file, PngContents* out, ReadState* state, std::string* error) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, error, on_png_error, on_png_warning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    if (width > 65535 || height > 65535) {
        if (error) *error = "the picture is larger than 65535 pixels a side";
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    out->hasPalette = colourType == PNG_COLOR_TYPE_PALETTE;
    if (out->hasPalette) {
        png_set_packing(png);  // 1, 2 and 4-bit indices to one byte each
    } else {
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && !png_get_valid(png, info, PNG_INFO_tRNS)) {
            png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        }
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const std::size_t pixelBytes = out->hasPalette ? 1 : 4;
    if (rowBytes != width * pixelBytes) {
        if (error) *error = "unexpected PNG row layout";
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    state->data.resize(rowBytes * height);
    state->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) state->rows[y] = state->data.data() + y * rowBytes;
    png_read_image(png, state->rows.data());
    png_read_end(png, nullptr);

    if (out->hasPalette) {
        png_colorp palette = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &palette, &count);
        IndexedImage& image = out->indexed;
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
        image.palette.clear();
        for (int i = 0; i < count; ++i) image.palette.push_back(Rgb{palette[i].red, palette[i].green, palette[i].blue});
        image.pixels.assign(state->data.begin(), state->data.end());
    } else {
        RgbImage& image = out->rgb;
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
        image.pixels.resize(static_cast<std::size_t>(width) * height);
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            const png_byte* p = state->data.data() + 4 * i;
            const int alpha = p[3];
            auto over_white = [alpha](int c) { return static_cast<std::uint8_t>((c * alpha + 255 * (255 - alpha) + 127) / 255); };
            image.pixels[i] = Rgb{over_white(p[0]), over_white(p[1]), over_white(p[2])};
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

struct WriteState {
    std::vector<png_byte> data;
    std::vector<png_bytep> rows;
    std::vector<png_color> palette;
};

bool write_with_libpng(std::FILE* file, int width, int height, bool indexed, WriteState* state, std::string* error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, on_png_error, on_png_warning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (indexed) png_set_PLTE(png, info, state->palette.data(), static_cast<int>(state->palette.size()));
    png_write_info(png, info);
    png_write_image(png, state->rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool write_rows(const std::string& path, int width, int height, bool indexed, WriteState* state, std::string* error) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * (indexed ? 1 : 3);
    state->rows.resize(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) state->rows[static_cast<std::size_t>(y)] = state->data.data() + y * rowBytes;
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        if (error) *error = "cannot create " + path;
        return false;
    }
    if (!write_with_libpng(file.get(), width, height, indexed, state, error)) return false;
    if (std::fflush(file.get()) != 0) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

bool read_png(const std::string& path, PngContents* out, std::string* error) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    ReadState state;
    return read_with_libpng(file.get(), out, &state, error);
}

bool write_png(const std::string& path, const IndexedImage& image, std::string* error) {
    WriteState state;
    state.data.assign(image.pixels.begin(), image.pixels.end());
    const int highest = image.pixels.empty() ? 0 : *std::max_element(image.pixels.begin(), image.pixels.end());
    const std::size_t entries = std::max({image.palette.size(), static_cast<std::size_t>(highest) + 1, std::size_t{1}});
    for (std::size_t i = 0; i < entries; ++i) {
        const Rgb c = i < image.palette.size() ? image.palette[i] : Rgb{};
        state.palette.push_back(png_color{c.r, c.g, c.b});
    }
    return write_rows(path, image.width, image.height, true, &state, error);
}

bool write_png(const std::string& path, const RgbImage& image, std::string* error) {
    WriteState state;
    for (const Rgb& p : image.pixels) {
        state.data.push_back(p.r);
        state.data.push_back(p.g);
        state.data.push_back(p.b);
    }
    return write_rows(path, image.width, image.height, false, &state, error);
}
