// Finding the main window of another running copy of the program. The
// windows of this process are searched first; then the copy that holds the
// per-user lock in $XDG_RUNTIME_DIR is asked through its socket.
#pragma once

#include "platform/user/user_types.h"

// The top-level window with that class and title (either may be null to
// match any), or null.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
// Brings the window (handle value with its lowest bit set: the window and
// the windows it owns) to the front, in this process or the other copy.
BOOL SetForegroundWindow(HWND window);
