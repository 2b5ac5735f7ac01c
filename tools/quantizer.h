// Turns a 24-bit picture into a palette picture: exactly when it has 256
// colours or fewer, otherwise through a median-cut palette refined by
// k-means, optionally with Floyd-Steinberg dithering.
#pragma once

#include "tools/indexed_image.h"

#include <optional>

// The picture with a palette of its own colours in the order they first
// appear, or nothing when it has more than maxColours colours.
std::optional<IndexedImage> index_exact(const RgbImage& image, int maxColours = 256);

// A palette of at most maxColours (1..256) colours chosen for the picture,
// and every pixel mapped to its nearest palette colour, or, with dither, its
// rounding error spread to the pixels not yet mapped.
IndexedImage quantize(const RgbImage& image, int maxColours = 256, bool dither = false);

// A picture ready for a map image, as `twk encode` makes it: a palette
// picture whose palette fits in maxColours keeps its palette and indices; any
// other picture keeps its colours exactly when there are few enough, and is
// otherwise reduced by quantize(). *reduced tells whether it was.
IndexedImage fit_palette(const IndexedImage& image, int maxColours, bool dither, bool* reduced);
IndexedImage fit_palette(const RgbImage& image, int maxColours, bool dither, bool* reduced);
