// Pictures as the image tools handle them: 24-bit colour, or palette
// indices with their palette. Rows run top first, without padding.
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // width * height

    const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;           // at most 256 colours
    std::vector<std::uint8_t> pixels;   // width * height palette indices

    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
