#include "platform/user/paint.h"

#include "platform/user/window.h"

#include <algorithm>

namespace platform::user {
namespace {

bool is_empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return is_empty(r) ? RECT{} : r;
}

RECT unite(const RECT& a, const RECT& b) {
    if (is_empty(a)) return b;
    if (is_empty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT client_rect(const Window* window) {
    RECT c = window->client_in_surface();
    return RECT{0, 0, c.right - c.left, c.bottom - c.top};
}

Window* first_due(Window* window) {
    if ((window->style & WS_VISIBLE) == 0 || window->destroying) return nullptr;
    if (!is_empty(window->update)) return window;
    for (Window* child : window->children) {
        if (Window* due = first_due(child)) return due;
    }
    return nullptr;
}

}  // namespace

void invalidate(Window* window, const RECT* rect, bool erase) {
    // The window is painting itself right now: what it asks to have
    // repainted is what it is drawing.
    if (window->paintDepth > 0) return;
    RECT area = client_rect(window);
    if (rect != nullptr) area = intersect(area, *rect);
    if (is_empty(area)) return;
    window->update = unite(window->update, area);
    window->updateErase = window->updateErase || erase;
}

Window* next_paint_window(Window* filter) {
    if (filter != nullptr) return visible_on_screen(filter) ? first_due(filter) : nullptr;
    const auto& list = top_levels();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (Window* due = first_due(*it)) return due;
    }
    return nullptr;
}

LRESULT deliver_paint(Window* window, const MSG* msg) {
    HWND handle = window->handle;
    ++window->paintDepth;
    ++window->paintsDelivered;
    LRESULT result = send(window, WM_PAINT, msg ? msg->wParam : 0, msg ? msg->lParam : 0);
    if ((window = find(handle)) != nullptr) {
        --window->paintDepth;
        // A handler that did not validate would be asked again at once, for
        // ever; what it was asked to paint counts as painted.
        if (window->paintDepth == 0) {
            window->update = RECT{};
            window->updateErase = false;
        }
    }
    return result;
}

}  // namespace platform::user

using namespace platform::user;

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
    if (handle == nullptr) {
        // Every window is due, as after a change of the whole screen.
        std::vector<Window*> stack(top_levels().begin(), top_levels().end());
        while (!stack.empty()) {
            Window* window = stack.back();
            stack.pop_back();
            invalidate(window, nullptr, erase != FALSE);
            stack.insert(stack.end(), window->children.begin(), window->children.end());
        }
        return TRUE;
    }
    Window* window = find(handle);
    if (window == nullptr) return FALSE;
    invalidate(window, rect, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT* rect) {
    Window* window = find(handle);
    if (window == nullptr) return FALSE;
    const RECT& due = window->update;
    // The update area is kept as one rectangle; a rectangle that leaves part
    // of it uncovered leaves all of it due.
    if (rect == nullptr || (rect->left <= due.left && rect->top <= due.top && rect->right >= due.right &&
                            rect->bottom >= due.bottom)) {
        window->update = RECT{};
        window->updateErase = false;
    }
    return TRUE;
}

BOOL UpdateWindow(HWND handle) {
    Window* window = find(handle);
    if (window == nullptr) return FALSE;
    if (visible_on_screen(window) && !window->destroying && window->update.right > window->update.left && window->update.bottom > window->update.top) deliver_paint(window, nullptr);
    return TRUE;
}
