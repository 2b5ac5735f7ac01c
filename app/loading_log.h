// The loading log: a scrolling text laid over the whole main window while
// the maps load, to which lines are appended. After a failed load it stays
// on the screen with its messages. At most one exists at a time.
#pragma once

#include "platform/win32.h"

class LoadingLog {
public:
    // Creates the log over parent's client area when there is none (an EDIT
    // control: WS_CHILD, WS_VISIBLE, WS_VSCROLL, ES_MULTILINE,
    // ES_AUTOVSCROLL and ES_NOHIDESEL, control identifier 0), then moves it,
    // new or old, to cover the client area. Text already in an old log
    // stays. When the log cannot be made, appends do nothing.
    static void Open(HWND parent);
    // Inserts text at the caret, which without user input is the end of the
    // log; the log scrolls to show it.
    static void Append(LPCWSTR text);
    // Destroys the log, if there is one.
    static void Close();
    // The log's window, or null when there is none.
    static HWND Window() { return s_window; }

private:
    static HWND s_window;
};
