// Platform internal: the control classes every program has without
// registering them ("EDIT"). The window manager keeps them apart from the
// registered classes and registers one on first use, so they are there
// again after the class table is emptied.
#pragma once

#include "platform/base/win32_types.h"

namespace platform::controls {

// Hands the window manager the table of system classes. Called once at
// start-up.
void connect_to_window_manager();

// The window procedures of the system classes.
LRESULT edit_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT listbox_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT combobox_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT static_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform::controls
