// Copies between device contexts: BitBlt and StretchBlt. Sources are 8-bit
// (palettised) or 32-bit memory DCs and window DCs; destinations are window
// DCs and 32-bit memory DCs.
#pragma once

#include "platform/gdi/objects.h"

#define SRCCOPY 0x00CC0020u
#define PATCOPY 0x00F00021u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

// Copies width x height pixels from (srcX, srcY) of source to (x, y) of dest.
// Pixels whose source lies outside the source's bitmap are left as they
// were. PATCOPY fills with the destination's brush; BLACKNESS and WHITENESS
// need no source.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY, DWORD rop);
// Scales the source rectangle onto the destination rectangle by picking, for
// each destination pixel, the source pixel under its centre: destination
// column i (0-based) takes source column srcX + floor((2i + 1) * srcWidth /
// (2 * width)), and likewise for rows. Enlarging repeats pixels, reducing
// drops them; nothing is blended. Sizes must be positive (no mirroring).
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop);
