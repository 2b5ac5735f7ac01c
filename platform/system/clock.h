// The clock: GetTickCount and Sleep. Time comes from the backend; the
// headless clock is virtual, so Sleep costs no real time there.
#pragma once

#include "platform/base/win32_types.h"

DWORD GetTickCount();
// Shows what was drawn before the pause (through the hook below), then lets
// ms milliseconds pass.
void Sleep(DWORD ms);

namespace platform::system {

// Called before every Sleep; the window manager hands over the presenting
// of the screen at start-up, so that what was drawn stays on screen during
// the pause.
void set_before_sleep_hook(void (*hook)());

}  // namespace platform::system
