#include "platform/dialogs/modal_loop.h"

#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/screen.h"
#include "platform/user/window.h"
#include "platform/user/windows.h"

#include <vector>

namespace platform::dialogs {

void run_modal_loop(HWND modal, const bool& done, const std::function<bool(MSG&)>& filter) {
    std::vector<HWND> disabled;
    user::Window* modalWindow = user::find(modal);
    for (user::Window* window : user::top_levels()) {
        if (window == modalWindow || window->owner == modalWindow || window->shellFrame || window->destroying)
            continue;
        if ((window->style & WS_DISABLED) == 0) disabled.push_back(window->handle);
    }
    for (HWND window : disabled) EnableWindow(window, FALSE);
    const HWND previousFocus = GetFocus();
    const bool focusInside = previousFocus != nullptr && (previousFocus == modal || IsChild(modal, previousFocus));
    if (!focusInside) SetFocus(modal);
    user::present_screen();

    MSG msg{};
    while (!done && IsWindow(modal)) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (filter && filter(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    for (HWND window : disabled) EnableWindow(window, TRUE);
    if (!focusInside && IsWindow(previousFocus)) SetFocus(previousFocus);
}

}  // namespace platform::dialogs
