// Helpers for the map view tests: a window on the headless screen for a
// view to draw into, its pixels read back, and map images written to disk
// whose every pixel tells where in the image it came from.
#pragma once

#include "platform/gdi/surface.h"
#include "platform/win32.h"
#include "tests/support/test_files.h"

#include <cstdint>
#include <string>

namespace testing_support {

// Starts the headless screen afresh and creates a borderless top-level
// window of the given client size below the navigation bar.
HWND make_map_window(int width, int height);

// The window's client area as its surface holds it.
platform::gdi::Surface window_pixels(HWND window);
// One pixel of it as COLORREF; CLR_INVALID outside.
COLORREF pixel_at(const platform::gdi::Surface& pixels, int x, int y);

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
