// Pictures written as text: one string per row, one character per pixel,
// each character standing for a colour of the picture's palette (the first
// palette entry is entry 0 of the bitmap made from it).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct PaletteEntry {
    char key;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

struct PixelArt {
    std::vector<std::string_view> rows;  // all of one length
};

// Images of equal size side by side in one 8-bit bitmap resource (a packed
// device-independent bitmap, rows bottom-up). A character missing from the
// palette aborts with the image and row at fault: the pictures are part of
// the program, so a mistake in one is a mistake in the build.
std::vector<std::uint8_t> MakeBitmapResource(const std::vector<PaletteEntry>& palette,
                                             const std::vector<const PixelArt*>& images);
