// Platform internal: the layout of the shell frame and the empty menu bar.
#pragma once

#include "platform/gdi/surface.h"
#include "platform/user/user_types.h"

#include <string>

namespace platform::shell {

constexpr int kNavBarHeight = 26;
constexpr int kMenuBarHeight = 26;

// Screen rectangles of the two bars. A menu bar control places its window
// in menu_bar_rect(); until one does, the shell draws the empty bar.
RECT navigation_bar_rect();
RECT menu_bar_rect();
// The title text shown now.
const std::u16string& navigation_bar_text();
// The navigation bar's window (created with the first program window).
HWND navigation_bar_window();
// Draws what lies under every window: the empty menu bar.
void draw_frame_background(gdi::Surface& screen);

}  // namespace platform::shell
