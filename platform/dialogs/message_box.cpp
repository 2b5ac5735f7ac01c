#include "platform/dialogs/message_box.h"

#include "platform/backend/backend.h"
#include "platform/controls/button_tracker.h"
#include "platform/dialogs/message_box_contents.h"
#include "platform/dialogs/modal_loop.h"
#include "platform/shell/frame.h"
#include "platform/user/window.h"
#include "platform/win32_windows.h"

#include <algorithm>
#include <string>
#include <vector>

namespace platform::dialogs {
namespace {

constexpr char16_t kClassName[] = u"MapfolioMessageBox";

constexpr int kSideMargin = 12;    // between the screen's edges and the box
constexpr int kCaptionHeight = 20;
constexpr int kPadding = 8;
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 22;
constexpr int kButtonGap = 10;

constexpr COLORREF kCaptionColour = RGB(0, 40, 120);
constexpr COLORREF kButtonFace = RGB(214, 211, 206);
constexpr COLORREF kButtonPressed = RGB(0, 40, 120);

struct Button {
    int id;
    const char16_t* label;
    RECT rect;  // client coordinates
};

struct Box {
    std::u16string text;
    std::u16string caption;
    std::vector<Button> buttons;
    int focused = 0;     // the button Enter chooses
    controls::ButtonTracker stylus;  // the button the stylus went down on
    int escapeAnswer = IDOK;
    RECT textRect{};
    int result = 0;
    bool done = false;
};

Box* box_of(HWND window) { return reinterpret_cast<Box*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

HFONT caption_font() { return platform::gdi::shared_ui_font(12, FW_BOLD); }

int button_at(const Box& box, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (std::size_t i = 0; i < box.buttons.size(); ++i) {
        if (PtInRect(&box.buttons[i].rect, p)) return static_cast<int>(i);
    }
    return -1;
}

void answer(HWND window, Box& box, int id) {
    box.result = id;
    box.done = true;
    InvalidateRect(window, nullptr, FALSE);
}

void paint(HWND window, HDC dc, const Box& box) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    RECT caption{0, 0, client.right, kCaptionHeight};
    HBRUSH captionBrush = CreateSolidBrush(kCaptionColour);
    FillRect(dc, &caption, captionBrush);
    DeleteObject(captionBrush);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, caption_font());
    SetTextColor(dc, RGB(255, 255, 255));
    RECT captionText{kPadding, 0, client.right - kPadding, kCaptionHeight};
    DrawTextW(dc, box.caption.c_str(), static_cast<int>(box.caption.size()), &captionText,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));

    SetTextColor(dc, RGB(0, 0, 0));
    RECT text = box.textRect;
    DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);

    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (std::size_t i = 0; i < box.buttons.size(); ++i) {
        const Button& button = box.buttons[i];
        bool down = box.stylus.shows_pressed(static_cast<int>(i));
        HBRUSH face = CreateSolidBrush(down ? kButtonPressed : kButtonFace);
        HGDIOBJ oldBrush = SelectObject(dc, face);
        Rectangle(dc, button.rect.left, button.rect.top, button.rect.right, button.rect.bottom);
        if (static_cast<int>(i) == box.focused) {
            // The focused button has a second frame inside the first.
            HGDIOBJ hollow = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, button.rect.left + 1, button.rect.top + 1, button.rect.right - 1, button.rect.bottom - 1);
            SelectObject(dc, hollow);
        }
        SelectObject(dc, oldBrush);
        DeleteObject(face);
        SetTextColor(dc, down ? RGB(255, 255, 255) : RGB(0, 0, 0));
        RECT label = button.rect;
        DrawTextW(dc, button.label, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    if (oldFont) SelectObject(dc, oldFont);
}

