// PNG files for the image tools, through libpng.
#pragma once

#include "tools/indexed_image.h"

#include <string>

// A PNG as read for conversion: a palette PNG keeps its palette and
// indices (transparency is ignored); any other kind arrives as 24-bit
// colour, its transparent parts laid over white.
struct PngContents {
    bool hasPalette = false;
    IndexedImage indexed;  // when hasPalette
    RgbImage rgb;          // otherwise
};

bool read_png(const std::string& path, PngContents* out, std::string* error);
// A palette PNG of the picture; the palette grows with black entries when a
// pixel's index lies beyond it.
bool write_png(const std::string& path, const IndexedImage& image, std::string* error);
bool write_png(const std::string& path, const RgbImage& image, std::string* error);
