// The Information dialog: a map's information topics, picked by map and
// title, the topic's text shown below. Closing remembers the title's first
// word under the home map's name; the next opening starts from it. It
// changes nothing in the main window.
#pragma once

#include "platform/win32.h"

// The private messages the dialog sends itself, each going on with the
// next.
#define MSG_FILL_TOPICS (WM_APP + 2)
#define MSG_SHOW_TOPIC (WM_APP + 3)

INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog's menu bar with its close button.
HWND CreateInfoMenuBar(HWND dialog, HINSTANCE instance);
