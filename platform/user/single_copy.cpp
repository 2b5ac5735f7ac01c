#include "platform/user/single_copy.h"

#include "platform/backend/backend.h"
#include "platform/base/crt.h"
#include "platform/system/single_copy_service.h"
#include "platform/user/window.h"

#include <unordered_map>

namespace platform::user {
namespace {

// Windows of the other copy, as handles of this process.
std::unordered_map<std::uintptr_t, std::uintptr_t>& remote_windows() {
    static std::unordered_map<std::uintptr_t, std::uintptr_t> proxies;
    return proxies;
}

bool matches(LPCWSTR wanted, const std::u16string& have) {
    return wanted == nullptr || lstrcmpiW(wanted, have.c_str()) == 0;
}

}  // namespace

HWND find_local_window(LPCWSTR className, LPCWSTR windowName) {
    const auto& list = top_levels();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const Window* window = *it;
        if (window->shellFrame || window->destroying) continue;
        if (matches(className, window->cls.name) && matches(windowName, window->title)) return window->handle;
    }
    return nullptr;
}

bool raise_local_window(HWND handle) {
    Window* window = find(handle);
    if (window == nullptr || window->is_child() || window->shellFrame || window->destroying) return false;
    activate(window);
    // What the window owns (a message box it is waiting on) stays in front
    // of it and keeps the keyboard.
    std::vector<HWND> owned;
    for (Window* other : top_levels()) {
        if (other->owner == window && (other->style & WS_VISIBLE)) owned.push_back(other->handle);
    }
    for (HWND other : owned) {
        if (Window* w = find(other)) activate(w);
    }
    backend::current().raise();
    return true;
}

}  // namespace platform::user

using namespace platform::user;

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    if (className != nullptr && IS_INTRESOURCE(className)) return nullptr;
    if (HWND local = find_local_window(className, windowName)) return local;
    auto remote = platform::system::ask_find_window(className, windowName);
    if (!remote) return nullptr;
    HWND proxy = allocate_handle();
    remote_windows()[reinterpret_cast<std::uintptr_t>(proxy)] = *remote;
    return proxy;
}

BOOL SetForegroundWindow(HWND handle) {
    // The lowest bit asks for the owned windows too, which always come along.
    auto value = reinterpret_cast<std::uintptr_t>(handle) & ~std::uintptr_t{3};
    HWND window = reinterpret_cast<HWND>(value);
    if (find(window) != nullptr) return raise_local_window(window) ? TRUE : FALSE;
    auto it = remote_windows().find(value);
    if (it == remote_windows().end()) return FALSE;
    return platform::system::ask_raise_window(it->second) ? TRUE : FALSE;
}
