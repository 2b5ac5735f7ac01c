#include "platform/shell/desktop_shortcuts.h"

#include "platform/controls/menu_bar_window.h"
#include "platform/shell/frame.h"

#include <map>

namespace platform {
namespace {

std::map<DesktopKey, int>& shortcuts() {
    static std::map<DesktopKey, int> table;
    return table;
}

}  // namespace

void set_desktop_shortcut(DesktopKey key, int command) {
    if (command == 0) shortcuts().erase(key);
    else shortcuts()[key] = command;
}

namespace shell {

void desktop_key(DesktopKey key) {
    auto found = shortcuts().find(key);
    if (found == shortcuts().end()) return;
    // The bar on the screen is the frontmost window's; a dialog or message
    // box in front has its own, or none.
    arrange_frame();
    if (HWND bar = shown_menu_bar()) controls::tap_button(bar, found->second);
}

}  // namespace shell
}  // namespace platform
