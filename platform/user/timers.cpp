#include "platform/user/timers.h"

#include "platform/backend/backend.h"
#include "platform/user/timer_queue.h"
#include "platform/user/screen.h"
#include "platform/user/window.h"

#include <algorithm>
#include <vector>

namespace platform::user {
namespace {

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT elapse;
    std::uint64_t due;
    TIMERPROC proc;
};

std::vector<Timer>& timers() {
    static std::vector<Timer> list;
    return list;
}

bool in_filter(const Timer& timer, Window* filter) {
    if (filter == nullptr) return true;
    Window* window = find(timer.window);
    while (window != nullptr) {
        if (window == filter) return true;
        window = window->is_child() ? window->parent : nullptr;
    }
    return false;
}

}  // namespace

bool take_due_timer(Window* filter, MSG& out) {
    std::uint64_t now = backend::current().now_ms();
    Timer* earliest = nullptr;
    for (Timer& timer : timers()) {
        if (timer.due <= now && in_filter(timer, filter) && (earliest == nullptr || timer.due < earliest->due))
            earliest = &timer;
    }
    if (earliest == nullptr) return false;
    // However late the loop comes round, one WM_TIMER stands for all the
    // elapses missed.
    earliest->due = now + earliest->elapse;
    out = MSG{};
    out.hwnd = earliest->window;
    out.message = WM_TIMER;
    out.wParam = earliest->id;
    out.lParam = reinterpret_cast<LPARAM>(earliest->proc);
    out.time = static_cast<DWORD>(now);
    return true;
}

std::uint64_t next_timer_due() {
    std::uint64_t due = backend::kNoTimeout;
    for (const Timer& timer : timers()) due = std::min(due, timer.due);
    return due;
}

void forget_window_timers(HWND window) {
    auto& list = timers();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const Timer& t) { return t.window == window; }),
               list.end());
}

void reset_timers() { timers().clear(); }

}  // namespace platform::user

using namespace platform::user;

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    if (window != nullptr && find(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    static UINT_PTR nextLoopTimer = 0x7000;
    if (window == nullptr) id = nextLoopTimer++;
    UINT elapse = std::max<UINT>(elapseMs, USER_TIMER_MINIMUM);
    std::uint64_t due = platform::backend::current().now_ms() + elapse;
    for (auto& timer : timers()) {
        if (timer.window == window && timer.id == id) {
            timer.elapse = elapse;
            timer.due = due;
            timer.proc = proc;
            return id ? id : 1;
        }
    }
    timers().push_back(Timer{window, id, elapse, due, proc});
    return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto& list = timers();
    auto it = std::find_if(list.begin(), list.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == list.end()) return FALSE;
    list.erase(it);
    return TRUE;
}
