// Platform internal: the window behind a shell menu bar and the tool tip it
// shows.
#pragma once

#include "platform/base/win32_types.h"

#include <string>
#include <vector>

namespace platform::controls {

// A hidden bar window at rect (the shell's bottom bar), owned by parent's
// top-level window; WM_COMMAND goes to parent.
HWND create_menu_bar_window(HWND parent, const RECT& rect);
// The window that receives the bar's commands, or null.
HWND menu_bar_parent(HWND bar);
bool is_menu_bar(HWND window);
// Acts as a tap on the button of command: when the bar has that button, it
// is shown and enabled, and the bar takes input, WM_COMMAND goes to the
// bar's parent. False when nothing happened.
bool tap_button(HWND bar, int command);

// A button of a bar as the user sees it, for the headless control.
struct BarButton {
    std::u16string tip;
    int command = 0;
    BYTE state = 0;  // TBSTATE_*
    bool separator = false;
    RECT rect{};  // screen coordinates; empty while hidden
};
// The buttons of a bar in bar order; empty for a window that is not a bar.
std::vector<BarButton> bar_buttons(HWND bar);

// Shows text in a tip just above anchor (screen coordinates), replacing any
// tip shown; hide_tool_tip takes it away.
void show_tool_tip(const std::u16string& text, const RECT& anchor);
void hide_tool_tip();
// The tip shown now, or null.
HWND tool_tip_window();

}  // namespace platform::controls
