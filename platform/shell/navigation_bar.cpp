#include "platform/shell/navigation_bar.h"

#include "platform/win32_windows.h"

namespace platform::shell {
namespace {

// The handheld's title bar: dark blue with the title in bold white.
constexpr COLORREF kBarColour = RGB(0, 40, 120);
constexpr COLORREF kTitleColour = RGB(255, 255, 255);
constexpr int kTitleLeft = 6;
constexpr int kDoneWidth = 26;
constexpr int kDoneHeight = 18;
constexpr int kDoneMargin = 4;

HFONT title_font() { return platform::gdi::shared_ui_font(13, FW_BOLD); }

}  // namespace

RECT done_button_rect(HWND bar) {
    RECT client{};
    GetClientRect(bar, &client);
    return RECT{client.right - kDoneWidth - kDoneMargin, (client.bottom - kDoneHeight) / 2, client.right - kDoneMargin,
                (client.bottom - kDoneHeight) / 2 + kDoneHeight};
}

void paint_navigation_bar(HWND bar, HDC dc, const std::u16string& title, bool doneButton) {
    RECT client{};
    GetClientRect(bar, &client);
    HBRUSH brush = CreateSolidBrush(kBarColour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    HGDIOBJ oldFont = SelectObject(dc, title_font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTitleColour);
    RECT text = client;
    text.left += kTitleLeft;
    text.right -= kTitleLeft;
    if (doneButton) {
        // "ok" in a white ring at the right end; the title stops short of it.
        const RECT ok = done_button_rect(bar);
        text.right = ok.left - kTitleLeft;
        HPEN pen = CreatePen(PS_SOLID, 2, kTitleColour);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, ok.left, ok.top, ok.right, ok.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
        HGDIOBJ previous = SelectObject(dc, title_font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kTitleColour);
        RECT label = ok;
        DrawTextW(dc, u"ok", 2, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, previous);
    }
    // A title too long for the bar is cut at its right end.
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont) SelectObject(dc, oldFont);
}

}  // namespace platform::shell
