#include "platform/user/cursor.h"

#include "platform/backend/backend.h"
#include "platform/user/cursor_state.h"
#include "platform/user/screen.h"

namespace platform::user {
namespace {

// The two system cursors are fixed handle values; nothing is allocated.
const HCURSOR kArrow = reinterpret_cast<HCURSOR>(std::uintptr_t{0x7F00});
const HCURSOR kWait = reinterpret_cast<HCURSOR>(std::uintptr_t{0x7F02});

HCURSOR g_cursor = nullptr;

}  // namespace

bool busy_cursor_shown() { return g_cursor == kWait; }

void reset_cursor() { g_cursor = nullptr; }

}  // namespace platform::user

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    using namespace platform::user;
    if (instance != nullptr) return nullptr;
    if (name == IDC_ARROW) return kArrow;
    if (name == IDC_WAIT) return kWait;
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    using namespace platform::user;
    HCURSOR previous = g_cursor;
    if (cursor != nullptr && cursor != kArrow && cursor != kWait) return previous;
    g_cursor = cursor;
    bool busy = cursor == kWait;
    platform::backend::current().set_cursor(busy ? platform::backend::CursorShape::Busy
                                                 : platform::backend::CursorShape::Normal);
    // The work that follows a busy pointer does not wait for input, so the
    // pointer is shown now.
    if (busy != (previous == kWait)) present_screen();
    return previous;
}
