// GDI objects: DeleteObject and GetObjectW. Bitmaps live in
// dib_section.h; brushes, pens, fonts and device contexts add their own
// headers and register with the same object table (object_table.h).
#pragma once

#include "platform/base/win32_types.h"

// Releases a bitmap, brush, pen or font. False for an unknown handle, a
// stock object or an object still selected into a device context.
BOOL DeleteObject(HGDIOBJ object);

// Copies the object's description (BITMAP for a bitmap, LOGFONTW for a font,
// LOGBRUSH, LOGPEN) into buffer; returns the bytes written, or the size
// needed when buffer is null; 0 on failure.
int GetObjectW(HGDIOBJ object, int bufferSize, LPVOID buffer);
