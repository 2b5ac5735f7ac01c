// Device contexts: memory DCs (CreateCompatibleDC, DeleteDC), selecting
// objects into a DC, and the text colours and background mode. Window DCs
// come from GetDC/BeginPaint, which the window manager builds on
// create_surface_dc (surface.h).
#pragma once

#include "platform/gdi/objects.h"

#define TRANSPARENT 1
#define OPAQUE 2

#define CLR_INVALID 0xFFFFFFFFu

#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4
#define STRETCH_DELETESCANS COLORONCOLOR

// A memory DC holding a 1 x 1 stock bitmap until a bitmap is selected into
// it; the reference DC is ignored (there is one screen format).
HDC CreateCompatibleDC(HDC reference);
// Deletes a memory DC; the objects selected into it are released from it,
// not deleted. False for a window DC or an unknown handle.
BOOL DeleteDC(HDC dc);

// Selects a bitmap (memory DCs only; a bitmap can be selected into one DC at
// a time), brush, pen or font and returns the object it replaces; null on
// failure.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
// TRANSPARENT or OPAQUE; returns the previous mode, 0 on failure.
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

// Stored and returned, but every stretch picks the nearest source pixel.
int SetStretchBltMode(HDC dc, int mode);
