#include "platform/user/message_queue.h"

#include "platform/backend/backend.h"
#include "platform/system/single_copy_service.h"
#include "platform/user/input_translation.h"
#include "platform/user/message_pump.h"
#include "platform/user/screen.h"
#include "platform/user/timer_queue.h"
#include "platform/user/window.h"

#include <algorithm>
#include <deque>

namespace platform::user {
namespace {

std::deque<MSG> g_posted;
std::deque<MSG> g_input;  // translated input not yet taken (filtered out)
bool g_quitPosted = false;
int g_quitCode = 0;

struct Filter {
    Window* window = nullptr;
    UINT min = 0;
    UINT max = 0;

    bool matches(const MSG& msg) const {
        if (window != nullptr) {
            Window* target = find(msg.hwnd);
            bool inside = false;
            for (; target != nullptr; target = target->is_child() ? target->parent : nullptr) {
                if (target == window) inside = true;
            }
            if (!inside) return false;
        }
        if (min == 0 && max == 0) return true;
        return msg.message >= min && msg.message <= max;
    }
};

bool take_from(std::deque<MSG>& queue, const Filter& filter, MSG& out) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        // Messages for a window destroyed since they were posted are dropped.
        if (it->hwnd != nullptr && find(it->hwnd) == nullptr) continue;
        if (!filter.matches(*it)) continue;
        out = *it;
        queue.erase(it);
        return true;
    }
    return false;
}

bool take_input(const Filter& filter, MSG& out) {
    if (take_from(g_input, filter, out)) return true;
    backend::Backend& machine = backend::current();
    backend::InputEvent event;
    while (machine.poll_input(event)) {
        MSG msg{};
        if (!translate_input(event, msg)) continue;
        if (filter.matches(msg)) {
            out = msg;
            return true;
        }
        g_input.push_back(msg);
    }
    return false;
}

bool take_paint(const Filter& filter, MSG& out) {
    if (filter.min != 0 || filter.max != 0) {
        if (WM_PAINT < filter.min || WM_PAINT > filter.max) return false;
    }
    Window* window = next_paint_window(filter.window);
    if (window == nullptr) return false;
    out = MSG{};
    out.hwnd = window->handle;
    out.message = WM_PAINT;
    out.time = static_cast<DWORD>(backend::current().now_ms());
    return true;
}

bool take_timer(const Filter& filter, MSG& out) {
    if (filter.min != 0 || filter.max != 0) {
        if (WM_TIMER < filter.min || WM_TIMER > filter.max) return false;
    }
    return take_due_timer(filter.window, out);
}

// The next message without waiting; WM_QUIT included.
bool take_next(const Filter& filter, MSG& out) {
    if (take_from(g_posted, filter, out)) return true;
    if (take_input(filter, out)) return true;
    if (g_quitPosted) {
        g_quitPosted = false;
        out = MSG{};
        out.message = WM_QUIT;
        out.wParam = static_cast<WPARAM>(g_quitCode);
        return true;
    }
    return take_paint(filter, out) || take_timer(filter, out);
}

void wait_for_work() {
    present_screen();
    system::serve_single_copy_requests();
    backend::Backend& machine = backend::current();
    std::uint64_t due = next_timer_due();
    std::uint64_t now = machine.now_ms();
    std::uint64_t timeout = due == backend::kNoTimeout ? backend::kNoTimeout : (due > now ? due - now : 0);
    machine.wait_input(timeout);
}

}  // namespace

bool peek_message(MSG& out) { return take_next(Filter{}, out); }

int pump_messages() {
    int count = 0;
    MSG msg{};
    while (take_next(Filter{}, msg)) {
        if (msg.message == WM_QUIT) {
            // Left for the loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++count;
    }
    return count;
}

void forget_window_messages(HWND window) {
    auto drop = [window](std::deque<MSG>& queue) {
        queue.erase(std::remove_if(queue.begin(), queue.end(), [window](const MSG& m) { return m.hwnd == window; }),
                    queue.end());
    };
    drop(g_posted);
    drop(g_input);
}

void reset_queue() {
    g_posted.clear();
    g_input.clear();
    g_quitPosted = false;
    g_quitCode = 0;
}

bool quit_pending() { return g_quitPosted; }

}  // namespace platform::user

using namespace platform::user;

BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) return -1;
    Filter filter{nullptr, filterMin, filterMax};
    if (window != nullptr) {
        filter.window = find(window);
        if (filter.window == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
    }
    for (;;) {
        if (take_next(filter, *msg)) return msg->message == WM_QUIT ? FALSE : TRUE;
        if (window != nullptr && find(window) == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
        wait_for_work();
    }
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->message != WM_KEYDOWN) return FALSE;
    WCHAR ch = 0;
    switch (msg->wParam) {
    case VK_RETURN: ch = u'\r'; break;
    case VK_ESCAPE: ch = 0x1B; break;
    case VK_BACK: ch = 0x08; break;
    case VK_TAB: ch = u'\t'; break;
    default: return FALSE;
    }
    MSG typed = *msg;
    typed.message = WM_CHAR;
    typed.wParam = ch;
    g_posted.push_front(typed);
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (msg == nullptr) return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    Window* window = find(msg->hwnd);
    if (window == nullptr) return 0;
    if (msg->message == WM_PAINT) return deliver_paint(window, msg);
    return send(window, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && find(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(platform::backend::current().now_ms());
    g_posted.push_back(msg);
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* target = find(window);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return send(target, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    g_quitPosted = true;
    g_quitCode = exitCode;
}
