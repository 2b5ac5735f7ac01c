// Platform internal: a modal loop is a nested message loop on the one
// thread plus an end flag. While it runs, every other program window is
// disabled, so taps and keys reach only the modal window.
#pragma once

#include "platform/user/user_types.h"

namespace platform::dialogs {

// Runs until done is set or the window is gone. A WM_QUIT met on the way
// ends the loop and is posted again for the loop outside.
void run_modal_loop(HWND window, const bool& done);

}  // namespace platform::dialogs
