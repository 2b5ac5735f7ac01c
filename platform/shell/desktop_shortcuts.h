// Desktop shortcuts: the mouse wheel and a few desktop keys the handheld has
// not, each standing for a tap on one of the program's menu-bar buttons.
// Only the desktop window reports them. A shortcut acts on the bar of the
// window in front, exactly as a tap would: on a disabled or missing button
// it does nothing, and it never reaches a window as a key.
#pragma once

#include "platform/base/desktop_keys.h"

namespace platform {

// The button, by its command, that key stands for; 0 takes the shortcut
// away.
void set_desktop_shortcut(DesktopKey key, int command);

}  // namespace platform
