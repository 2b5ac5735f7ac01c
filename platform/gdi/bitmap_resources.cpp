#include "platform/gdi/bitmap_resources.h"

#include "platform/gdi/dib_section.h"
#include "platform/system/resources.h"

#include <cstring>

namespace platform {
namespace {

// Resource bitmaps are button images and the like; anything larger is
// taken for a broken resource.
constexpr LONG kMaxSide = 8192;

}  // namespace

HBITMAP bitmap_from_packed_dib(const std::uint8_t* bytes, std::size_t size) {
    BITMAPINFOHEADER header{};
    if (bytes == nullptr || size < sizeof header) return nullptr;
    std::memcpy(&header, bytes, sizeof header);
    if (header.biSize < sizeof header || header.biSize > size) return nullptr;
    if (header.biPlanes != 1 || header.biCompression != BI_RGB) return nullptr;
    if (header.biBitCount != 8 && header.biBitCount != 32) return nullptr;
    if (header.biWidth <= 0 || header.biWidth > kMaxSide) return nullptr;
    if (header.biHeight == 0 || header.biHeight < -kMaxSide || header.biHeight > kMaxSide) return nullptr;
    std::size_t colors = 0;
    if (header.biBitCount == 8) {
        colors = header.biClrUsed == 0 ? 256 : header.biClrUsed;
        if (colors > 256) return nullptr;
    }
    const std::size_t height = static_cast<std::size_t>(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    const std::size_t stride = (static_cast<std::size_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    const std::size_t bitsOffset = header.biSize + colors * sizeof(RGBQUAD);
    if (bitsOffset > size || stride * height > size - bitsOffset) return nullptr;

    BITMAPINFO256 info = bitmap_info_256(header.biWidth, header.biHeight, header.biBitCount);
    info.bmiHeader.biClrUsed = static_cast<DWORD>(colors);
    if (colors > 0) std::memcpy(info.bmiColors, bytes + header.biSize, colors * sizeof(RGBQUAD));
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return bitmap;
    // The new bitmap keeps the resource's row order and padding.
    std::memcpy(bits, bytes + bitsOffset, stride * height);
    return bitmap;
}

}  // namespace platform

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    HRSRC resource = FindResourceW(instance, name, RT_BITMAP);
    if (resource == nullptr) return nullptr;
    HGLOBAL data = LoadResource(instance, resource);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(data));
    return platform::bitmap_from_packed_dib(bytes, SizeofResource(instance, resource));
}
