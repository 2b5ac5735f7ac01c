// Platform internal: a modal loop is a nested message loop on the one
// thread plus an end flag. While it runs, every other program window is
// disabled, so taps and keys reach only the modal window and the windows it
// owns (a dropped list, its menu bar).
#pragma once

#include "platform/user/user_types.h"

#include <functional>

namespace platform::dialogs {

// Runs until done is set or the window is gone. A WM_QUIT met on the way
// ends the loop and is posted again for the loop outside. The focus moves to
// the window unless it is already inside it, and comes back afterwards.
// filter, when given, sees each message first and returns true when it has
// dealt with it (the dialog keys).
void run_modal_loop(HWND window, const bool& done, const std::function<bool(MSG&)>& filter = {});

}  // namespace platform::dialogs
