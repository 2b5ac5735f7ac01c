#include "platform/user/input.h"

#include "platform/backend/backend.h"
#include "platform/user/input_translation.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace platform::user {
namespace {

HWND g_focus = nullptr;
HWND g_active = nullptr;
HWND g_capture = nullptr;  // the window the stylus went down on
HWND g_explicitCapture = nullptr;  // SetCapture
bool g_stylusDown = false;
bool g_keysDown[256] = {};

// The last press, for telling a double tap on a CS_DBLCLKS window.
struct LastPress {
    HWND window = nullptr;
    std::uint64_t time = 0;
    POINT point{};
    bool valid = false;
};
LastPress g_lastPress;

constexpr std::uint64_t kDoubleTapMs = 500;
constexpr int kDoubleTapSlop = 4;  // pixels either way; a stylus wobbles

bool is_inside(Window* window, HWND ancestor) {
    for (; window != nullptr; window = window->is_child() ? window->parent : nullptr) {
        if (window->handle == ancestor) return true;
    }
    return false;
}

MSG make_message(Window* window, UINT message, WPARAM wParam, POINT screen, std::uint64_t time) {
    POINT origin = client_origin(window);
    MSG msg{};
    msg.hwnd = window->handle;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = MAKELPARAM(screen.x - origin.x, screen.y - origin.y);
    msg.time = static_cast<DWORD>(time);
    msg.pt = screen;
    return msg;
}

// Where keys go: the focus window while its top-level window takes input,
// else the active window.
Window* key_target() {
    Window* focus = find(g_focus);
    if (focus != nullptr && enabled_for_input(focus) && enabled_for_input(top_level_of(focus))) return focus;
    Window* active = find(g_active);
    if (active != nullptr && enabled_for_input(active)) return active;
    return nullptr;
}

// Closing the desktop window asks the frontmost program window to close:
// the main window, or a message box in front of it.
Window* close_target() {
    const auto& list = top_levels();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        Window* window = *it;
        if (!window->shellFrame && (window->style & WS_VISIBLE) && enabled_for_input(window) && !window->destroying)
            return window;
    }
    return nullptr;
}

}  // namespace

bool translate_input(const backend::InputEvent& event, MSG& out) {
    using Kind = backend::InputEvent::Kind;
    POINT point{event.x, event.y};
    switch (event.kind) {
    case Kind::StylusDown: {
        g_stylusDown = true;
        g_capture = nullptr;
        // A tap on the bottom bar reaches the bar of the window in front.
        arrange_shell_frame();
        Window* target = find(g_explicitCapture);
        if (target == nullptr || target->destroying) {
            target = window_at(point);
            if (target == nullptr || !enabled_for_input(target) || target->destroying) return false;
        }
        Window* top = top_level_of(target);
        if (!top->shellFrame && (top->style & WS_DISABLED) == 0 && (top->exStyle & WS_EX_NOACTIVATE) == 0)
            activate(top);
        if (find(target->handle) == nullptr) return false;
        g_capture = target->handle;
        std::uint64_t now = event.time;
        bool doubleTap = (target->cls.style & CS_DBLCLKS) && g_lastPress.valid && g_lastPress.window == target->handle &&
                         now - g_lastPress.time <= kDoubleTapMs &&
                         std::abs(point.x - g_lastPress.point.x) <= kDoubleTapSlop &&
                         std::abs(point.y - g_lastPress.point.y) <= kDoubleTapSlop;
        // A third tap starts a new pair rather than making another double.
        g_lastPress = doubleTap ? LastPress{} : LastPress{target->handle, now, point, true};
        out = make_message(target, doubleTap ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, point, event.time);
        return true;
    }
    case Kind::StylusMove: {
        // A touch screen knows no pointer while the stylus is lifted.
        Window* target = find(g_capture);
        if (!g_stylusDown || target == nullptr || target->destroying) return false;
        out = make_message(target, WM_MOUSEMOVE, MK_LBUTTON, point, event.time);
        return true;
    }
    case Kind::StylusUp: {
        Window* target = find(g_capture);
        bool wasDown = g_stylusDown;
        g_stylusDown = false;
        g_capture = nullptr;
        if (!wasDown || target == nullptr || target->destroying) return false;
        out = make_message(target, WM_LBUTTONUP, 0, point, event.time);
        return true;
    }
    case Kind::KeyDown:
    case Kind::KeyUp: {
        if (event.key < 256) g_keysDown[event.key] = event.kind == Kind::KeyDown;
        Window* target = key_target();
        if (target == nullptr) return false;
        out = MSG{};
        out.hwnd = target->handle;
        out.message = event.kind == Kind::KeyDown ? WM_KEYDOWN : WM_KEYUP;
        out.wParam = event.key;
        LPARAM flags = 1;  // repeat count
        if (event.kind == Kind::KeyUp) flags |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
        if (event.kind == Kind::KeyDown && event.repeat) flags |= LPARAM{1} << 30;
        out.lParam = flags;
        out.time = static_cast<DWORD>(event.time);
        return true;
    }
    case Kind::Char: {
        Window* target = key_target();
        if (target == nullptr) return false;
        out = MSG{};
        out.hwnd = target->handle;
        out.message = WM_CHAR;
        out.wParam = event.ch;
        out.lParam = 1;
        out.time = static_cast<DWORD>(event.time);
        return true;
    }
    case Kind::Desktop:
        // Not a key of the device: the shell turns it into a tap on a
        // menu-bar button.
        desktop_key_pressed(event.desktop);
        return false;
    case Kind::Close: {
        Window* target = close_target();
        if (target == nullptr) return false;
        out = MSG{};
        out.hwnd = target->handle;
        out.message = WM_CLOSE;
        out.time = static_cast<DWORD>(event.time);
        return true;
    }
    }
    return false;
}

