#include "app/win_main.h"

#include "app/main_window.h"
#include "app/main_window_state.h"

#include <cstdint>

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (HWND running = FindWindowW(MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE)) {
        // The lowest bit brings the windows it owns along.
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(running) | 1));
        return 0;
    }
    g_instance = instance;
    if (!InitHtmlViewer(instance)) {
        MessageBoxW(nullptr, u"HTML Control Initialization failed!", u"Error", MB_OK);
        return 0;
    }
    if (!CreateMainWindow(instance)) {
        MessageBoxW(nullptr, u"Main window creation failed!", u"Error", MB_OK);
        return 0;
    }
    MSG msg{};
    // GetMessageW gives -1 only for a filter window that is gone; none is
    // given here, but an error must not spin the loop for ever.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
