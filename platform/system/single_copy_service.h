// Platform internal: the per-user lock and socket through which one running
// copy of the program answers another's FindWindowW and
// SetForegroundWindow. They live in $XDG_RUNTIME_DIR (or a private
// directory under /tmp when it is unset). The SDL2 backend's copies share
// "mapfolio.lock" and "mapfolio.sock"; headless copies take part only when
// MAPFOLIO_HEADLESS_DESKTOP names a shared headless desktop, so tests never
// find a copy running on the user's display.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform::system {

// Called when the program's first top-level window appears: the copy that
// gets the lock starts answering the others.
void publish_windows();
// True when this process holds the lock and answers.
bool publishing();
// Answers the requests waiting on the socket; never blocks for long.
void serve_single_copy_requests();

// Asks the copy that holds the lock for its top-level window of that class
// and title (null: any). The answer is the other process's handle value.
std::optional<std::uintptr_t> ask_find_window(LPCWSTR className, LPCWSTR windowName);
bool ask_raise_window(std::uintptr_t remoteHandle);

// Closes the socket and drops the lock.
void reset_single_copy();

// How requests from another copy are answered: the window manager hands
// over, at start-up, its search for this process's own top-level window of
// a class and title (null: any) and its raising of such a window with the
// windows it owns. Without them every request finds nothing.
struct LocalWindowHooks {
    HWND (*find)(LPCWSTR className, LPCWSTR windowName) = nullptr;
    bool (*raise)(HWND window) = nullptr;
};
void set_local_window_hooks(const LocalWindowHooks& hooks);

}  // namespace platform::system