void forget_window_input(Window* window) {
    Window* focus = find(g_focus);
    if (focus != nullptr && is_inside(focus, window->handle)) {
        g_focus = nullptr;
        if (!focus->destroying) send(focus, WM_KILLFOCUS, 0, 0);
    }
    Window* captured = find(g_capture);
    if (captured != nullptr && is_inside(captured, window->handle)) g_capture = nullptr;
    captured = find(g_explicitCapture);
    if (captured != nullptr && is_inside(captured, window->handle)) g_explicitCapture = nullptr;
    if (g_active == window->handle) g_active = nullptr;
    if (g_lastPress.window == window->handle) g_lastPress = LastPress{};
}

void activate(Window* window) {
    if (window == nullptr || window->is_child() || window->shellFrame) return;
    bring_to_top(window);
    if (g_active == window->handle) return;
    HWND previous = g_active;
    HWND handle = window->handle;
    g_active = handle;
    if (Window* old = find(previous); old != nullptr && !old->destroying)
        send(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
    if (Window* now = find(handle); now != nullptr && g_active == handle)
        send(now, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
}

Window* active_window() { return find(g_active); }

void reset_input() {
    g_focus = g_active = g_capture = g_explicitCapture = nullptr;
    g_stylusDown = false;
    std::fill(std::begin(g_keysDown), std::end(g_keysDown), false);
    g_lastPress = LastPress{};
}

}  // namespace platform::user

using namespace platform::user;

HWND SetFocus(HWND handle) {
    HWND previous = find(g_focus) ? g_focus : nullptr;
    if (handle == nullptr) {
        g_focus = nullptr;
        if (Window* old = find(previous)) send(old, WM_KILLFOCUS, 0, 0);
        return previous;
    }
    Window* window = find(handle);
    if (window == nullptr || window->destroying) return nullptr;
    Window* top = top_level_of(window);
    if (top->handle != g_active) activate(top);
    if ((window = find(handle)) == nullptr) return nullptr;
    if (g_focus == handle) return previous;
    previous = find(g_focus) ? g_focus : nullptr;
    g_focus = handle;
    if (Window* old = find(previous)) send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if ((window = find(handle)) != nullptr && g_focus == handle)
        send(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus() { return find(g_focus) ? g_focus : nullptr; }

HWND SetCapture(HWND handle) {
    HWND previous = find(g_explicitCapture) ? g_explicitCapture : nullptr;
    Window* window = find(handle);
    if (window == nullptr || window->destroying) return previous;
    g_explicitCapture = handle;
    if (Window* old = find(previous); old != nullptr && previous != handle)
        send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
    return previous;
}

BOOL ReleaseCapture() {
    HWND previous = g_explicitCapture;
    g_explicitCapture = nullptr;
    if (Window* old = find(previous)) send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return find(g_explicitCapture) ? g_explicitCapture : nullptr; }

SHORT GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= 256) return 0;
    return g_keysDown[virtualKey] ? static_cast<SHORT>(0x8000) : 0;
}
