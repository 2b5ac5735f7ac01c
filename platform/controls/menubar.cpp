#include "platform/controls/menubar.h"

#include "platform/controls/button_tracker.h"
#include "platform/controls/menu_bar_window.h"
#include "platform/gdi/bitmap_resources.h"
#include "platform/user/hooks.h"
#include "platform/user/window.h"
#include "platform/user/window_class.h"
#include "platform/win32_windows.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace platform::controls {
namespace {

constexpr char16_t kClassName[] = u"MapfolioMenuBar";
constexpr int kFirstButton = 2;    // left of the first button
constexpr int kButtonPadding = 4;  // around an image inside its button
constexpr int kSeparatorWidth = 6;
constexpr UINT kTipTimer = 1;
constexpr UINT kTipDelay = 500;
// A bar holds a row of buttons on a small screen; more is a mistake.
constexpr std::size_t kMaxButtons = 256;
constexpr int kMaxImages = 1024;
constexpr int kMaxImageSide = 64;

constexpr COLORREF kBarColor = RGB(189, 190, 189);
constexpr COLORREF kEdgeColor = RGB(128, 128, 128);
constexpr COLORREF kShadow = RGB(90, 90, 90);
constexpr COLORREF kLight = RGB(255, 255, 255);

struct Button {
    TBBUTTON info;
    RECT rect;  // client coordinates; empty while hidden
};

struct Bar {
    HWND parent = nullptr;
    std::vector<Button> buttons;
    std::vector<std::u16string> tips;
    int imageWidth = 0;
    int imageHeight = 0;
    int imageCount = 0;
    // The images one under another, XRGB. Bitmaps are made from them only
    // while the bar paints, so none outlives a bar that is never destroyed.
    std::vector<std::uint32_t> pixels;
    ButtonTracker stylus;               // the button the stylus went down on
    bool tipShown = false;
};

std::unordered_map<HWND, std::unique_ptr<Bar>>& bars() {
    static std::unordered_map<HWND, std::unique_ptr<Bar>> table;
    return table;
}

Bar* bar_of(HWND window) {
    auto it = bars().find(window);
    return it == bars().end() ? nullptr : it->second.get();
}

bool hidden(const Button& b) { return (b.info.fsState & TBSTATE_HIDDEN) != 0; }
bool enabled(const Button& b) { return (b.info.fsState & TBSTATE_ENABLED) != 0; }

void lay_out(HWND window, Bar& bar) {
    RECT client{};
    GetClientRect(window, &client);
    const int cell = std::max(bar.imageWidth, 16) + 2 * kButtonPadding;
    const int height = std::max(bar.imageHeight, 16) + 2 * kButtonPadding;
    const int top = 1 + std::max(0, static_cast<int>(client.bottom) - 1 - height) / 2;
    int x = kFirstButton;
    for (Button& b : bar.buttons) {
        if (hidden(b)) {
            b.rect = RECT{x, top, x, top};
            continue;
        }
        const int width = (b.info.fsStyle & TBSTYLE_SEP) ? (b.info.iBitmap > 0 ? std::min(b.info.iBitmap, 64) : kSeparatorWidth)
                                                          : cell;
        b.rect = RECT{x, top, x + width, top + height};
        x += width;
    }
    InvalidateRect(window, nullptr, FALSE);
}

// A disabled image: its colours faded to a light grey, its darkest lines
// still showing as mid grey.
std::uint32_t grey(std::uint32_t xrgb, std::uint32_t background) {
    if (xrgb == background) return xrgb;
    const unsigned r = (xrgb >> 16) & 0xFF, g = (xrgb >> 8) & 0xFF, b = xrgb & 0xFF;
    const unsigned luma = (r * 30 + g * 59 + b * 11) / 100;
    const unsigned v = 128 + luma * 96 / 255;
    return (v << 16) | (v << 8) | v;
}

HBITMAP make_strip(const Bar& bar, bool greyed) {
    BITMAPINFO256 info = bitmap_info_256(bar.imageWidth, -(bar.imageHeight * bar.imageCount), 32);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return bitmap;
    auto* out = static_cast<std::uint32_t*>(bits);
    const std::uint32_t background = bar.pixels.empty() ? 0 : bar.pixels[0];
    for (std::size_t i = 0; i < bar.pixels.size(); ++i) out[i] = greyed ? grey(bar.pixels[i], background) : bar.pixels[i];
    return bitmap;
}

void fill(HDC dc, RECT r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void paint(HWND window, Bar& bar, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    fill(dc, client, kBarColor);
    fill(dc, RECT{0, 0, client.right, 1}, kEdgeColor);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP normal = bar.imageCount > 0 ? make_strip(bar, false) : nullptr;
    HBITMAP greyed = bar.imageCount > 0 ? make_strip(bar, true) : nullptr;
    for (std::size_t i = 0; i < bar.buttons.size(); ++i) {
        const Button& b = bar.buttons[i];
        if (hidden(b) || (b.info.fsStyle & TBSTYLE_SEP)) continue;
        const bool down = (bar.stylus.shows_pressed(static_cast<int>(i)) && enabled(b)) ||
                          (b.info.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED));
        const RECT& r = b.rect;
        if (down) {
            // Sunken: shadow above and left, light below and right.
            fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, kShadow);
            fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, kShadow);
            fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, kLight);
            fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, kLight);
        }
        const int image = b.info.iBitmap;
        if (image < 0 || image >= bar.imageCount || memory == nullptr) continue;
        HBITMAP strip = enabled(b) ? normal : greyed;
        if (strip == nullptr) continue;
        HGDIOBJ old = SelectObject(memory, strip);
        const int x = (r.left + r.right - bar.imageWidth) / 2 + (down ? 1 : 0);
        const int y = (r.top + r.bottom - bar.imageHeight) / 2 + (down ? 1 : 0);
        BitBlt(dc, x, y, bar.imageWidth, bar.imageHeight, memory, 0, image * bar.imageHeight, SRCCOPY);
        SelectObject(memory, old);
    }
    if (memory) DeleteDC(memory);
    if (normal) DeleteObject(normal);
    if (greyed) DeleteObject(greyed);
}

