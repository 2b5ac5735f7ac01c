// GDI objects: handle types, DeleteObject and GetObjectW. Bitmaps live in
// dib_section.h; brushes, pens, fonts and device contexts add their own
// headers and register with the same object table (object_table.h).
#pragma once

#include "platform/base/win32_types.h"

// Distinct handle types, as in strict Win32: each converts to HGDIOBJ
// (void*) but not into each other.
#define MF_DECLARE_HANDLE(name) \
    struct name##__;            \
    using name = name##__*

using HGDIOBJ = void*;
MF_DECLARE_HANDLE(HBITMAP);
MF_DECLARE_HANDLE(HBRUSH);
MF_DECLARE_HANDLE(HPEN);
MF_DECLARE_HANDLE(HFONT);
MF_DECLARE_HANDLE(HDC);
MF_DECLARE_HANDLE(HRGN);

// Releases a bitmap, brush, pen or font. False for an unknown handle, a
// stock object or an object still selected into a device context.
BOOL DeleteObject(HGDIOBJ object);

// Copies the object's description (BITMAP for a bitmap, LOGFONTW for a font,
// LOGBRUSH, LOGPEN) into buffer; returns the bytes written, or the size
// needed when buffer is null; 0 on failure.
int GetObjectW(HGDIOBJ object, int bufferSize, LPVOID buffer);
