// The message queue of the one thread: posted messages first, then input,
// then WM_QUIT, then WM_PAINT for a window due for painting, then WM_TIMER
// for a timer that has elapsed. Waiting for a message presents the screen.
// Modal loops are nested calls of the same functions.
#pragma once

#include "platform/user/user_types.h"

// Waits for the next message; 0 for WM_QUIT, -1 for a filter window that
// does not exist. A window filter or message range limits the posted
// messages, input and paints returned.
BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
// Turns a key press that types a character (Enter, Escape, Backspace, Tab)
// into a WM_CHAR that is the next message retrieved.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
// A null window posts a message for the loop itself.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
