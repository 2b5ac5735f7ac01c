// Device-independent bitmaps: CreateDIBSection for 8-bit palettised and
// 32-bit bitmaps, and the structures that describe them.
#pragma once

#include "platform/gdi/objects.h"

#define BI_RGB 0L
#define DIB_RGB_COLORS 0

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: rows bottom-up; negative: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];  // 256 entries follow for an 8-bit bitmap
};

// An 8-bit bitmap's header followed by its full colour table.
struct BITMAPINFO256 {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

namespace platform {

// The description of a new BI_RGB bitmap of width by height pixels (a
// negative height puts the rows top first) and bitCount bits a pixel, with
// a colour table of 256 black entries for the caller to fill.
inline BITMAPINFO256 bitmap_info_256(LONG width, LONG height, WORD bitCount) {
    BITMAPINFO256 info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace platform

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;  // bytes per row, a multiple of 4
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct SECURITY_ATTRIBUTES;

// Creates a bitmap of biBitCount 8 (with a colour table of 256 entries read
// from info; entries beyond biClrUsed, when that is set, are black) or 32,
// BI_RGB, and returns its handle and, in *bits, its pixel memory, which
// starts zeroed. Rows are padded to a multiple of 4 bytes. A bitmap larger
// than 1 GiB, or one the machine cannot hold, is refused: the result is
// null. The device context and section arguments are ignored.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);

namespace platform::gdi {

// The largest pixel memory a bitmap may have.
constexpr std::size_t kMaxBitmapBytes = std::size_t{1} << 30;

}  // namespace platform::gdi
