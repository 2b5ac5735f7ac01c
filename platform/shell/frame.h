// Platform internal: the layout of the shell frame and the empty menu bar.
#pragma once

#include "platform/base/desktop_keys.h"
#include "platform/base/surface.h"
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
void draw_frame_background(Surface& screen);

// Hands the window manager the frame: its work area, its bars and what lies
// under the windows. Called once at start-up.
void connect_to_window_manager();

// Shows the menu bar of the frontmost program window that owns the bottom
// bar and hides every other bar; the navigation bar's "ok" button follows
// the same window. Called before the screen is composed and before a tap is
// placed.
void arrange_frame();
// The frontmost program window that owns the bottom bar, or null.
HWND frame_owner();
// The window whose "ok" button the navigation bar shows, or null.
HWND done_button_window();
// Whether a window owns the bottom bar: it has a menu bar (menu_bar.cpp) or
// is a dialog sized between the bars (full_screen.cpp).
bool owns_menu_bar(HWND window);
bool owns_bottom_bar(HWND window);
// The menu bar on the screen now, or null.
HWND shown_menu_bar();
// A desktop key: a tap on the button it stands for (desktop_shortcuts.cpp).
void desktop_key(DesktopKey key);
// Forgets the bars and the full-screen state (tests that start over).
void forget_menu_bars();
void forget_full_screen_state();

}  // namespace platform::shell
