// Platform internal: the bitmap object behind an HBITMAP. Surfaces that draw
// (device contexts, blits) read and write its pixels directly.
#pragma once

#include "platform/gdi/dib_section.h"
#include "platform/gdi/object_table.h"

namespace platform::gdi {

class Bitmap : public GdiObject {
public:
    Bitmap() : GdiObject(ObjectKind::Bitmap) {}
    ~Bitmap() override;

    int width = 0;
    int height = 0;
    int bitsPerPixel = 8;  // 8 (palettised) or 32 (XRGB)
    int stride = 0;        // bytes per row in memory, a multiple of 4
    bool bottomUp = true;  // row 0 of the picture is the last row in memory
    BYTE* bits = nullptr;
    RGBQUAD colors[256] = {};

    // Start of the picture's row y (0 = top); callers keep y in range.
    BYTE* row(int y) const { return bits + static_cast<std::ptrdiff_t>(bottomUp ? height - 1 - y : y) * stride; }

    int describe(int bufferSize, void* buffer) const override;
};

}  // namespace platform::gdi
