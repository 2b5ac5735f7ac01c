#include "platform/controls/static_control.h"

#include "platform/controls/control_colors.h"
#include "platform/controls/system_classes.h"
#include "platform/gdi/brushes.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/font_object.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/gdi/window_dc.h"
#include "platform/user/message_queue.h"
#include "platform/user/paint.h"
#include "platform/user/windows.h"

#include <string>
#include <unordered_map>

namespace platform::controls {
namespace {

// The font each label was given.
std::unordered_map<HWND, HFONT>& fonts() {
    static std::unordered_map<HWND, HFONT> table;
    return table;
}

HFONT font_of(HWND window) {
    auto it = fonts().find(window);
    if (it != fonts().end() && gdi::lookup_as<gdi::Font>(it->second, gdi::ObjectKind::Font)) return it->second;
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

UINT format_of(DWORD style) {
    UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: return format | DT_CENTER | DT_WORDBREAK;
    case SS_RIGHT: return format | DT_RIGHT | DT_WORDBREAK;
    case SS_LEFTNOWORDWRAP: return format | DT_LEFT | DT_SINGLELINE;
    default: return format | DT_LEFT | DT_WORDBREAK;
    }
}

void paint(HWND window) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    if (dc == nullptr) return;
    HBRUSH background = ask_control_colours(window, dc, WM_CTLCOLORSTATIC);
    if (IsWindow(window)) {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(dc, &client, background);
        if (!IsWindowEnabled(window)) SetTextColor(dc, RGB(128, 128, 128));
        const int length = GetWindowTextLengthW(window);
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        GetWindowTextW(window, text.data(), length + 1);
        HGDIOBJ oldFont = SelectObject(dc, font_of(window));
        DrawTextW(dc, text.c_str(), length, &client,
                  format_of(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE))));
        if (oldFont) SelectObject(dc, oldFont);
    }
    EndPaint(window, &ps);
}

}  // namespace

LRESULT static_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCDESTROY: fonts().erase(window); return 0;
    case WM_SETFONT:
        fonts()[window] = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETFONT: {
        auto it = fonts().find(window);
        return it == fonts().end() ? 0 : reinterpret_cast<LRESULT>(it->second);
    }
    case WM_SETTEXT: {
        const LRESULT done = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, FALSE);
        return done;
    }
    case WM_ENABLE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint(window); return 0;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_LBUTTONUP:
        if (GetWindowLongW(window, GWL_STYLE) & SS_NOTIFY) {
            if (HWND parent = GetParent(window))
                SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED),
                             reinterpret_cast<LPARAM>(window));
        }
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::controls
