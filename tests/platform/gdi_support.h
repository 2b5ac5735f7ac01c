// Helpers for the drawing tests: window-like surfaces with their DC, 8-bit
// and 32-bit bitmaps in memory DCs, and reading pixels back.
#pragma once

#include "platform/gdi/object_table.h"
#include "platform/gdi/surface.h"
#include "platform/win32.h"

#include <functional>

namespace gdi_test {

using platform::Surface;

// A surface DC on a fresh white surface; origin and clip default to the
// whole surface.
class SurfaceDc {
public:
    SurfaceDc(int width, int height) : surface(width, height) {
        dc = platform::gdi::create_surface_dc(&surface, POINT{0, 0}, RECT{0, 0, width, height});
    }
    SurfaceDc(int width, int height, POINT origin, RECT clip) : surface(width, height) {
        dc = platform::gdi::create_surface_dc(&surface, origin, clip);
    }
    ~SurfaceDc() { platform::gdi::release_surface_dc(dc); }
    SurfaceDc(const SurfaceDc&) = delete;
    SurfaceDc& operator=(const SurfaceDc&) = delete;

    // The pixel as COLORREF, read straight from the surface.
    COLORREF at(int x, int y) const { return platform::to_colorref(surface.row(y)[x] & 0xFFFFFF); }
    // Number of pixels in [left, right) x [top, bottom) equal to colour.
    int count(COLORREF color, RECT area) const;
    int count(COLORREF color) const { return count(color, RECT{0, 0, surface.width(), surface.height()}); }

    Surface surface;
    HDC dc = nullptr;
};

// Row order of a bitmap in memory.
enum class Rows { BottomUp, TopDown };

// A bitmap in its own memory DC; the DC and bitmap go with the object.
class MemoryBitmap {
public:
    // 8-bit: palette index k has colour palette(k); pixel (x, y) is
    // index(x, y).
    MemoryBitmap(int width, int height, const std::function<BYTE(int, int)>& index,
                 const std::function<COLORREF(int)>& palette, Rows rows = Rows::BottomUp);
    // 32-bit: pixel (x, y) is colour(x, y).
    MemoryBitmap(int width, int height, const std::function<COLORREF(int, int)>& color, Rows rows = Rows::BottomUp);
    ~MemoryBitmap();
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
};

// Every palette index k is the colour RGB(k, 255 - k, k / 2): all distinct.
COLORREF ramp(int k);

// Live objects of every kind together, for leak checks.
int live_objects();

}  // namespace gdi_test
