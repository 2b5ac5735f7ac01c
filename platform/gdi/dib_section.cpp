#include "platform/gdi/bitmap.h"
#include "platform/system/memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace platform::gdi {

Bitmap::~Bitmap() { platform::release_zeroed_block(bits); }

int Bitmap::describe(int bufferSize, void* buffer) const {
    if (buffer == nullptr) return sizeof(BITMAP);
    if (bufferSize < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP bm{};
    bm.bmType = 0;
    bm.bmWidth = width;
    bm.bmHeight = height;
    bm.bmWidthBytes = stride;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(bitsPerPixel);
    bm.bmBits = bits;
    std::memcpy(buffer, &bm, sizeof bm);
    return sizeof bm;
}

}  // namespace platform::gdi

HBITMAP CreateDIBSection(HDC /*dc*/, const BITMAPINFO* info, UINT usage, void** bits, HANDLE /*section*/,
                         DWORD /*offset*/) {
    using platform::gdi::Bitmap;
    if (bits) *bits = nullptr;
    if (info == nullptr || usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biPlanes != 1 ||
        (h.biBitCount != 8 && h.biBitCount != 32) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::size_t width = static_cast<std::size_t>(h.biWidth);
    const std::size_t height = static_cast<std::size_t>(h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight);
    const std::size_t stride = (width * h.biBitCount / 8 + 3) / 4 * 4;
    // Checked in 64 bits: a hostile header cannot wrap the size around.
    if (stride > platform::gdi::kMaxBitmapBytes || height > platform::gdi::kMaxBitmapBytes / stride ||
        platform::allocation_should_fail(platform::AllocKind::Bitmap)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* pixels = platform::allocate_zeroed_block(height * stride);
    auto* bitmap = pixels ? new (std::nothrow) Bitmap : nullptr;
    if (bitmap == nullptr) {
        platform::release_zeroed_block(pixels);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    bitmap->width = static_cast<int>(width);
    bitmap->height = static_cast<int>(height);
    bitmap->bitsPerPixel = h.biBitCount;
    bitmap->stride = static_cast<int>(stride);
    bitmap->bottomUp = h.biHeight > 0;
    bitmap->bits = static_cast<BYTE*>(pixels);
    if (h.biBitCount == 8) {
        int used = (h.biClrUsed == 0 || h.biClrUsed > 256) ? 256 : static_cast<int>(h.biClrUsed);
        std::memcpy(bitmap->colors, info->bmiColors, sizeof(RGBQUAD) * used);
    }
    if (bits) *bits = pixels;
    return static_cast<HBITMAP>(platform::gdi::register_object(bitmap));
}
