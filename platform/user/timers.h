// Window timers and the clock. Time comes from the backend: the headless
// clock is virtual, so Sleep costs no real time there.
#pragma once

#include "platform/user/user_types.h"

#define USER_TIMER_MINIMUM 10

// Starts or restarts timer id of the window; WM_TIMER arrives when the
// queue is otherwise empty, at most once per elapse however late. A null
// window gets a fresh identifier. Returns the identifier, 0 on failure.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);
DWORD GetTickCount();
// Presents the screen first, so that what was drawn stays on screen during
// the pause.
void Sleep(DWORD ms);
