// Platform internal: the window tree. Every window owns a 32-bit surface the
// size of its window rectangle; the screen is composed from the surfaces of
// the visible windows in z-order. Handles are never reused, so a stale
// handle is refused rather than reaching a newer window.
#pragma once

#include "platform/base/desktop_keys.h"
#include "platform/gdi/surface.h"
#include "platform/user/user_types.h"

#include <string>
#include <vector>

namespace platform::user {

struct WindowClass {
    std::u16string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct Window {
    HWND handle = nullptr;
    WindowClass cls;
    WNDPROC proc = nullptr;
    std::u16string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    Window* parent = nullptr;  // the parent of a child window
    Window* owner = nullptr;   // the owner of a top-level window
    std::vector<Window*> children;  // bottom of the z-order first
    RECT rect{};  // in the parent's client coordinates, or the screen's
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    Surface surface;

    RECT update{};  // client coordinates; empty when nothing is due
    bool updateErase = false;
    int paintDepth = 0;  // WM_PAINT dispatches running for this window
    int paintsDelivered = 0;  // every WM_PAINT sent to it, for tests
    bool destroying = false;
    // The shell's own bars: never activated, never given keys or close.
    bool shellFrame = false;

    int border() const { return (style & WS_BORDER) ? 1 : 0; }
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
    bool is_child() const { return (style & WS_CHILD) != 0 && parent != nullptr; }
    // The client area inside the window's own surface.
    RECT client_in_surface() const;
};

// The class table (RegisterClassW); names compare without regard to case.
const WindowClass* find_class(LPCWSTR name);
bool register_class(const WindowClass& cls);
// Registers the system class of that name (without regard to case), added
// by the controls at start-up; false when there is none.
bool register_system_class(LPCWSTR name);
void reset_classes();

// The live window behind a handle, or null (also for a window being
// destroyed past its WM_NCDESTROY).
Window* find(HWND handle);
// A fresh handle value, never given out before; its two lowest bits are 0.
HWND allocate_handle();

// Top-level windows, bottom of the z-order first.
const std::vector<Window*>& top_levels();

// Screen position of the window's top-left corner and of its client origin.
POINT window_origin(const Window* window);
POINT client_origin(const Window* window);
// The window's rectangle in screen coordinates.
RECT screen_rect(const Window* window);
// The window and each of its ancestors has WS_VISIBLE.
bool visible_on_screen(const Window* window);
// Neither the window nor any ancestor is disabled.
bool enabled_for_input(const Window* window);
// The deepest visible window under a screen point, topmost first.
Window* window_at(POINT screen);
// The top-level window that holds window.
Window* top_level_of(Window* window);

// Calls the window procedure; 0 for a window that is gone.
LRESULT send(Window* window, UINT message, WPARAM wParam, LPARAM lParam);

// Adds to the window's update region (client coordinates; null = all).
void invalidate(Window* window, const RECT* rect, bool erase);
// Fills the update area with the class brush for WM_ERASEBKGND; false when
// the class has none.
bool erase_background(Window* window, HDC dc);
// The next window due for painting (parents before their children), or
// null; limited to filter and its descendants when filter is given.
Window* next_paint_window(Window* filter);
// Sends WM_PAINT so that invalidations the window makes of itself while it
// paints are dropped, and leaves the window validated afterwards.
LRESULT deliver_paint(Window* window, const MSG* msg);
// Brings a top-level window to the top of its band (topmost or normal).
void bring_to_top(Window* window);

// Hooks of the other USER areas, called as windows come and go.
void forget_window_timers(HWND window);      // timers.cpp
void forget_window_input(Window* window);    // input.cpp: focus, capture, activation
void forget_window_messages(HWND window);    // message_queue.cpp
// The rectangle a top-level window gets for CW_USEDEFAULT: the shell's
// work area, or the whole screen without a shell.
RECT default_window_rect();
// Makes a top-level window the active one (WM_ACTIVATE, focus).
void activate(Window* window);
// The active top-level window, or null.
Window* active_window();

// This process's own top-level window of that class and title (null: any),
// or null; and the raising of such a window with the windows it owns. The
// single-copy service answers another copy with them.
HWND find_local_window(LPCWSTR className, LPCWSTR windowName);
bool raise_local_window(HWND window);

// Destroys every window without calling any procedure and forgets every
// class (tests that start over).
void reset_windows();

// The shell frame's hooks (hooks.h), each doing nothing without a shell.
// Called before every window is created and by the screen composition, so
// that windows created before the frame exists still get it.
void ensure_shell_frame();
// Shows the bars of the window in front.
void arrange_shell_frame();
// What lies under every window.
void draw_frame_background(Surface& screen);
// True while the shell creates its own bars.
bool creating_shell_frame();
// Tells the shell that a top-level program window was created.
void program_window_created(HWND window);
// Hands a desktop key to the shell.
void desktop_key_pressed(DesktopKey key);

}  // namespace platform::user
