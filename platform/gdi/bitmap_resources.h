// Bitmap resources: LoadBitmapW. A bitmap resource holds a packed
// device-independent bitmap, as a .bmp file does after its file header: a
// BITMAPINFOHEADER, the colour table, then the rows (bottom-up for a
// positive height), each padded to a multiple of 4 bytes. 8-bit and 32-bit
// BI_RGB bitmaps are read.
#pragma once

#include "platform/base/win32_types.h"

#include <cstddef>
#include <cstdint>

// A new bitmap of the resource's picture, which the caller deletes with
// DeleteObject; null when the resource is missing or malformed.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);

namespace platform {

// The bitmap in a packed DIB of size bytes, or null when it is malformed.
HBITMAP bitmap_from_packed_dib(const std::uint8_t* bytes, std::size_t size);

}  // namespace platform
