// Platform internal: what the layers above the window manager hand it at
// start-up, and what it hands the layers below. The window manager never
// includes a higher layer: the shell gives it the frame around the screen,
// the controls give it their window classes, and the shell is told of the
// program's windows as they appear.
#pragma once

#include "platform/base/desktop_keys.h"
#include "platform/base/surface.h"
#include "platform/user/user_types.h"

namespace platform::user {

// The shell frame: the navigation bar at the top and the menu bar at the
// bottom. Without a frame, a window made with CW_USEDEFAULT gets the whole
// screen and nothing lies under the windows.
struct FrameHooks {
    // Creates the frame's own windows when they are missing.
    void (*ensure)() = nullptr;
    // The rectangle a top-level window gets for CW_USEDEFAULT.
    RECT (*work_area)() = nullptr;
    // Shows the bars of the window in front; called before the screen is
    // composed and before a tap is placed.
    void (*arrange)() = nullptr;
    // Draws what lies under every window.
    void (*draw_background)(Surface& screen) = nullptr;
    // Told when a top-level program window has been created (not one of
    // the frame's own windows).
    void (*program_window_created)(HWND window) = nullptr;
    // A desktop key or wheel turn: the shell gives it its meaning.
    void (*desktop_key)(DesktopKey key) = nullptr;
};
void set_frame_hooks(const FrameHooks& hooks);

// A class every program has without registering it ("EDIT", "LISTBOX" ...).
// The table is kept apart from the registered classes, so the classes are
// there again after the class table is emptied.
struct SystemClass {
    LPCWSTR name;
    WNDPROC proc;
    UINT style;
};
void add_system_classes(const SystemClass* classes, int count);

// Creates one of the frame's own windows (a menu bar, a tool tip): a hidden
// topmost popup at rect, owned by owner's top-level window when given, and
// never activated, given keys or asked to close.
HWND create_frame_window(LPCWSTR className, const RECT& rect, HWND owner, DWORD style);

// Hands GDI, the clock and the single-copy service what they need of the
// window manager.
void connect_lower_layers();

}  // namespace platform::user
