// Helpers for the map tests that need no window: map images written to disk
// whose every pixel tells where in the image it came from, pixels read out
// of a surface, and the count of live GDI objects for leak checks.
#pragma once

#include "platform/base/surface.h"
#include "platform/win32_drawing.h"
#include "tests/support/test_files.h"

#include <cstdint>
#include <string>

namespace testing_support {

// One pixel of a surface as COLORREF; CLR_INVALID outside.
COLORREF pixel_at(const platform::Surface& pixels, int x, int y);

// The pattern image: pixel (x, y) has palette index (x % 16) + 16 * (y % 16)
// and every index its own colour, pattern_colour(index).
COLORREF pattern_colour(int index);
inline COLORREF pattern_at(int x, int y) { return pattern_colour((x % 16) + 16 * (y % 16)); }
std::string write_pattern_image(const TempDir& dir, const std::string& name, int width, int height);
// A map image of one colour whose top-left pixel has another.
std::string write_solid_image(const TempDir& dir, const std::string& name, int width, int height, COLORREF colour,
                              COLORREF corner);

// Live GDI objects of every kind together, for leak checks.
int live_gdi_objects();

}  // namespace testing_support