int button_at(const Bar& bar, POINT p) {
    for (std::size_t i = 0; i < bar.buttons.size(); ++i) {
        const RECT& r = bar.buttons[i].rect;
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return static_cast<int>(i);
    }
    return -1;
}

Button* by_command(Bar& bar, WPARAM command) {
    for (Button& b : bar.buttons) {
        if (!(b.info.fsStyle & TBSTYLE_SEP) && b.info.idCommand == static_cast<int>(command)) return &b;
    }
    return nullptr;
}


// Presses take effect only while the bar's window takes input: not while a
// message box or dialog runs over it.
bool accepts_input(const Bar& bar) {
    HWND owner = bar.parent;
    user::Window* w = user::top_level_of(user::find(owner));
    return w != nullptr && user::enabled_for_input(w);
}

void press(HWND window, Bar& bar, POINT p) {
    bar.stylus.cancel();
    bar.tipShown = false;
    if (!accepts_input(bar)) return;
    const int index = button_at(bar, p);
    if (index < 0 || (bar.buttons[index].info.fsStyle & TBSTYLE_SEP) || !enabled(bar.buttons[index])) return;
    bar.stylus.press(index);
    SetTimer(window, kTipTimer, kTipDelay, nullptr);
    InvalidateRect(window, nullptr, FALSE);
}

void release(HWND window, Bar& bar, POINT p) {
    KillTimer(window, kTipTimer);
    hide_tool_tip();
    // A button whose tip was shown was only being looked at.
    const int index = bar.stylus.release(button_at(bar, p));
    const bool fire = index >= 0 && !bar.tipShown && enabled(bar.buttons[index]) && accepts_input(bar);
    bar.tipShown = false;
    InvalidateRect(window, nullptr, FALSE);
    if (!fire) return;
    const int command = bar.buttons[index].info.idCommand;
    if (command == 0) return;
    // The command may destroy the bar (Quit); nothing of it is used after.
    SendMessageW(bar.parent, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(window));
}

