#include "app/command_bar.h"

#include "app/command_ids.h"
#include "resources/resource_ids.h"

#include <iterator>

HWND g_menuBar = nullptr;

namespace {

constexpr int kButtonImages = 9;
constexpr int kImageSide = 16;

// Image index, command, state, style, data, string. The seventh is a
// spacer: a plain button with the blank image that never issues anything.
const TBBUTTON kButtons[] = {
    {0, IDM_QUIT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {1, IDM_FIND, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {2, IDM_INFORMATION, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {3, IDM_ZOOM_IN, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {4, IDM_ZOOM_OUT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {5, IDM_HOME, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {6, 0, 0, TBSTYLE_BUTTON, {}, 0, 0},
    {7, IDM_BACK, 0, TBSTYLE_BUTTON, {}, 0, 0},
    {8, IDM_FORWARD, 0, TBSTYLE_BUTTON, {}, 0, 0},
};

// What the desktop's wheel and keys stand for: each a tap on its button.
struct Shortcut {
    platform::DesktopKey key;
    int command;
};
constexpr Shortcut kDesktopShortcuts[] = {
    {platform::DesktopKey::WheelUp, IDM_ZOOM_IN}, {platform::DesktopKey::WheelDown, IDM_ZOOM_OUT},
    {platform::DesktopKey::Backspace, IDM_BACK},  {platform::DesktopKey::Home, IDM_HOME},
    {platform::DesktopKey::CtrlF, IDM_FIND},      {platform::DesktopKey::F1, IDM_INFORMATION},
    {platform::DesktopKey::CtrlQ, IDM_QUIT},
};

// One tip a button, the bar's own hidden menu button first.
LPCWSTR kToolTips[] = {u"", u"Quit", u"Find", u"Information", u"Zoom In", u"Zoom Out", u"Home", u"", u"Back", u"Forward"};

}  // namespace

HWND CreateMainMenuBar(HWND window, HINSTANCE instance) {
    SHMENUBARINFO info{};
    info.cbSize = 32;
    info.hwndParent = window;
    info.dwFlags = SHCMBF_HIDESIPBUTTON;
    info.nToolBarId = IDM_MAIN_MENUBAR;
    info.hInstRes = instance;
    info.nBmpId = 0;
    info.cBmpImages = 0;
    if (!SHCreateMenuBar(&info)) {
        MessageBoxW(window, u"Create Menu Bar Failed", u"Error", MB_OK);
        g_menuBar = nullptr;
        return nullptr;
    }
    g_menuBar = info.hwndMB;
    CommandBar_AddBitmap(g_menuBar, instance, IDB_MAIN_BUTTONS, kButtonImages, kImageSide, kImageSide);
    SendMessageW(g_menuBar, TB_ADDBUTTONSW, std::size(kButtons), reinterpret_cast<LPARAM>(kButtons));
    SendMessageW(g_menuBar, TB_SETTOOLTIPS, std::size(kToolTips), reinterpret_cast<LPARAM>(kToolTips));
    UpdateWindow(g_menuBar);
    for (const Shortcut& shortcut : kDesktopShortcuts) platform::set_desktop_shortcut(shortcut.key, shortcut.command);
    return g_menuBar;
}

void SetCommandButtonEnabled(int command, bool enabled) {
    if (g_menuBar == nullptr) return;
    SendMessageW(g_menuBar, TB_SETSTATE, static_cast<WPARAM>(command), enabled ? TBSTATE_ENABLED : 0);
}
