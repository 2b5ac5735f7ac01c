#include "platform/shell/full_screen.h"

#include "platform/shell/frame.h"
#include "platform/shell/shell_frame.h"
#include "platform/user/window.h"
#include "platform/win32_windows.h"

#include <algorithm>
#include <vector>

namespace platform::shell {

namespace {

// Dialogs that own the bottom bar whether or not they made a menu bar.
std::vector<HWND> g_claimed;
// Windows whose "ok" button is shown.
std::vector<HWND> g_done;

void prune(std::vector<HWND>& list) {
    list.erase(std::remove_if(list.begin(), list.end(), [](HWND w) { return !IsWindow(w); }), list.end());
}

bool listed(std::vector<HWND>& list, HWND window) {
    prune(list);
    return std::find(list.begin(), list.end(), window) != list.end();
}

void set_listed(std::vector<HWND>& list, HWND window, bool on) {
    if (listed(list, window) == on) return;
    if (on) list.push_back(window);
    else list.erase(std::find(list.begin(), list.end(), window));
}

}  // namespace

bool owns_bottom_bar(HWND window) { return owns_menu_bar(window) || listed(g_claimed, window); }

HWND done_button_window() {
    const auto& list = user::top_levels();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        user::Window* w = *it;
        if (w->shellFrame || w->destroying || !(w->style & WS_VISIBLE)) continue;
        return listed(g_done, w->handle) ? w->handle : nullptr;
    }
    return nullptr;
}

void forget_full_screen_state() {
    g_claimed.clear();
    g_done.clear();
    forget_menu_bars();
}

}  // namespace platform::shell

BOOL SHFullScreen(HWND window, DWORD state) {
    using namespace platform::shell;
    if (!IsWindow(window)) return FALSE;
    platform::user::ensure_shell_frame();
    if (state & SHFS_HIDETASKBAR) ShowWindow(navigation_bar_window(), SW_HIDE);
    else if (state & SHFS_SHOWTASKBAR) ShowWindow(navigation_bar_window(), SW_SHOWNA);
    return TRUE;
}

BOOL SHInitDialog(PSHINITDLGINFO info) {
    using namespace platform::shell;
    if (info == nullptr || !IsWindow(info->hDlg)) return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
    const DWORD flags = info->dwFlags;
    const RECT nav = navigation_bar_rect();
    const RECT menu = menu_bar_rect();
    if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) {
        const LONG bottom = (flags & SHIDIF_FULLSCREENNOMENUBAR) ? menu.bottom : menu.top;
        MoveWindow(info->hDlg, 0, nav.bottom, nav.right - nav.left, bottom - nav.bottom, TRUE);
        set_listed(g_claimed, info->hDlg, (flags & SHIDIF_FULLSCREENNOMENUBAR) == 0);
    }
    set_listed(g_done, info->hDlg, (flags & SHIDIF_DONEBUTTON) != 0);
    arrange_frame();
    return TRUE;
}

BOOL SHDoneButton(HWND window, DWORD state) {
    using namespace platform::shell;
    if (!IsWindow(window) || (state != SHDB_SHOW && state != SHDB_HIDE)) return FALSE;
    set_listed(g_done, window, state == SHDB_SHOW);
    arrange_frame();
    return TRUE;
}
