// Window timers. They run on the backend's clock (system/clock.h).
#pragma once

#include "platform/user/user_types.h"

#define USER_TIMER_MINIMUM 10

// Starts or restarts timer id of the window; WM_TIMER arrives when the
// queue is otherwise empty, at most once per elapse however late. A null
// window gets a fresh identifier. Returns the identifier, 0 on failure.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);
