// Platform internal: how the navigation bar looks.
#pragma once

#include "platform/user/user_types.h"

#include <string>

namespace platform::shell {

// Draws the bar with its title, and the "ok" button when asked, into the
// bar window's paint DC.
void paint_navigation_bar(HWND bar, HDC dc, const std::u16string& title, bool doneButton);
// Where the "ok" button sits, in the bar's client coordinates.
RECT done_button_rect(HWND bar);
void reset_shell();

}  // namespace platform::shell
