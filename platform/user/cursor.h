// The pointer: IDC_WAIT shows the busy pointer; no cursor, or IDC_ARROW,
// shows the normal one.
#pragma once

#include "platform/user/user_types.h"

#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_WAIT MAKEINTRESOURCEW(32514)

// Only the system cursors IDC_ARROW and IDC_WAIT exist (instance null).
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// Returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
