// Painting: update regions, WM_PAINT, BeginPaint and EndPaint. A window's
// drawing goes straight into its surface and stays there until drawn over;
// GetDC and ReleaseDC are GDI's (gdi/window_dc.h).
#pragma once

#include "platform/user/user_types.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// Makes the window due for one WM_PAINT (rect null: the whole client area).
// While the window handles its own WM_PAINT, invalidating it again does not
// make it due once more: a paint handler that redraws everything and then
// invalidates would otherwise paint for ever.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
// Sends WM_PAINT at once when the window is due for painting.
BOOL UpdateWindow(HWND window);
// Validates the update region and returns a DC clipped to it; sends
// WM_ERASEBKGND first when an erase was asked for.
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
