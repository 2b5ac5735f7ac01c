// Resizing the program's pixel-art icon for the desktop's icon sizes.
#pragma once

#include <cstdint>
#include <vector>

// Pixels as 0xAARRGGBB, rows top first, without padding.
struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The image resampled to width x height by area: each new pixel is the
// average of the old pixels under it, weighted by how much of it each
// covers. Colours are averaged in linear light and weighted by their alpha,
// so a transparent neighbour neither darkens an edge nor a dark outline
// swallows a light panel. A whole-number enlargement thus keeps every pixel
// crisp and exact, a halving averages 2 x 2 blocks, and in between only the
// pixels that straddle an old boundary are blended.
ArgbImage ResampleByArea(const ArgbImage& source, int width, int height);