LRESULT box_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Box* box = box_of(window);
    if (box == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        if (HDC dc = BeginPaint(window, &ps)) {
            paint(window, dc, *box);
            EndPaint(window, &ps);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        box->stylus.press(button_at(*box, lParam));
        if (box->stylus.pressed() >= 0) box->focused = box->stylus.pressed();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_MOUSEMOVE:
        if (box->stylus.move(button_at(*box, lParam))) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP: {
        // A button answers when the stylus is lifted on it, so a tap that
        // slides off changes nothing.
        const int released = box->stylus.release(button_at(*box, lParam));
        if (released >= 0) {
            answer(window, *box, box->buttons[released].id);
        } else {
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    }
    case WM_KEYDOWN: {
        int count = static_cast<int>(box->buttons.size());
        switch (wParam) {
        case VK_RETURN: answer(window, *box, box->buttons[box->focused].id); break;
        case VK_ESCAPE: answer(window, *box, box->escapeAnswer); break;
        case VK_LEFT:
        case VK_UP: box->focused = (box->focused + count - 1) % count; break;
        case VK_RIGHT:
        case VK_DOWN: box->focused = (box->focused + 1) % count; break;
        default: break;
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case WM_CLOSE:
        answer(window, *box, box->escapeAnswer);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool ensure_class() {
    if (user::find_class(kClassName) != nullptr) return true;
    user::WindowClass cls;
    cls.name = kClassName;
    cls.proc = box_proc;
    return user::register_class(cls);
}

bool choose_buttons(UINT type, Box& box) {
    switch (type & 0x0F) {
    case MB_OK:
        box.buttons = {{IDOK, u"OK", {}}};
        box.escapeAnswer = IDOK;
        break;
    case MB_OKCANCEL:
        box.buttons = {{IDOK, u"OK", {}}, {IDCANCEL, u"Cancel", {}}};
        box.escapeAnswer = IDCANCEL;
        break;
    case MB_YESNOCANCEL:
        box.buttons = {{IDYES, u"Yes", {}}, {IDNO, u"No", {}}, {IDCANCEL, u"Cancel", {}}};
        box.escapeAnswer = IDCANCEL;
        break;
    case MB_YESNO:
        box.buttons = {{IDYES, u"Yes", {}}, {IDNO, u"No", {}}};
        box.escapeAnswer = IDNO;
        break;
    default:
        return false;
    }
    int preferred = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
    box.focused = std::min(preferred, static_cast<int>(box.buttons.size()) - 1);
    return true;
}

// Sizes the box to its text and places it in the middle of the space
// between the two bars. Returns the box's screen rectangle.
RECT lay_out(Box& box) {
    SIZE screen = backend::current().screen();
    int width = std::max(120, static_cast<int>(screen.cx) - 2 * kSideMargin);
    int textWidth = width - 2 - 2 * kPadding;

    // Measured on a scratch surface with the font the box draws with.
    Surface scratch(1, 1);
    HDC dc = gdi::create_surface_dc(&scratch, POINT{0, 0}, RECT{0, 0, 1, 1});
    RECT measure{0, 0, textWidth, 0};
    if (dc != nullptr) {
        DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &measure,
                  DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        gdi::release_surface_dc(dc);
    }
    int space = screen.cy - shell::kNavBarHeight - shell::kMenuBarHeight - 2 * kPadding;
    int fixed = 2 + kCaptionHeight + 3 * kPadding + kButtonHeight;
    // Text too long for the screen is cut; the buttons always show.
    int textHeight = std::clamp(static_cast<int>(measure.bottom - measure.top), 0, std::max(0, space - fixed));
    int height = fixed + textHeight;

    int clientWidth = width - 2;
    box.textRect = RECT{kPadding, kCaptionHeight + kPadding, kPadding + textWidth,
                        kCaptionHeight + kPadding + textHeight};
    int count = static_cast<int>(box.buttons.size());
    int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    int left = (clientWidth - rowWidth) / 2;
    int top = box.textRect.bottom + kPadding;
    for (int i = 0; i < count; ++i) {
        int x = left + i * (kButtonWidth + kButtonGap);
        box.buttons[i].rect = RECT{x, top, x + kButtonWidth, top + kButtonHeight};
    }
    int x = (screen.cx - width) / 2;
    int y = shell::kNavBarHeight + (screen.cy - shell::kNavBarHeight - shell::kMenuBarHeight - height) / 2;
    return RECT{x, y, x + width, y + height};
}

}  // namespace

std::optional<MessageBoxContents> front_message_box() {
    const auto& list = user::top_levels();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const user::Window* window = *it;
        if (window->destroying || !(window->style & WS_VISIBLE) ||
            lstrcmpiW(window->cls.name.c_str(), kClassName) != 0)
            continue;
        const Box* box = box_of(window->handle);
        if (box == nullptr || box->done) continue;
        MessageBoxContents contents;
        contents.window = window->handle;
        contents.caption = box->caption;
        contents.text = box->text;
        const POINT origin = user::client_origin(window);
        for (const Button& button : box->buttons) {
            RECT rect = button.rect;
            OffsetRect(&rect, origin.x, origin.y);
            contents.buttons.push_back(MessageBoxContents::Button{button.id, button.label, rect});
        }
        return contents;
    }
    return std::nullopt;
}

}  // namespace platform::dialogs

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    using namespace platform::dialogs;
    Box box;
    box.text = text ? text : u"";
    box.caption = caption ? caption : u"Error";
    if (!choose_buttons(type, box) || !ensure_class()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
    RECT place = lay_out(box);
    const HWND focusBefore = GetFocus();
    HWND window = CreateWindowExW(WS_EX_TOPMOST, kClassName, box.caption.c_str(), WS_POPUP | WS_BORDER, place.left,
                                  place.top, place.right - place.left, place.bottom - place.top, owner, nullptr,
                                  nullptr, nullptr);
    if (window == nullptr) return 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    ShowWindow(window, SW_SHOW);
    run_modal_loop(window, box.done);
    // A box taken away unanswered (its owner destroyed, the program told to
    // quit) counts as escaped.
    if (!box.done) box.result = box.escapeAnswer;
    if (IsWindow(window)) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
    // The focus goes back to the control that had it, not just its window.
    if (IsWindow(focusBefore)) SetFocus(focusBefore);
    return box.result;
}
