// A second program for the single-copy tests: it opens a main window of the
// given class and title on a shared headless desktop, says "ready", and
// waits until another process brings it to the front, then says "raised"
// and ends. It gives up after 20 seconds of real time.
#include "platform/testing/headless.h"
#include "platform/win32.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

LRESULT main_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = main_proc;
    wc.lpszClassName = u"MapfolioClass";
    RegisterClassW(&wc);
    WNDCLASSW other = wc;
    other.lpszClassName = u"Other";
    RegisterClassW(&other);
    HWND main = CreateWindowExW(0, u"MapfolioClass", u"MapPDA", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    // A second window in front, so that being raised shows in the z-order.
    CreateWindowExW(0, u"Other", u"Other", WS_VISIBLE, 0, 26, 100, 100, nullptr, nullptr, nullptr, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    platform::headless::set_idle_handler([&]() {
        if (platform::headless::raise_count() > 0 || std::chrono::steady_clock::now() > deadline) {
            DestroyWindow(main);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
    });
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    bool raised = platform::headless::raise_count() > 0;
    std::printf("%s\n", raised ? "raised" : "timed out");
    return raised ? 0 : 1;
}
