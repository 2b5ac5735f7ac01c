#include "resources/pixel_art.h"

#include "platform/win32.h"

#include <cstdio>
#include <cstdlib>

namespace {

void put_bytes(std::vector<std::uint8_t>& out, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

[[noreturn]] void broken(const char* what, std::size_t image, std::size_t row) {
    std::fprintf(stderr, "%s:%d: pixel art image %zu row %zu: %s\n", __FILE__, __LINE__, image, row, what);
    std::abort();
}

}  // namespace

std::vector<std::uint8_t> MakeBitmapResource(const std::vector<PaletteEntry>& palette,
                                             const std::vector<const PixelArt*>& images) {
    if (images.empty() || images[0]->rows.empty() || palette.empty() || palette.size() > 256) broken("empty", 0, 0);
    const std::size_t width = images[0]->rows[0].size();
    const std::size_t height = images[0]->rows.size();
    const std::size_t total = width * images.size();
    const std::size_t stride = (total + 3) / 4 * 4;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = static_cast<LONG>(total);
    header.biHeight = static_cast<LONG>(height);  // bottom-up, as in a .bmp file
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * height);
    header.biClrUsed = static_cast<DWORD>(palette.size());

    std::vector<std::uint8_t> out;
    put_bytes(out, &header, sizeof header);
    for (const PaletteEntry& entry : palette) {
        const RGBQUAD quad{entry.blue, entry.green, entry.red, 0};
        put_bytes(out, &quad, sizeof quad);
    }
    std::uint8_t index[256] = {};
    bool known[256] = {};
    for (std::size_t i = palette.size(); i-- > 0;) {
        const auto key = static_cast<unsigned char>(palette[i].key);
        index[key] = static_cast<std::uint8_t>(i);
        known[key] = true;
    }

    std::vector<std::uint8_t> row(stride, 0);
    for (std::size_t y = height; y-- > 0;) {
        for (std::size_t k = 0; k < images.size(); ++k) {
            const PixelArt& art = *images[k];
            if (art.rows.size() != height) broken("height differs", k, y);
            if (art.rows[y].size() != width) broken("width differs", k, y);
            for (std::size_t x = 0; x < width; ++x) {
                const auto key = static_cast<unsigned char>(art.rows[y][x]);
                if (!known[key]) broken("colour not in palette", k, y);
                row[k * width + x] = index[key];
            }
        }
        put_bytes(out, row.data(), row.size());
    }
    return out;
}
