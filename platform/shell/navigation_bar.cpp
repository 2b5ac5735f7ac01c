#include "platform/shell/navigation_bar.h"

#include "platform/win32.h"

namespace platform::shell {
namespace {

// The handheld's title bar: dark blue with the title in bold white.
constexpr COLORREF kBarColour = RGB(0, 40, 120);
constexpr COLORREF kTitleColour = RGB(255, 255, 255);
constexpr int kTitleLeft = 6;

HFONT title_font() {
    static HFONT font = nullptr;
    if (font == nullptr) {
        LOGFONTW logfont{};
        logfont.lfHeight = -13;
        logfont.lfWeight = FW_BOLD;
        font = CreateFontIndirectW(&logfont);
    }
    return font;
}

}  // namespace

void paint_navigation_bar(HWND bar, HDC dc, const std::u16string& title) {
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
    // A title too long for the bar is cut at its right end.
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont) SelectObject(dc, oldFont);
}

}  // namespace platform::shell
