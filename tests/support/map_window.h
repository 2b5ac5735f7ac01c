// Helpers for the map view tests: a window on the headless screen for a
// view to draw into, and its pixels read back.
#pragma once

#include "platform/win32.h"
#include "tests/support/map_images.h"

namespace testing_support {

// Starts the headless screen afresh and creates a borderless top-level
// window of the given client size below the navigation bar.
HWND make_map_window(int width, int height);

// The window's client area as its surface holds it.
platform::Surface window_pixels(HWND window);

}  // namespace testing_support
