#include "platform/user/windows.h"

#include "platform/base/crt.h"
#include "platform/base/rect.h"
#include "platform/gdi/brushes.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/window_dc.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace platform::user {
namespace {

std::unordered_map<std::uintptr_t, std::unique_ptr<Window>>& table() {
    static std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> windows;
    return windows;
}

std::vector<Window*>& top_list() {
    static std::vector<Window*> list;
    return list;
}

std::uintptr_t key(HWND handle) { return reinterpret_cast<std::uintptr_t>(handle); }

bool topmost(const Window* window) { return (window->exStyle & WS_EX_TOPMOST) != 0; }

// Inserts a top-level window at the top of its band: topmost windows stay
// above all others.
void insert_top_level(Window* window) {
    auto& list = top_list();
    auto position = list.end();
    if (!topmost(window)) {
        position = std::find_if(list.begin(), list.end(), [](Window* w) { return topmost(w); });
    }
    list.insert(position, window);
}

void unlink(Window* window) {
    auto& siblings = window->parent ? window->parent->children : top_list();
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
}

void draw_border(Window* window) {
    Surface& s = window->surface;
    if (window->border() == 0 || s.width() == 0 || s.height() == 0) return;
    for (int x = 0; x < s.width(); ++x) {
        s.row(0)[x] = 0;
        s.row(s.height() - 1)[x] = 0;
    }
    for (int y = 0; y < s.height(); ++y) {
        s.row(y)[0] = 0;
        s.row(y)[s.width() - 1] = 0;
    }
}

// Resizes the surface, keeping what was drawn in the part both sizes share.
void resize_surface(Window* window) {
    Surface old = std::move(window->surface);
    window->surface = Surface(window->width(), window->height());
    int width = std::min(old.width(), window->surface.width());
    int height = std::min(old.height(), window->surface.height());
    for (int y = 0; y < height; ++y) std::memcpy(window->surface.row(y), old.row(y), width * sizeof(std::uint32_t));
    draw_border(window);
}

void send_destroy(HWND handle) {
    Window* window = find(handle);
    if (window == nullptr) return;
    window->destroying = true;
    send(window, WM_DESTROY, 0, 0);
    window = find(handle);
    if (window == nullptr) return;
    std::vector<HWND> children;
    for (Window* child : window->children) children.push_back(child->handle);
    for (HWND child : children) send_destroy(child);
}

void free_window(HWND handle) {
    Window* window = find(handle);
    if (window == nullptr) return;
    std::vector<HWND> children;
    for (Window* child : window->children) children.push_back(child->handle);
    for (HWND child : children) free_window(child);
    window = find(handle);
    if (window == nullptr) return;
    send(window, WM_NCDESTROY, 0, 0);
    window = find(handle);
    if (window == nullptr) return;
    forget_window_timers(handle);
    forget_window_messages(handle);
    forget_window_input(window);
    gdi::release_window_dcs(window->handle);
    unlink(window);
    table().erase(key(handle));
}

void show(Window* window, bool visible, bool activateIt) {
    HWND handle = window->handle;
    bool was = (window->style & WS_VISIBLE) != 0;
    if (was == visible) return;
    send(window, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
    window = find(handle);
    if (window == nullptr) return;
    if (visible) {
        window->style |= WS_VISIBLE;
        invalidate(window, nullptr, true);
        if (!window->is_child() && activateIt && !window->shellFrame && !(window->exStyle & WS_EX_NOACTIVATE))
            activate(window);
    } else {
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
        forget_window_input(window);
    }
}

LPCWSTR text_or_empty(LPCWSTR text) { return text ? text : u""; }

}  // namespace

RECT Window::client_in_surface() const {
    int b = border();
    return RECT{b, b, std::max(b, width() - b), std::max(b, height() - b)};
}

Window* find(HWND handle) {
    if (handle == nullptr) return nullptr;
    auto it = table().find(key(handle));
    return it == table().end() ? nullptr : it->second.get();
}

HWND allocate_handle() {
    static std::uintptr_t serial = 0;
    return reinterpret_cast<HWND>(++serial << 4);
}

const std::vector<Window*>& top_levels() { return top_list(); }

POINT window_origin(const Window* window) {
    if (!window->is_child()) return POINT{window->rect.left, window->rect.top};
    POINT origin = client_origin(window->parent);
    return POINT{origin.x + window->rect.left, origin.y + window->rect.top};
}

POINT client_origin(const Window* window) {
    POINT origin = window_origin(window);
    return POINT{origin.x + window->border(), origin.y + window->border()};
}

RECT screen_rect(const Window* window) {
    POINT origin = window_origin(window);
    return RECT{origin.x, origin.y, origin.x + window->width(), origin.y + window->height()};
}

bool visible_on_screen(const Window* window) {
    for (; window != nullptr; window = window->is_child() ? window->parent : nullptr) {
        if ((window->style & WS_VISIBLE) == 0) return false;
    }
    return true;
}

bool enabled_for_input(const Window* window) {
    for (; window != nullptr; window = window->is_child() ? window->parent : nullptr) {
        if ((window->style & WS_DISABLED) != 0) return false;
    }
    return true;
}

namespace {

Window* child_at(Window* window, POINT screen) {
    RECT client = window->client_in_surface();
    POINT origin = window_origin(window);
    RECT clientOnScreen{origin.x + client.left, origin.y + client.top, origin.x + client.right,
                        origin.y + client.bottom};
    if (PtInRect(&clientOnScreen, screen)) {
        for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
            Window* child = *it;
            const RECT area = screen_rect(child);
            if ((child->style & WS_VISIBLE) == 0 || !PtInRect(&area, screen)) continue;
            return child_at(child, screen);
        }
    }
    return window;
}

}  // namespace