void show_tip(HWND window, Bar& bar) {
    KillTimer(window, kTipTimer);
    if (bar.stylus.pressed() < 0 || !bar.stylus.inside()) return;
    const std::size_t index = static_cast<std::size_t>(bar.stylus.pressed());
    if (index >= bar.tips.size() || bar.tips[index].empty()) return;
    RECT anchor = bar.buttons[index].rect;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&anchor, origin.x, origin.y);
    bar.tipShown = true;
    show_tool_tip(bar.tips[index], anchor);
}

LRESULT CALLBACK bar_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        bars()[window] = std::make_unique<Bar>();
        return TRUE;
    }
    Bar* bar = bar_of(window);
    if (bar == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        if (bar->stylus.pressed() >= 0 && bar->tipShown) hide_tool_tip();
        bars().erase(window);
        return 0;
    case WM_SIZE:
        lay_out(window, *bar);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        if (HDC dc = BeginPaint(window, &ps)) {
            paint(window, *bar, dc);
            EndPaint(window, &ps);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        press(window, *bar, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        if (bar->stylus.move(button_at(*bar, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))) {
            if (!bar->stylus.inside() && bar->tipShown) hide_tool_tip();
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONUP:
        release(window, *bar, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_TIMER:
        if (wParam == kTipTimer) show_tip(window, *bar);
        return 0;
    case TB_ADDBUTTONSW: {
        const auto* added = reinterpret_cast<const TBBUTTON*>(lParam);
        if (added == nullptr) return FALSE;
        const std::size_t count = std::min<std::size_t>(wParam, kMaxButtons - std::min(kMaxButtons, bar->buttons.size()));
        for (std::size_t i = 0; i < count; ++i) bar->buttons.push_back(Button{added[i], RECT{}});
        lay_out(window, *bar);
        return count == wParam ? TRUE : FALSE;
    }
    case TB_SETTOOLTIPS: {
        const auto* tips = reinterpret_cast<const LPCWSTR*>(lParam);
        if (tips == nullptr) return FALSE;
        const std::size_t count = std::min<std::size_t>(wParam, kMaxButtons);
        bar->tips.assign(count, std::u16string());
        for (std::size_t i = 0; i < count; ++i) {
            if (tips[i]) bar->tips[i] = tips[i];
        }
        return TRUE;
    }
    case TB_SETSTATE:
    case TB_ENABLEBUTTON: {
        Button* b = by_command(*bar, wParam);
        if (b == nullptr) return FALSE;
        const BYTE state = message == TB_SETSTATE
                               ? static_cast<BYTE>(LOWORD(lParam))
                               : static_cast<BYTE>(LOWORD(lParam) ? (b->info.fsState | TBSTATE_ENABLED)
                                                                  : (b->info.fsState & ~TBSTATE_ENABLED));
        if (b->info.fsState != state) {
            b->info.fsState = state;
            lay_out(window, *bar);
        }
        return TRUE;
    }
    case TB_GETSTATE: {
        const Button* b = by_command(*bar, wParam);
        return b ? b->info.fsState : -1;
    }
    case TB_BUTTONCOUNT:
        return static_cast<LRESULT>(bar->buttons.size());
    case TB_GETBUTTON: {
        auto* out = reinterpret_cast<TBBUTTON*>(lParam);
        if (out == nullptr || wParam >= bar->buttons.size()) return FALSE;
        *out = bar->buttons[wParam].info;
        return TRUE;
    }
    case TB_GETRECT: {
        const Button* b = by_command(*bar, wParam);
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (b == nullptr || out == nullptr) return FALSE;
        *out = b->rect;
        return TRUE;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Copies the images of a loaded bitmap into the bar's store.
bool take_images(Bar& bar, HBITMAP bitmap, int count, int width, int height) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) == 0) return false;
    // Only as many whole images as the bitmap holds.
    count = std::min(count, static_cast<int>(info.bmWidth / width));
    if (count <= 0 || info.bmHeight < height) return false;
    BITMAPINFO256 strip = bitmap_info_256(width * count, -height, 32);
    void* bits = nullptr;
    HBITMAP flat = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&strip), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (flat == nullptr || bits == nullptr) {
        if (flat) DeleteObject(flat);
        return false;
    }
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, bitmap);
    HGDIOBJ oldTo = SelectObject(to, flat);
    BitBlt(to, 0, 0, width * count, height, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const std::size_t rowWidth = static_cast<std::size_t>(width) * count;
    for (int image = 0; image < count; ++image) {
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* row = pixels + y * rowWidth + static_cast<std::size_t>(image) * width;
            for (int x = 0; x < width; ++x) bar.pixels.push_back(row[x] & 0x00FFFFFFu);
        }
    }
    DeleteObject(flat);
    bar.imageCount += count;
    return true;
}

}  // namespace

