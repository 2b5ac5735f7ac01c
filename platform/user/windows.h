// Windows: creation and destruction, position and size, visibility, text,
// and the default window procedure.
#pragma once

#include "platform/user/user_types.h"

struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

// A top-level window given CW_USEDEFAULT fills the screen below the
// navigation bar. For a child window (WS_CHILD), menu is its control
// identifier and x, y are in the parent's client coordinates. WM_NCCREATE,
// WM_CREATE, WM_SIZE and WM_MOVE arrive inside the call; a window created
// WS_VISIBLE is due for painting. Null when the class is unknown, a child
// has no parent, or WM_NCCREATE/WM_CREATE refuse.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Hides the window, sends WM_DESTROY to it and then to its children (each
// still exists while its parent handles WM_DESTROY), then destroys the
// children and owned windows before the window itself, each receiving
// WM_NCDESTROY last. The handles are dead afterwards.
BOOL DestroyWindow(HWND window);
// WM_CLOSE destroys the window; WM_PAINT validates; WM_ERASEBKGND fills with
// the class brush; WM_SETTEXT/WM_GETTEXT keep the window text.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

BOOL ShowWindow(HWND window, int command);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL ScreenToClient(HWND window, LPPOINT point);
BOOL ClientToScreen(HWND window, LPPOINT point);
HWND GetParent(HWND window);
// Whether window is a descendant (child, grandchild...) of parent.
BOOL IsChild(HWND parent, HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetWindowTextW(HWND window, LPWSTR buffer, int maxCount);
int GetWindowTextLengthW(HWND window);
LONG GetWindowLongW(HWND window, int index);
LONG SetWindowLongW(HWND window, int index, LONG value);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
