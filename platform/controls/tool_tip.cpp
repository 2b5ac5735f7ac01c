#include "platform/backend/backend.h"
#include "platform/controls/menu_bar_window.h"
#include "platform/user/hooks.h"
#include "platform/user/window.h"
#include "platform/user/window_class.h"
#include "platform/win32_windows.h"

#include <algorithm>

namespace platform::controls {
namespace {

constexpr char16_t kClassName[] = u"MapfolioToolTip";
constexpr int kPaddingX = 4;
constexpr int kGap = 2;  // between the tip and what it explains
constexpr COLORREF kTipColor = RGB(255, 255, 225);

HWND g_tip = nullptr;
std::u16string g_text;

HFONT tip_font() { return platform::gdi::shared_ui_font(11, FW_NORMAL); }

LRESULT CALLBACK tip_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps{};
        if (HDC dc = BeginPaint(window, &ps)) {
            RECT client{};
            GetClientRect(window, &client);
            HBRUSH brush = CreateSolidBrush(kTipColor);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            HGDIOBJ old = SelectObject(dc, tip_font());
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            DrawTextW(dc, g_text.c_str(), static_cast<int>(g_text.size()), &client,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, old);
            EndPaint(window, &ps);
        }
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

SIZE measure(const std::u16string& text) {
    Surface scratch(1, 1);
    SIZE size{0, 0};
    if (HDC dc = gdi::create_surface_dc(&scratch, POINT{0, 0}, RECT{0, 0, 1, 1})) {
        SelectObject(dc, tip_font());
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        gdi::release_surface_dc(dc);
    }
    return size;
}

}  // namespace

void show_tool_tip(const std::u16string& text, const RECT& anchor) {
    hide_tool_tip();
    if (text.empty()) return;
    if (user::find_class(kClassName) == nullptr) {
        user::WindowClass cls;
        cls.name = kClassName;
        cls.proc = tip_proc;
        user::register_class(cls);
    }
    g_text = text;
    const SIZE screen = backend::current().screen();
    const SIZE size = measure(text);
    const int width = std::min<int>(size.cx + 2 * kPaddingX + 2, screen.cx);
    const int height = size.cy + 4;
    // Centred over what it explains, above it, and kept on the screen.
    const int x = std::clamp<int>((anchor.left + anchor.right - width) / 2, 0, std::max<int>(0, screen.cx - width));
    int y = anchor.top - kGap - height;
    if (y < 0) y = anchor.bottom + kGap;
    g_tip = user::create_frame_window(kClassName, RECT{x, y, x + width, y + height}, nullptr, WS_BORDER);
    if (g_tip) ShowWindow(g_tip, SW_SHOWNA);
}

void hide_tool_tip() {
    if (IsWindow(g_tip)) DestroyWindow(g_tip);
    g_tip = nullptr;
}

HWND tool_tip_window() { return IsWindow(g_tip) ? g_tip : nullptr; }

}  // namespace platform::controls
