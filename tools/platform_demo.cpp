// mapfolio-platform-demo: one window drawn through the platform layer, to
// look at the screen as the program will: an 8-bit bitmap scaled up, a fill
// clipped around an excluded rectangle, a thick pen rectangle and text,
// under the navigation bar. A tap opens a message box.
//
//   mapfolio-platform-demo                 in a desktop window (SDL2)
//   mapfolio-platform-demo --seconds N     ... closing itself after N seconds
//   mapfolio-platform-demo --png FILE [--box-png FILE]
//                                          headless: writes the screen (and
//                                          the screen with the message box)
#include "platform/testing/headless.h"
#include "platform/win32.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR kCloseTimer = 1;

HBITMAP g_picture = nullptr;

// A 48 x 32 palettised picture: a colour ramp with a dark grid, the kind
// of image a map is.
HBITMAP make_picture() {
    BITMAPINFO256 info = platform::bitmap_info_256(48, -32, 8);
    for (int i = 0; i < 256; ++i) {
        info.bmiColors[i] = RGBQUAD{static_cast<BYTE>(255 - i), static_cast<BYTE>(128 + i / 2), static_cast<BYTE>(i), 0};
    }
    info.bmiColors[255] = RGBQUAD{40, 40, 40, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    auto* pixels = static_cast<BYTE*>(bits);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 48; ++x) {
            bool grid = x % 8 == 0 || y % 8 == 0;
            pixels[y * 48 + x] = grid ? 255 : static_cast<BYTE>((x * 5 + y * 2) % 250);
        }
    }
    return bitmap;
}

void draw(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    // The bitmap at three times its size.
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, g_picture);
    StretchBlt(dc, 48, 8, 144, 96, memory, 0, 0, 48, 32, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);

    // A grey band with a hole where a rectangle was excluded from the clip.
    ExcludeClipRect(dc, 90, 120, 150, 150);
    RECT band{16, 112, 224, 158};
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    SelectClipRgn(dc, nullptr);

    // A red rectangle with a pen three pixels wide, filled light grey.
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(200, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
    Rectangle(dc, 24, 170, 216, 214);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 128));
    const char16_t* text = u"Mapfolio platform";
    ExtTextOutW(dc, 40, 184, 0, nullptr, text, static_cast<UINT>(std::char_traits<char16_t>::length(text)), nullptr);
    SetTextColor(dc, RGB(0, 0, 0));
    const char16_t* hint = u"Tap for a message box";
    ExtTextOutW(dc, 40, 230, 0, nullptr, hint, static_cast<UINT>(std::char_traits<char16_t>::length(hint)), nullptr);
}

LRESULT demo_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        if (HDC dc = BeginPaint(window, &ps)) {
            draw(window, dc);
            EndPaint(window, &ps);
        }
        return 0;
    }
    case WM_LBUTTONUP:
        MessageBoxW(window, u"The stylus was lifted on the demo window.", u"Demo", MB_OK);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_TIMER:
        if (wParam == kCloseTimer) PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND create_demo_window() {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = demo_proc;
    wc.lpszClassName = u"MapfolioPlatformDemo";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"MapfolioPlatformDemo", u"Demo", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) return nullptr;
    RECT r{};
    GetWindowRect(window, &r);
    // Room for the menu bar, as the program makes it.
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - 26 - r.top, FALSE);
    SHSetNavBarText(window, u"Platform demo");
    return window;
}

int usage() {
    std::fprintf(stderr, "usage: mapfolio-platform-demo [--seconds N] | --png FILE [--box-png FILE]\n");
    return 2;
}

int run_headless(const std::string& png, const std::string& boxPng) {
    platform::choose_display(platform::Display::Headless);
    g_picture = make_picture();
    HWND window = create_demo_window();
    if (window == nullptr || g_picture == nullptr) return 1;
    platform::headless::run_until_idle();
    std::string error;
    if (!platform::headless::write_png(png, &error)) {
        std::fprintf(stderr, "mapfolio-platform-demo: %s\n", error.c_str());
        return 1;
    }
    if (!boxPng.empty()) {
        bool written = false;
        platform::headless::set_idle_handler([&]() {
            if (written) return false;
            written = true;
            if (!platform::headless::write_png(boxPng, &error)) std::fprintf(stderr, "%s\n", error.c_str());
            platform::headless::press_key(VK_RETURN);
            return true;
        });
        platform::headless::tap(120, 100);
        platform::headless::run_until_idle();
        if (!written || !error.empty()) return 1;
    }
    return 0;
}

int run_window(int seconds) {
    platform::choose_display(platform::Display::Window);
    g_picture = make_picture();
    HWND window = create_demo_window();
    if (window == nullptr || g_picture == nullptr) return 1;
    if (seconds > 0) SetTimer(window, kCloseTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int main(int argc, char** argv) {
    std::string png;
    std::string boxPng;
    int seconds = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return usage();
        std::string value = argv[++i];
        if (arg == "--png") {
            png = value;
        } else if (arg == "--box-png") {
            boxPng = value;
        } else if (arg == "--seconds") {
            seconds = std::atoi(value.c_str());
        } else {
            return usage();
        }
    }
    if (!boxPng.empty() && png.empty()) return usage();
    return png.empty() ? run_window(seconds) : run_headless(png, boxPng);
}
