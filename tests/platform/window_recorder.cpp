#include "tests/platform/window_recorder.h"

#include <algorithm>

namespace window_tests {

std::vector<std::string> g_log;

namespace {

std::map<std::string, std::map<UINT, Handler>> g_handlers;
std::map<HWND, std::string> g_names;

LRESULT recorder_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        g_names[window] = static_cast<const char*>(cs->lpCreateParams);
    }
    std::string name = name_of(window);
    std::string text = message_name(message);
    if (!text.empty()) g_log.push_back(name + " " + text);
    auto handlers = g_handlers.find(name);
    if (handlers != g_handlers.end()) {
        auto handler = handlers->second.find(message);
        if (handler != handlers->second.end()) return handler->second(window, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void on(const std::string& window, UINT message, Handler handler) { g_handlers[window][message] = std::move(handler); }

std::string name_of(HWND window) {
    auto it = g_names.find(window);
    return it == g_names.end() ? "?" : it->second;
}

std::string message_name(UINT message) {
    static const std::map<UINT, std::string> names = {
        {WM_NCCREATE, "WM_NCCREATE"},     {WM_CREATE, "WM_CREATE"},         {WM_SIZE, "WM_SIZE"},
        {WM_MOVE, "WM_MOVE"},             {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},     {WM_KILLFOCUS, "WM_KILLFOCUS"},   {WM_DESTROY, "WM_DESTROY"},
        {WM_NCDESTROY, "WM_NCDESTROY"},   {WM_PAINT, "WM_PAINT"},           {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_TIMER, "WM_TIMER"},           {WM_CLOSE, "WM_CLOSE"},           {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},           {WM_CHAR, "WM_CHAR"},             {WM_COMMAND, "WM_COMMAND"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},   {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"}, {WM_ENABLE, "WM_ENABLE"}, {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},   {WM_USER, "WM_USER"},
    };
    auto it = names.find(message);
    return it == names.end() ? std::string() : it->second;
}

void register_recorder_classes() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = recorder_proc;
    wc.lpszClassName = u"Recorder";
    RegisterClassW(&wc);
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = u"RecorderDbl";
    RegisterClassW(&wc);
}

HWND make_window(const std::string& name, DWORD style, RECT r, HWND parent, DWORD exStyle, const char16_t* cls) {
    // The name must outlive the call only until WM_NCCREATE, which runs inside it.
    return CreateWindowExW(exStyle, cls, u"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           nullptr, nullptr, const_cast<char*>(name.c_str()));
}

std::vector<std::string> logged(std::vector<UINT> only) {
    if (only.empty()) return g_log;
    std::vector<std::string> out;
    for (const std::string& entry : g_log) {
        for (UINT message : only) {
            std::string suffix = " " + message_name(message);
            if (entry.size() >= suffix.size() && entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) == 0)
                out.push_back(entry);
        }
    }
    return out;
}

void start_over(SIZE screen) {
    platform::headless::reset(screen);
    g_log.clear();
    g_handlers.clear();
    g_names.clear();
    register_recorder_classes();
}

}  // namespace window_tests
