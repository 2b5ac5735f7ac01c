// The map image decoder's output, copied out of the bitmap for tests: the
// result, the bitmap's size, memory rows exactly as the decoder left them
// (bottom-up, padded) and its colour table.
#pragma once

#include "mapview/image_decoder.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct DecodedImage {
    ImageResult result = ImageOpenFailed;
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> memory;  // stride * height bytes, bottom row first
    std::array<RGBQUAD, 256> colours{};

    // The pixel at column x of picture row y (0 = top).
    std::uint8_t pixel(int x, int y) const { return memory[static_cast<std::size_t>(height - 1 - y) * stride + x]; }
    // The picture's rows top first, without padding.
    std::vector<std::uint8_t> picture() const;
};

// Decodes the file at path with DecodeMapImage and releases the bitmap.
DecodedImage decode_image(const std::string& path);
// Decodes bytes from a file that lives in memory.
DecodedImage decode_bytes(std::string_view bytes);

// A GIF file's bytes as a map image: "TWK" over its first three bytes.
std::string as_map_image(std::string gif);

}  // namespace testing_support
