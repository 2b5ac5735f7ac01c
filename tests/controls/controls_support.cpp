#include "tests/controls/controls_support.h"

#include "resources/program_resources.h"

namespace controls_test {

std::vector<Command> g_commands;

namespace {

LRESULT CALLBACK test_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        g_commands.push_back(Command{window, LOWORD(wParam), HIWORD(wParam)});
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(window, &ps);
        RECT client{};
        GetClientRect(window, &client);
        HBRUSH ground = CreateSolidBrush(RGB(214, 230, 196));
        FillRect(dc, &client, ground);
        DeleteObject(ground);
        EndPaint(window, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void start_over() {
    platform::headless::reset(SIZE{240, 320});
    RegisterProgramResources();
    InitHTMLControl(GetModuleHandleW(nullptr));
    WNDCLASSW wc{};
    wc.lpfnWndProc = test_proc;
    wc.lpszClassName = u"ControlsTest";
    RegisterClassW(&wc);
    g_commands.clear();
}

HWND make_main() {
    HWND main = CreateWindowExW(0, u"ControlsTest", u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    MoveWindow(main, 0, 26, 240, 268, FALSE);
    return main;
}

HWND make_dialog(HWND owner) {
    return CreateWindowExW(0, u"ControlsTest", u"Dialog", WS_POPUP | WS_VISIBLE, 0, 26, 240, 100, owner, nullptr,
                           nullptr, nullptr);
}

HWND make_view(HWND parent, RECT r, DWORD style) {
    return CreateWindowExW(0, u"DISPLAYCLASS", nullptr, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           parent, nullptr, nullptr, nullptr);
}

void show(HWND view, const std::vector<std::u16string>& pieces) {
    SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    for (const std::u16string& piece : pieces)
        SendMessageW(view, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(piece.c_str()));
    SendMessageW(view, DTM_ENDOFSOURCE, 0, 0);
}

void settle() { platform::headless::run_until_idle(); }

int count(RECT area, const std::function<bool(std::uint32_t)>& test) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += test(platform::headless::pixel(x, y)) ? 1 : 0;
    return n;
}

std::pair<int, int> columns(RECT area, const std::function<bool(std::uint32_t)>& test) {
    std::pair<int, int> found{-1, -1};
    for (int x = area.left; x < area.right; ++x) {
        for (int y = area.top; y < area.bottom; ++y) {
            if (!test(platform::headless::pixel(x, y))) continue;
            if (found.first < 0) found.first = x;
            found.second = x;
            break;
        }
    }
    return found;
}

std::pair<int, int> rows(RECT area, const std::function<bool(std::uint32_t)>& test) {
    std::pair<int, int> found{-1, -1};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (!test(platform::headless::pixel(x, y))) continue;
            if (found.first < 0) found.first = y;
            found.second = y;
            break;
        }
    }
    return found;
}

bool bluish(std::uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return b > 160 && r < 100 && g < 100;
}

bool dark(std::uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r < 90 && g < 90 && b < 90;
}

bool ink(std::uint32_t p) { return (p & 0xFFFFFF) != 0xFFFFFF; }

bool is(std::uint32_t p, COLORREF c) { return (p & 0xFFFFFF) == platform::to_xrgb(c); }

RECT screen_rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

}  // namespace controls_test
