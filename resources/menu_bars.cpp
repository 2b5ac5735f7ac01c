// The menu bars, written as the shell reads them: the menu's id, the number
// of buttons, then for each button its image, command, state, style,
// caption string, 0 and popup menu index. Both bars hold only a hidden menu
// button: the image buttons are added by the windows that own the bars.
// The popup menus behind the hidden buttons can never be opened and are
// left out.
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace {

constexpr std::uint16_t kNoImage = static_cast<std::uint16_t>(I_IMAGENONE);

std::vector<std::uint8_t> words(std::initializer_list<std::uint16_t> values) {
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return bytes;
}

}  // namespace

void RegisterMenuBars() {
    platform::add_resource(RT_RCDATA, MAKEINTRESOURCEW(IDM_MAIN_MENUBAR),
                           words({IDM_MAIN_MENUBAR, 1,
                                  kNoImage, IDM_MAIN_MENU_BUTTON, TBSTATE_ENABLED | TBSTATE_HIDDEN,
                                  TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, IDS_MAIN_MENU_CAPTION, 0, 0}));
    platform::add_resource(RT_RCDATA, MAKEINTRESOURCEW(IDM_DIALOG_MENUBAR),
                           words({IDM_DIALOG_MENUBAR, 1,
                                  kNoImage, IDM_DIALOG_MENU_BUTTON, TBSTATE_ENABLED | TBSTATE_HIDDEN,
                                  TBSTYLE_BUTTON, 0, 0, 0}));
}