HWND create_menu_bar_window(HWND parent, const RECT& rect) {
    if (user::find_class(kClassName) == nullptr) {
        user::WindowClass cls;
        cls.name = kClassName;
        cls.proc = bar_proc;
        user::register_class(cls);
    }
    HWND window = user::create_frame_window(kClassName, rect, parent, 0);
    if (Bar* bar = bar_of(window)) bar->parent = parent;
    return window;
}

HWND menu_bar_parent(HWND bar) {
    Bar* b = bar_of(bar);
    return b && IsWindow(b->parent) ? b->parent : nullptr;
}

bool is_menu_bar(HWND window) { return bar_of(window) != nullptr; }

bool tap_button(HWND window, int command) {
    Bar* bar = bar_of(window);
    if (bar == nullptr || command == 0 || !accepts_input(*bar)) return false;
    for (const Button& b : bar->buttons) {
        if (b.info.idCommand != command) continue;
        if (hidden(b) || !enabled(b) || (b.info.fsStyle & TBSTYLE_SEP)) return false;
        SendMessageW(bar->parent, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(window));
        return true;
    }
    return false;
}

std::vector<BarButton> bar_buttons(HWND window) {
    std::vector<BarButton> out;
    Bar* bar = bar_of(window);
    if (bar == nullptr) return out;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    for (std::size_t i = 0; i < bar->buttons.size(); ++i) {
        const Button& b = bar->buttons[i];
        BarButton view;
        view.tip = i < bar->tips.size() ? bar->tips[i] : std::u16string();
        view.command = b.info.idCommand;
        view.state = b.info.fsState;
        view.separator = (b.info.fsStyle & TBSTYLE_SEP) != 0;
        view.rect = b.rect;
        OffsetRect(&view.rect, origin.x, origin.y);
        out.push_back(view);
    }
    return out;
}

}  // namespace platform::controls

int CommandBar_AddBitmap(HWND window, HINSTANCE instance, int bitmapId, int numImages, int width, int height) {
    using namespace platform::controls;
    Bar* bar = bar_of(window);
    if (bar == nullptr || numImages <= 0 || width <= 0 || height <= 0 || width > kMaxImageSide ||
        height > kMaxImageSide || bar->imageCount + numImages > kMaxImages)
        return -1;
    // Every image of a bar has the size of the first ones.
    if (bar->imageCount > 0 && (width != bar->imageWidth || height != bar->imageHeight)) return -1;
    HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(bitmapId));
    if (bitmap == nullptr) return -1;
    const int first = bar->imageCount;
    bar->imageWidth = width;
    bar->imageHeight = height;
    const bool taken = take_images(*bar, bitmap, numImages, width, height);
    DeleteObject(bitmap);
    if (!taken) return -1;
    lay_out(window, *bar);
    return first;
}

BOOL CommandBar_AddToolTips(HWND bar, UINT count, LPCWSTR* tips) {
    return SendMessageW(bar, TB_SETTOOLTIPS, count, reinterpret_cast<LPARAM>(tips)) ? TRUE : FALSE;
}
