// Platform internal: how the navigation bar looks.
#pragma once

#include "platform/user/user_types.h"

#include <string>

namespace platform::shell {

// Draws the bar with its title into the bar window's paint DC.
void paint_navigation_bar(HWND bar, HDC dc, const std::u16string& title);
void reset_shell();

}  // namespace platform::shell
