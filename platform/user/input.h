// Keyboard focus. Key messages go to the focus window, or to the active
// top-level window when no window has the focus.
#pragma once

#include "platform/user/user_types.h"

// Returns the window that had the focus.
HWND SetFocus(HWND window);
HWND GetFocus();

// Sends every stylus event to window, wherever it lands, until
// ReleaseCapture; coordinates stay relative to window's client area. The
// window losing the capture gets WM_CAPTURECHANGED. Returns the previous
// capture window.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
// The high bit (a negative value) while the key is held down.
SHORT GetKeyState(int virtualKey);
