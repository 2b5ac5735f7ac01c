#include "app/main_window.h"

#include "app/command_bar.h"
#include "app/command_ids.h"
#include "app/commands.h"
#include "app/location_popup.h"
#include "app/main_window_state.h"
#include "app/pointer_keys.h"
#include "app/repaint.h"
#include "mapdb/map_catalogue.h"
#include "mapview/map_view.h"
#include "resources/resource_ids.h"

namespace {

// The menu bar's height, taken off the bottom of the main window.
constexpr int kMenuBarHeight = 26;

// A handler returns true when it handled the message; the procedure then
// returns 0. False leaves the message to DefWindowProcW.
using MessageHandler = bool (*)(HWND window, WPARAM wParam, LPARAM lParam);

bool OnCreate(HWND window, WPARAM, LPARAM) {
    g_mainWindow = window;
    CreateMainMenuBar(window, g_instance);
    LocationPopup::Create(window);
    g_mainState.UiFlags = 0;
    g_mainState.history.Clear();
    // The maps load from the message loop, once the window is on the screen
    // and has its final size.
    PostMessageW(window, WM_COMMAND, IDM_LOAD_ALL_MAPS, 0);
    return true;
}

bool OnDestroy(HWND window, WPARAM, LPARAM) {
    if (g_mainState.tapTimer != 0) KillTimer(window, PressTimerId);
    PostQuitMessage(0);
    return true;
}

bool OnCommand(HWND window, WPARAM wParam, LPARAM) { return RunCommand(window, LOWORD(wParam)); }

struct MessageEntry {
    UINT message;
    MessageHandler handler;
};

// The messages the main window handles; every other one goes to
// DefWindowProcW.
constexpr MessageEntry kMessages[] = {
    {WM_CREATE, OnCreate},
    {WM_DESTROY, OnDestroy},
    {WM_PAINT, OnPaint},
    {WM_KEYDOWN, OnKeyDown},
    {WM_COMMAND, OnCommand},
    {WM_TIMER, OnTimer},
    {WM_MOUSEMOVE, OnMouseMove},
    {WM_LBUTTONDOWN, OnLButtonDown},
    {WM_LBUTTONUP, OnLButtonUp},
};

}  // namespace

bool InitHtmlViewer(HINSTANCE instance) {
    if (LoadLibraryW(u"htmlview.dll") == nullptr) return false;
    return InitHTMLControl(instance) != FALSE;
}

bool CreateMainWindow(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    wc.hCursor = nullptr;
    wc.hbrBackground = nullptr;  // the window paints all of its client area
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = MAIN_WINDOW_CLASS;
    // A failed registration shows as a failed creation.
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return false;
    g_mainWindow = window;
    RECT rect{};
    GetWindowRect(window, &rect);
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, (rect.bottom - kMenuBarHeight) - rect.top, FALSE);
    return true;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) {
            if (entry.handler(window, wParam, lParam)) return 0;
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ShowTitle(HWND window) {
    LPCWSTR name = g_mainState.currentMap ? g_mainState.currentMap->MapName() : nullptr;
    g_mainState.titleText = name ? name : u"";
    SHSetNavBarText(window, g_mainState.titleText.c_str());
}
