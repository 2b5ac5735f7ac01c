#include "app/loading_log.h"

HWND LoadingLog::s_window = nullptr;

void LoadingLog::Open(HWND parent) {
    // A log whose window went with its parent is gone too.
    if (s_window != nullptr && !IsWindow(s_window)) s_window = nullptr;
    if (s_window == nullptr) {
        constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
        s_window = CreateWindowExW(0, WC_EDIT, nullptr, kStyle, 0, 0, 0, 0, parent, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (s_window == nullptr) return;
    }
    RECT client{};
    GetClientRect(parent, &client);
    MoveWindow(s_window, client.left, client.top, client.right - client.left, client.bottom - client.top, TRUE);
}

void LoadingLog::Append(LPCWSTR text) {
    if (s_window == nullptr || !IsWindow(s_window)) return;
    SendMessageW(s_window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
}

void LoadingLog::Close() {
    if (s_window == nullptr) return;
    if (IsWindow(s_window)) DestroyWindow(s_window);
    s_window = nullptr;
}
