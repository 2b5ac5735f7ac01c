#include "tests/support/map_window.h"

#include "platform/testing/headless.h"

#include <algorithm>

namespace testing_support {
namespace {

LRESULT map_window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND make_map_window(int width, int height) {
    platform::headless::reset(SIZE{std::max(width, 240), std::max(height + 52, 320)});
    WNDCLASSW wc{};
    wc.lpfnWndProc = map_window_proc;
    wc.lpszClassName = u"MapViewTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"MapViewTest", u"Map", WS_VISIBLE, 0, 26, width, height, nullptr, nullptr,
                                  nullptr, nullptr);
    platform::headless::run_until_idle();
    return window;
}

platform::Surface window_pixels(HWND window) { return platform::headless::window_pixels(window); }

}  // namespace testing_support
