// Generated pictures with the character of real map images, for tests and
// benchmarks: a street map (flat areas, roads, buildings and labels, which
// compresses to about 1 bit a pixel) and a photograph-like picture (smooth
// shading under fine grain, about 5 bits a pixel).
#pragma once

#include "tools/indexed_image.h"

#include <cstdint>

IndexedImage make_street_map(int width, int height, std::uint32_t seed = 1);
IndexedImage make_photo(int width, int height, std::uint32_t seed = 1);
