// Platform internal: the window behind a shell menu bar and the tool tip it
// shows.
#pragma once

#include "platform/user/user_types.h"

#include <string>

namespace platform::controls {

// A hidden bar window along the bottom of the screen, owned by parent's
// top-level window; WM_COMMAND goes to parent.
HWND create_menu_bar_window(HWND parent);
// The window that receives the bar's commands, or null.
HWND menu_bar_parent(HWND bar);
bool is_menu_bar(HWND window);

// Shows text in a tip just above anchor (screen coordinates), replacing any
// tip shown; hide_tool_tip takes it away.
void show_tool_tip(const std::u16string& text, const RECT& anchor);
void hide_tool_tip();
// The tip shown now, or null.
HWND tool_tip_window();

}  // namespace platform::controls
