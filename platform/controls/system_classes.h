// Platform internal: the control classes every program has without
// registering them ("EDIT"), registered on first use so that they are
// there again after the class table is emptied.
#pragma once

#include "platform/user/user_types.h"

namespace platform::controls {

// Registers the system class of that name (without regard to case); false
// when there is none.
bool register_system_class(LPCWSTR name);

// The window procedures of the system classes.
LRESULT edit_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT listbox_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT combobox_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT static_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform::controls
