// Platform internal: the text an HTML viewer shows now, for the headless
// control (tests and the script runner).
#pragma once

#include "platform/user/user_types.h"

#include <string>

namespace platform::controls {

// The words of the lines in view, as laid out: fragments of a line joined,
// lines separated by "\n". Empty for a window that is not an HTML viewer.
std::u16string html_view_visible_text(HWND window);

}  // namespace platform::controls
