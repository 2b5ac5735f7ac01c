#include "gdi_support.h"

namespace gdi_test {

int SurfaceDc::count(COLORREF color, RECT area) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += at(x, y) == color;
    return n;
}

namespace {

HBITMAP create(int width, int height, int bits, bool topDown, const std::function<COLORREF(int)>* palette,
               void** pixels) {
    BITMAPINFO256 info = platform::bitmap_info_256(width, topDown ? -height : height, static_cast<WORD>(bits));
    if (palette) {
        for (int k = 0; k < 256; ++k) {
            const COLORREF c = (*palette)(k);
            info.bmiColors[k] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
        }
    }
    return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels, nullptr, 0);
}

int stride(int width, int bits) { return (width * bits / 8 + 3) / 4 * 4; }

}  // namespace

MemoryBitmap::MemoryBitmap(int width, int height, const std::function<BYTE(int, int)>& index,
                           const std::function<COLORREF(int)>& palette, Rows rows) {
    const bool topDown = rows == Rows::TopDown;
    bitmap = create(width, height, 8, topDown, &palette, &bits);
    auto* p = static_cast<BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        BYTE* row = p + static_cast<std::ptrdiff_t>(topDown ? y : height - 1 - y) * stride(width, 8);
        for (int x = 0; x < width; ++x) row[x] = index(x, y);
    }
    dc = CreateCompatibleDC(nullptr);
    previous = SelectObject(dc, bitmap);
}

MemoryBitmap::MemoryBitmap(int width, int height, const std::function<COLORREF(int, int)>& color, Rows rows) {
    const bool topDown = rows == Rows::TopDown;
    bitmap = create(width, height, 32, topDown, nullptr, &bits);
    auto* p = static_cast<BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(p + static_cast<std::ptrdiff_t>(topDown ? y : height - 1 - y) *
                                                             stride(width, 32));
        for (int x = 0; x < width; ++x) row[x] = platform::gdi::to_xrgb(color(x, y));
    }
    dc = CreateCompatibleDC(nullptr);
    previous = SelectObject(dc, bitmap);
}

MemoryBitmap::~MemoryBitmap() {
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

COLORREF ramp(int k) { return RGB(k, 255 - k, k / 2); }

int live_objects() { return platform::gdi::live_object_count(); }

}  // namespace gdi_test
