// Platform internal: what a message box on the screen shows, for the
// headless control (tests and the script runner read and answer it).
#pragma once

#include "platform/user/user_types.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::dialogs {

struct MessageBoxContents {
    HWND window = nullptr;
    std::u16string caption;
    std::u16string text;
    struct Button {
        int id;  // IDOK, IDCANCEL, IDYES, IDNO
        std::u16string label;
        RECT rect;  // screen coordinates
    };
    std::vector<Button> buttons;
};

// The frontmost message box waiting for an answer, or nothing.
std::optional<MessageBoxContents> front_message_box();

}  // namespace platform::dialogs
