// Keyboard focus. Key messages go to the focus window, or to the active
// top-level window when no window has the focus.
#pragma once

#include "platform/user/user_types.h"

// Returns the window that had the focus.
HWND SetFocus(HWND window);
HWND GetFocus();
