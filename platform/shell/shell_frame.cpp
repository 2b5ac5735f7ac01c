#include "platform/shell/frame.h"
#include "platform/shell/shell_frame.h"

#include "platform/backend/backend.h"
#include "platform/shell/navigation_bar.h"
#include "platform/system/resources.h"
#include "platform/system/single_copy_service.h"
#include "platform/user/hooks.h"
#include "platform/user/message_queue.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"

namespace platform::shell {
namespace {

constexpr char16_t kNavBarClass[] = u"MapfolioShellNavBar";
constexpr std::uint32_t kMenuBarColour = 0x00BDBEBD;  // the light grey around the button images
constexpr std::uint32_t kMenuBarEdge = 0x00808080;

HWND g_navBar = nullptr;
std::u16string g_title;

LRESULT nav_bar_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        if (BeginPaint(window, &paint) != nullptr) {
            paint_navigation_bar(window, paint.hdc, g_title, done_button_window() != nullptr);
            EndPaint(window, &paint);
        }
        return 0;
    }
    if (message == WM_LBUTTONUP) {
        // The "ok" button answers the window it belongs to as its OK would.
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT ok = done_button_rect(window);
        HWND target = done_button_window();
        if (target && p.x >= ok.left && p.x < ok.right && p.y >= ok.top && p.y < ok.bottom)
            PostMessageW(target, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

SIZE screen() { return backend::current().screen(); }

}  // namespace

RECT navigation_bar_rect() { return RECT{0, 0, screen().cx, kNavBarHeight}; }

RECT menu_bar_rect() {
    SIZE size = screen();
    return RECT{0, size.cy - kMenuBarHeight, size.cx, size.cy};
}

const std::u16string& navigation_bar_text() { return g_title; }

HWND navigation_bar_window() { return user::find(g_navBar) ? g_navBar : nullptr; }

void draw_frame_background(Surface& target) {
    RECT bar = menu_bar_rect();
    for (int y = std::max(0, bar.top); y < std::min(target.height(), bar.bottom); ++y) {
        std::uint32_t colour = y == bar.top ? kMenuBarEdge : kMenuBarColour;
        for (int x = 0; x < target.width(); ++x) target.row(y)[x] = colour;
    }
}

void reset_shell() {
    g_navBar = nullptr;
    g_title.clear();
    forget_full_screen_state();
}

}  // namespace platform::shell

namespace platform::shell {
namespace {

RECT work_area() {
    SIZE size = backend::current().screen();
    return RECT{0, kNavBarHeight, size.cx, size.cy};
}

// The navigation bar is made with the first program window.
void ensure_frame() {
    if (user::find(g_navBar) != nullptr) return;
    if (user::find_class(kNavBarClass) == nullptr) {
        user::WindowClass cls;
        cls.name = kNavBarClass;
        cls.proc = nav_bar_proc;
        user::register_class(cls);
    }
    RECT r = navigation_bar_rect();
    g_navBar = CreateWindowExW(WS_EX_TOPMOST, kNavBarClass, u"", WS_POPUP, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(g_navBar, SW_SHOWNA);
}

// The program's first window makes it findable by a second copy, and its
// class icon becomes the desktop window's.
void program_window_created(HWND window) {
    system::publish_windows();
    const user::Window* created = user::find(window);
    if (created == nullptr) return;
    if (const IconImage* icon = icon_image(created->cls.icon))
        backend::current().set_icon(icon->width, icon->height, icon->argb.data());
}

}  // namespace

void connect_to_window_manager() {
    user::set_frame_hooks(
        user::FrameHooks{ensure_frame, work_area, arrange_frame, draw_frame_background, program_window_created,
                         desktop_key});
}

}  // namespace platform::shell

BOOL SHSetNavBarText(HWND window, LPCWSTR text) {
    if (platform::user::find(window) == nullptr) return FALSE;
    platform::user::ensure_shell_frame();
    platform::shell::g_title = text ? text : u"";
    InvalidateRect(platform::shell::navigation_bar_window(), nullptr, FALSE);
    return TRUE;
}
