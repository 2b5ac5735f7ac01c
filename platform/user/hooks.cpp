#include "platform/user/hooks.h"

#include "platform/backend/backend.h"
#include "platform/gdi/window_dc.h"
#include "platform/system/clock.h"
#include "platform/system/single_copy_service.h"
#include "platform/user/screen.h"
#include "platform/user/window.h"
#include "platform/user/windows.h"

namespace platform::user {
namespace {

FrameHooks g_frame;
bool g_creatingFrame = false;

bool window_area(HWND handle, gdi::WindowArea* area) {
    Window* window = find(handle);
    if (window == nullptr) return false;
    area->surface = &window->surface;
    area->client = window->client_in_surface();
    return true;
}

}  // namespace

void set_frame_hooks(const FrameHooks& hooks) { g_frame = hooks; }

void ensure_shell_frame() {
    // The frame's own windows are made through CreateWindowExW, which asks
    // for the frame again.
    if (g_frame.ensure == nullptr || g_creatingFrame) return;
    g_creatingFrame = true;
    g_frame.ensure();
    g_creatingFrame = false;
}

RECT default_window_rect() {
    if (g_frame.work_area != nullptr) return g_frame.work_area();
    const SIZE size = backend::current().screen();
    return RECT{0, 0, size.cx, size.cy};
}

void arrange_shell_frame() {
    if (g_frame.arrange != nullptr) g_frame.arrange();
}

void draw_frame_background(Surface& screen) {
    if (g_frame.draw_background != nullptr) g_frame.draw_background(screen);
}

void program_window_created(HWND window) {
    if (g_frame.program_window_created != nullptr) g_frame.program_window_created(window);
}

void desktop_key_pressed(DesktopKey key) {
    if (g_frame.desktop_key != nullptr) g_frame.desktop_key(key);
}

bool creating_shell_frame() { return g_creatingFrame; }

HWND create_frame_window(LPCWSTR className, const RECT& rect, HWND owner, DWORD style) {
    ensure_shell_frame();
    const bool was = g_creatingFrame;
    g_creatingFrame = true;
    HWND window = CreateWindowExW(WS_EX_TOPMOST, className, u"", WS_POPUP | style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, owner, nullptr, nullptr, nullptr);
    g_creatingFrame = was;
    return window;
}

void connect_lower_layers() {
    gdi::set_window_area_lookup(window_area);
    system::set_before_sleep_hook(present_screen);
    system::set_local_window_hooks(system::LocalWindowHooks{find_local_window, raise_local_window});
}

}  // namespace platform::user