Window* window_at(POINT screen) {
    const auto& list = top_list();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        Window* window = *it;
        const RECT area = screen_rect(window);
        if ((window->style & WS_VISIBLE) == 0 || !PtInRect(&area, screen)) continue;
        return child_at(window, screen);
    }
    return nullptr;
}

Window* top_level_of(Window* window) {
    while (window != nullptr && window->is_child()) window = window->parent;
    return window;
}

LRESULT send(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr || window->proc == nullptr) return 0;
    return window->proc(window->handle, message, wParam, lParam);
}

void bring_to_top(Window* window) {
    if (window == nullptr || window->is_child()) return;
    unlink(window);
    insert_top_level(window);
}

void reset_windows() {
    gdi::release_all_window_dcs();
    top_list().clear();
    table().clear();
    reset_classes();
}

}  // namespace platform::user

using namespace platform::user;

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parentHandle, HMENU menu, HINSTANCE instance, LPVOID param) {
    ensure_shell_frame();
    const WindowClass* cls = find_class(className);
    // The system's own controls are there without being registered.
    if (cls == nullptr && register_system_class(className)) cls = find_class(className);
    if (cls == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Window* parent = nullptr;
    Window* owner = nullptr;
    if (style & WS_CHILD) {
        parent = find(parentHandle);
        if (parent == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    } else if (parentHandle != nullptr) {
        owner = top_level_of(find(parentHandle));
        if (owner == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }

    RECT rect{};
    if (parent != nullptr) {
        if (x == CW_USEDEFAULT) x = y = 0;
        if (width == CW_USEDEFAULT) width = height = 0;
        rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    } else {
        RECT fallback = default_window_rect();
        if (x == CW_USEDEFAULT) {
            x = fallback.left;
            y = fallback.top;
        }
        if (width == CW_USEDEFAULT) {
            width = fallback.right - fallback.left;
            height = fallback.bottom - fallback.top;
        }
        rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    }

    auto owned = std::make_unique<Window>();
    Window* window = owned.get();
    window->handle = allocate_handle();
    window->cls = *cls;
    window->proc = cls->proc;
    window->title = text_or_empty(windowName);
    window->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    window->exStyle = exStyle;
    window->parent = parent;
    window->owner = owner;
    window->rect = rect;
    window->shellFrame = creating_shell_frame();
    window->id = parent ? reinterpret_cast<LONG_PTR>(menu) : 0;
    window->surface = platform::Surface(window->width(), window->height());
    draw_border(window);
    HWND handle = window->handle;
    table().emplace(key(handle), std::move(owned));
    if (parent) {
        parent->children.push_back(window);
    } else {
        insert_top_level(window);
    }

    CREATESTRUCTW cs{param, instance, menu, parentHandle, rect.bottom - rect.top, rect.right - rect.left,
                     rect.top, rect.left, static_cast<LONG>(style), text_or_empty(windowName), className, exStyle};
    if (!send(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(handle);
        return nullptr;
    }
    window = find(handle);
    if (window == nullptr || send(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    window = find(handle);
    if (window == nullptr || window->destroying) return nullptr;
    RECT client{};
    GetClientRect(handle, &client);
    send(window, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    if ((window = find(handle)) == nullptr) return nullptr;
    send(window, WM_MOVE, 0, MAKELPARAM(window->rect.left + window->border(), window->rect.top + window->border()));
    if ((window = find(handle)) == nullptr) return nullptr;
    if (style & WS_VISIBLE) show(window, true, true);
    if ((window = find(handle)) == nullptr) return nullptr;
    if (parent == nullptr && !window->shellFrame) program_window_created(handle);
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    Window* window = find(handle);
    if (window == nullptr || window->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // Owned windows (a message box over its owner) go first.
    std::vector<HWND> ownedWindows;
    for (Window* other : top_levels()) {
        if (other->owner == window) ownedWindows.push_back(other->handle);
    }
    for (HWND other : ownedWindows) DestroyWindow(other);
    if ((window = find(handle)) == nullptr) return TRUE;
    bool wasActive = active_window() == window;
    window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    send_destroy(handle);
    free_window(handle);
    if (wasActive) {
        // The next visible program window comes to the front.
        const auto& list = top_levels();
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            if (((*it)->style & WS_VISIBLE) && !(*it)->shellFrame && !(*it)->destroying) {
                activate(*it);
                break;
            }
        }
    }
    return TRUE;
}

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = find(handle);
    if (window == nullptr) return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_PAINT: {
        // Painting nothing still erases with the class brush.
        PAINTSTRUCT paint{};
        if (BeginPaint(handle, &paint) != nullptr) {
            EndPaint(handle, &paint);
        } else {
            ValidateRect(handle, nullptr);
        }
        return 0;
    }
    case WM_ERASEBKGND:
        return erase_background(window, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_SETTEXT:
        window->title = text_or_empty(reinterpret_cast<LPCWSTR>(lParam));
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        int max = static_cast<int>(wParam);
        if (buffer == nullptr || max <= 0) return 0;
        int count = std::min<int>(max - 1, static_cast<int>(window->title.size()));
        std::copy_n(window->title.data(), count, buffer);
        buffer[count] = 0;
        return count;
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->title.size());
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) SetFocus(handle);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // The system's colours: black on white.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    default:
        return 0;
    }
}

BOOL ShowWindow(HWND handle, int command) {
    Window* window = find(handle);
    if (window == nullptr) return FALSE;
    BOOL was = (window->style & WS_VISIBLE) ? TRUE : FALSE;
    show(window, command != SW_HIDE, command != SW_SHOWNA);
    return was;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
    Window* window = find(handle);
    if (window == nullptr) return FALSE;
    RECT old = window->rect;
    window->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    bool sized = window->width() != old.right - old.left || window->height() != old.bottom - old.top;
    bool moved = x != old.left || y != old.top;
    if (sized) {
        resize_surface(window);
        RECT client{};
        GetClientRect(handle, &client);
        send(window, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
        if ((window = find(handle)) == nullptr) return TRUE;
    }
    if (moved) {
        send(window, WM_MOVE, 0, MAKELPARAM(x + window->border(), y + window->border()));
        if ((window = find(handle)) == nullptr) return TRUE;
    }
    if (repaint) invalidate(window, nullptr, true);
    return TRUE;
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    Window* window = find(handle);
    if (window == nullptr || rect == nullptr) return FALSE;
    *rect = screen_rect(window);
    return TRUE;
}

BOOL ScreenToClient(HWND handle, LPPOINT point) {
    Window* window = find(handle);
    if (window == nullptr || point == nullptr) return FALSE;
    POINT origin = client_origin(window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL ClientToScreen(HWND handle, LPPOINT point) {
    Window* window = find(handle);
    if (window == nullptr || point == nullptr) return FALSE;
    POINT origin = client_origin(window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

HWND GetParent(HWND handle) {
    Window* window = find(handle);
    if (window == nullptr) return nullptr;
    if (window->is_child()) return window->parent->handle;
    if ((window->style & WS_POPUP) && window->owner) return window->owner->handle;
    return nullptr;
}

BOOL IsChild(HWND parentHandle, HWND handle) {
    Window* window = find(handle);
    if (window == nullptr || find(parentHandle) == nullptr) return FALSE;
    for (Window* up = window->is_child() ? window->parent : nullptr; up != nullptr;
         up = up->is_child() ? up->parent : nullptr) {
        if (up->handle == parentHandle) return TRUE;
    }
    return FALSE;
}

BOOL IsWindow(HWND handle) { return find(handle) != nullptr ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND handle) {
    Window* window = find(handle);
    return window != nullptr && visible_on_screen(window) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
    Window* window = find(handle);
    if (window == nullptr) return FALSE;
    BOOL wasDisabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
    if (static_cast<bool>(wasDisabled) == !enable) return wasDisabled;
    if (enable) {
        window->style &= ~static_cast<DWORD>(WS_DISABLED);
    } else {
        window->style |= WS_DISABLED;
        forget_window_input(window);
    }
    send(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND handle) {
    Window* window = find(handle);
    return window != nullptr && (window->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* window = find(dialog);
    if (window == nullptr) return nullptr;
    for (Window* child : window->children) {
        if (child->id == id) return child->handle;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND handle) {
    Window* window = find(handle);
    return window != nullptr && window->is_child() ? static_cast<int>(window->id) : 0;
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
    if (find(handle) == nullptr) return FALSE;
    return SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND handle, LPWSTR buffer, int maxCount) {
    if (find(handle) == nullptr) return 0;
    return static_cast<int>(SendMessageW(handle, WM_GETTEXT, maxCount, reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND handle) {
    if (find(handle) == nullptr) return 0;
    return static_cast<int>(SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index) {
    Window* window = find(handle);
    if (window == nullptr) return 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(window->exStyle);
    case GWLP_ID: return window->id;
    case GWLP_USERDATA: return window->userData;
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->proc);
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value) {
    Window* window = find(handle);
    if (window == nullptr) return 0;
    LONG_PTR old = GetWindowLongPtrW(handle, index);
    switch (index) {
    case GWL_STYLE: window->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: window->exStyle = static_cast<DWORD>(value); break;
    case GWLP_ID: window->id = value; break;
    case GWLP_USERDATA: window->userData = value; break;
    case GWLP_WNDPROC:
        if (value == 0) return 0;
        window->proc = reinterpret_cast<WNDPROC>(value);
        break;
    default: return 0;
    }
    return old;
}

LONG GetWindowLongW(HWND handle, int index) { return static_cast<LONG>(GetWindowLongPtrW(handle, index)); }

LONG SetWindowLongW(HWND handle, int index, LONG value) {
    // A procedure or pointer does not fit in 32 bits on this machine.
    if (index == GWLP_WNDPROC) return 0;
    return static_cast<LONG>(SetWindowLongPtrW(handle, index, value));
}
