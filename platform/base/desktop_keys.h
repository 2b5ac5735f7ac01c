// Keys and the wheel of the desktop that the handheld has not: the desktop
// window reports them apart from the device's keys, and the program gives
// each the meaning of one of its menu-bar buttons.
#pragma once

namespace platform {

enum class DesktopKey { WheelUp, WheelDown, Backspace, Home, CtrlF, F1, CtrlQ };

}  // namespace platform
