// The shell frame around every screen: the navigation bar at the top, which
// shows the title text, and the menu bar at the bottom, which holds the
// image buttons of the window or dialog in front. Both are 26 pixels high.
#pragma once

#include "platform/user/user_types.h"

// Shows text as the title of the screen until it is set again. The window
// must exist.
BOOL SHSetNavBarText(HWND window, LPCWSTR text);
