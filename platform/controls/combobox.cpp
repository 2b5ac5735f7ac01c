#include "platform/controls/combobox.h"

#include "platform/backend/backend.h"
#include "platform/controls/control_colors.h"
#include "platform/controls/list_geometry.h"
#include "platform/controls/list_pane.h"
#include "platform/controls/system_classes.h"
#include "platform/gdi/brushes.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/gdi/window_dc.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "platform/user/windows.h"

#include <algorithm>
#include <memory>
#include <new>
#include <unordered_map>

namespace platform::controls {
namespace {

constexpr char16_t kListClass[] = u"ComboLBox";
constexpr int kFieldPadding = 2;  // between the box's frame and its text row
constexpr int kDefaultListRows = 5;

constexpr COLORREF kFrame = RGB(128, 128, 128);
constexpr COLORREF kButtonFace = RGB(214, 211, 206);
constexpr COLORREF kArrow = RGB(0, 0, 0);
constexpr COLORREF kDisabledText = RGB(128, 128, 128);

struct Combo {
    ListPane pane;            // the items; pane.selection is the highlight in the dropped list
    int selection = -1;       // the chosen item, shown in the box
    int listHeight = 0;       // the dropped list's height as created
    HWND list = nullptr;      // the dropped list's window, made on the first drop
    bool dropped = false;
    bool focused = false;
    bool tracking = false;       // the stylus is choosing in the dropped list
    bool pressedOnField = false;  // the press that dropped the list is still down
};

std::unordered_map<HWND, std::unique_ptr<Combo>>& combos() {
    static std::unordered_map<HWND, std::unique_ptr<Combo>> table;
    return table;
}

// The combo box each dropped list belongs to.
std::unordered_map<HWND, HWND>& list_owners() {
    static std::unordered_map<HWND, HWND> table;
    return table;
}

Combo* combo_of(HWND window) {
    auto it = combos().find(window);
    return it == combos().end() ? nullptr : it->second.get();
}

HWND combo_of_list(HWND list) {
    auto it = list_owners().find(list);
    return it == list_owners().end() ? nullptr : it->second;
}

DWORD style_of(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

SIZE client_size(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

POINT point_of(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

int field_height(const Combo& c) { return c.pane.item_height() + 2 * kFieldPadding; }

ListPane::Layout list_layout(const Combo& c) {
    return c.pane.layout(IsWindow(c.list) ? client_size(c.list) : SIZE{0, c.listHeight});
}

void notify(HWND combo, int code) {
    HWND parent = GetParent(combo);
    if (parent) SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), code), reinterpret_cast<LPARAM>(combo));
}

void refresh(HWND combo, Combo& c) {
    InvalidateRect(combo, nullptr, FALSE);
    if (c.dropped) InvalidateRect(c.list, nullptr, FALSE);
}

// The box is always one text row high: a taller height asked for (at
// creation, or by MoveWindow) becomes the height of the dropped list.
void fit_field(HWND combo, Combo& c) {
    RECT r{};
    GetWindowRect(combo, &r);
    const int height = r.bottom - r.top;
    const int want = field_height(c);
    if (height == want) return;
    if (height > want) c.listHeight = height - want;
    POINT origin{r.left, r.top};
    if (HWND parent = GetParent(combo)) ScreenToClient(parent, &origin);
    MoveWindow(combo, origin.x, origin.y, r.right - r.left, want, FALSE);
}

LRESULT CALLBACK list_proc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

bool ensure_list_class() {
    if (user::find_class(kListClass) != nullptr) return true;
    user::WindowClass cls;
    cls.name = kListClass;
    cls.proc = list_proc;
    return user::register_class(cls);
}

// The list's screen rectangle: below the box, or above it when it does not
// fit below and there is more room above.
RECT list_rect(HWND combo, const Combo& c) {
    RECT field{};
    GetWindowRect(combo, &field);
    const int rowHeight = c.pane.item_height();
    int height = std::max(c.listHeight, rowHeight + 2);
    if (!(style_of(combo) & CBS_NOINTEGRALHEIGHT)) {
        const int fit = std::max(1, (height - 2) / rowHeight);
        const int rows = std::clamp(c.pane.items.count(), 1, fit);
        height = rows * rowHeight + 2;
    }
    const int screenHeight = backend::current().screen().cy;
    const int below = screenHeight - field.bottom;
    const int above = field.top;
    if (height <= below || below >= above) {
        return RECT{field.left, field.bottom, field.right, field.bottom + std::min(height, std::max(below, 0))};
    }
    height = std::min(height, above);
    return RECT{field.left, field.top - height, field.right, field.top};
}

void drop(HWND combo) {
    Combo* c = combo_of(combo);
    if (c == nullptr || c->dropped) return;
    // The parent may fill the list now.
    notify(combo, CBN_DROPDOWN);
    if ((c = combo_of(combo)) == nullptr || c->dropped || !ensure_list_class()) return;
    if (!IsWindow(c->list)) {
        c->list = CreateWindowExW(WS_EX_NOACTIVATE, kListClass, u"", WS_POPUP | WS_BORDER, 0, 0, 0, 0, combo, nullptr,
                                  nullptr, nullptr);
        if ((c = combo_of(combo)) == nullptr || c->list == nullptr) return;
        list_owners()[c->list] = combo;
    }
    const RECT r = list_rect(combo, *c);
    MoveWindow(c->list, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    c->pane.selection = c->selection;
    const ListPane::Layout l = list_layout(*c);
    c->pane.clamp_top(l);
    if (c->selection >= 0) c->pane.scroll_to(c->selection, l);
    c->dropped = true;
    c->tracking = false;
    InvalidateRect(c->list, nullptr, FALSE);
    // Over the dialog, however often the dialog came to the front since.
    user::bring_to_top(user::find(c->list));
    ShowWindow(c->list, SW_SHOWNA);
    SetCapture(c->list);
    InvalidateRect(combo, nullptr, FALSE);
}

// Closes the list; with choose, the highlighted item becomes the choice.
void close_up(HWND combo, bool choose) {
    Combo* c = combo_of(combo);
    if (c == nullptr || !c->dropped) return;
    c->dropped = false;
    c->tracking = false;
    c->pressedOnField = false;
    c->pane.bar_release();
    const HWND list = c->list;
    if (GetCapture() == list) ReleaseCapture();
    ShowWindow(list, SW_HIDE);
    if ((c = combo_of(combo)) == nullptr) return;
    const bool chosen = choose && c->pane.selection >= 0;
    if (chosen) c->selection = c->pane.selection;
    InvalidateRect(combo, nullptr, FALSE);
    if (chosen) notify(combo, CBN_SELCHANGE);
    if (IsWindow(combo)) notify(combo, CBN_CLOSEUP);
}

void choose(HWND combo, Combo& c, int index) {
    if (index == c.selection) return;
    c.selection = c.pane.selection = index;
    c.pane.show_item(index, list_layout(c));
    refresh(combo, c);
}

void paint_field(HWND combo, Combo& c) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(combo, &ps);
    if (dc == nullptr) return;
    const bool enabled = IsWindowEnabled(combo) != FALSE;
    HBRUSH background = ask_control_colours(combo, dc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
    Combo* still = combo_of(combo);
    if (still == nullptr) {
        EndPaint(combo, &ps);
        return;
    }
    const SIZE size = client_size(combo);
    RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, background);

    HBRUSH frame = CreateSolidBrush(kFrame);
    for (const RECT& edge : {RECT{0, 0, size.cx, 1}, RECT{0, size.cy - 1, size.cx, size.cy}, RECT{0, 0, 1, size.cy},
                             RECT{size.cx - 1, 0, size.cx, size.cy}})
        FillRect(dc, &edge, frame);
    const RECT button{std::max(1, static_cast<int>(size.cx) - 1 - kScrollBarWidth), 1, size.cx - 1, size.cy - 1};
    HBRUSH face = CreateSolidBrush(still->dropped ? kFrame : kButtonFace);
    FillRect(dc, &button, face);
    DeleteObject(face);
    const RECT divider{button.left, button.top, button.left + 1, button.bottom};
    FillRect(dc, &divider, frame);
    DeleteObject(frame);
    // A small triangle pointing down.
    HBRUSH arrow = CreateSolidBrush(enabled ? kArrow : kDisabledText);
    const int cx = (button.left + 1 + button.right) / 2;
    const int cy = (button.top + button.bottom) / 2;
    for (int row = 0; row < 4; ++row) {
        const RECT line{cx - 3 + row, cy - 2 + row, cx + 4 - row, cy - 1 + row};
        FillRect(dc, &line, arrow);
    }
    DeleteObject(arrow);

    if (still->selection >= 0 && still->selection < still->pane.items.count()) {
        const std::u16string& text = still->pane.items.at(still->selection).text;
        RECT row{1 + kFieldPadding - 1, kFieldPadding, button.left - 1, size.cy - kFieldPadding};
        const bool highlighted = still->focused && !still->dropped;
        if (highlighted) {
            HBRUSH bar = CreateSolidBrush(kHighlight);
            FillRect(dc, &row, bar);
            DeleteObject(bar);
            SetTextColor(dc, kHighlightText);
        } else if (!enabled) {
            SetTextColor(dc, kDisabledText);
        }
        if (!highlighted && GetBkMode(dc) == OPAQUE) {
            HBRUSH cell = CreateSolidBrush(GetBkColor(dc));
            FillRect(dc, &row, cell);
            DeleteObject(cell);
        }
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ oldFont = SelectObject(dc, still->pane.font_or_system());
        ExtTextOutW(dc, row.left + kItemTextInset, row.top + 1, ETO_CLIPPED, &row, text.data(),
                    static_cast<UINT>(text.size()), nullptr);
        if (oldFont) SelectObject(dc, oldFont);
    }
    EndPaint(combo, &ps);
}

void paint_list(HWND list, HWND combo) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(list, &ps);
    if (dc == nullptr) return;
    HBRUSH background = ask_control_colours(GetParent(combo), list, dc, WM_CTLCOLORLISTBOX);
    if (Combo* c = combo_of(combo)) {
        const ListPane::Layout l = list_layout(*c);
        c->pane.clamp_top(l);
        c->pane.paint(dc, list_layout(*c), background);
    }
    EndPaint(list, &ps);
}

// The stylus in the dropped list, in the list's client coordinates: the
// list holds the capture, so a press anywhere comes here.
void list_stylus(HWND list, HWND combo, UINT message, POINT p) {
    Combo* c = combo_of(combo);
    if (c == nullptr || !c->dropped) return;
    const ListPane::Layout l = list_layout(*c);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        POINT screen = p;
        ClientToScreen(list, &screen);
        RECT frame{};
        GetWindowRect(list, &frame);
        if (!inside(frame, screen)) {
            close_up(combo, false);
            return;
        }
        if (c->pane.on_bar(p, l)) {
            if (c->pane.bar_press(p, l)) InvalidateRect(list, nullptr, FALSE);
            return;
        }
        const int index = c->pane.item_at(p, l);
        c->tracking = true;
        if (index >= 0 && index != c->pane.selection) {
            c->pane.selection = index;
            InvalidateRect(list, nullptr, FALSE);
        }
        return;
    }
    case WM_MOUSEMOVE:
        if (c->pane.dragging_thumb()) {
            if (c->pane.bar_drag(p, l)) InvalidateRect(list, nullptr, FALSE);
        } else if (c->tracking) {
            const int index = c->pane.item_toward(p, l);
            if (index >= 0 && index != c->pane.selection) {
                c->pane.selection = index;
                c->pane.show_item(index, l);
                InvalidateRect(list, nullptr, FALSE);
            }
        }
        return;
    case WM_LBUTTONUP: {
        c->pane.bar_release();
        if (!c->tracking) return;
        c->tracking = false;
        const int index = c->pane.item_at(p, l);
        if (index >= 0) {
            c->pane.selection = index;
            close_up(combo, true);
        }
        return;
    }
    default: return;
    }
}

LRESULT CALLBACK list_proc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND combo = combo_of_list(list);
    switch (message) {
    case WM_NCDESTROY: list_owners().erase(list); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
        if (combo) paint_list(list, combo);
        else ValidateRect(list, nullptr);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (combo) list_stylus(list, combo, message, point_of(lParam));
        return 0;
    case WM_CLOSE:
        // Closing the desktop window while the list is down closes the list.
        if (combo) close_up(combo, false);
        return 0;
    case WM_CAPTURECHANGED:
        // Something else took the stylus: the list closes with nothing chosen.
        if (combo && reinterpret_cast<HWND>(lParam) != list) {
            if (Combo* c = combo_of(combo); c && c->dropped) close_up(combo, false);
        }
        return 0;
    default: return DefWindowProcW(list, message, wParam, lParam);
    }
}

// The stylus still down after the press that dropped the list: it goes on
// into the list, where lifting it on an item chooses that item.
void field_stylus(HWND combo, Combo& c, UINT message, POINT p) {
    if (!c.pressedOnField || !c.dropped) return;
    POINT inList = p;
    ClientToScreen(combo, &inList);
    ScreenToClient(c.list, &inList);
    const ListPane::Layout l = list_layout(c);
    const int index = c.pane.item_at(inList, l);
    if (message == WM_LBUTTONUP) {
        c.pressedOnField = false;
        if (index >= 0) {
            c.pane.selection = index;
            close_up(combo, true);
        }
    } else if (index >= 0 && index != c.pane.selection) {
        c.pane.selection = index;
        InvalidateRect(c.list, nullptr, FALSE);
    }
}

void key_down(HWND combo, Combo& c, WPARAM key) {
    if (key == VK_F4) {
        if (c.dropped) close_up(combo, false);
        else drop(combo);
        return;
    }
    if (c.dropped && (key == VK_RETURN || key == VK_ESCAPE)) {
        close_up(combo, key == VK_RETURN);
        return;
    }
    const int count = c.pane.items.count();
    if (count == 0) return;
    const ListPane::Layout l = list_layout(c);
    const int current = c.dropped ? c.pane.selection : c.selection;
    const int page = std::max(1, l.fullRows - 1);
    int next = current;
    switch (key) {
    case VK_UP: next = current < 0 ? 0 : current - 1; break;
    case VK_DOWN: next = current < 0 ? 0 : current + 1; break;
    case VK_PRIOR: next = current < 0 ? 0 : current - page; break;
    case VK_NEXT: next = current < 0 ? 0 : current + page; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = count - 1; break;
    default: return;
    }
    next = std::clamp(next, 0, count - 1);
    if (next == current) return;
    if (c.dropped) {
        c.pane.selection = next;
        c.pane.show_item(next, l);
        InvalidateRect(c.list, nullptr, FALSE);
        return;
    }
    choose(combo, c, next);
    notify(combo, CBN_SELCHANGE);
}

bool valid(const Combo& c, WPARAM index) {
    const int i = static_cast<int>(index);
    return i >= 0 && i < c.pane.items.count();
}

std::u16string text_of(LPARAM lParam) {
    const auto* text = reinterpret_cast<LPCWSTR>(lParam);
    return text ? std::u16string(text) : std::u16string();
}

LRESULT add_string(HWND combo, Combo& c, std::u16string text, int at, bool sorted) {
    int index = CB_ERRSPACE;
    try {
        index = sorted ? c.pane.items.insert_sorted(std::move(text)) : c.pane.items.insert_at(at, std::move(text));
    } catch (const std::bad_alloc&) {
        notify(combo, CBN_ERRSPACE);
        return CB_ERRSPACE;
    }
    if (c.selection >= index) ++c.selection;
    if (c.pane.selection >= index) ++c.pane.selection;
    refresh(combo, c);
    return index;
}

LRESULT copy_text(const std::u16string& text, LPARAM lParam) {
    if (auto* buffer = reinterpret_cast<LPWSTR>(lParam)) {
        std::copy(text.begin(), text.end(), buffer);
        buffer[text.size()] = 0;
    }
    return static_cast<LRESULT>(text.size());
}

LRESULT handle_message(HWND combo, Combo& c, UINT message, WPARAM wParam, LPARAM lParam) {
    ItemStore& items = c.pane.items;
    switch (message) {
    case CB_ADDSTRING:
        return add_string(combo, c, text_of(lParam), items.count(), (style_of(combo) & CBS_SORT) != 0);
    case CB_INSERTSTRING: {
        const int at = static_cast<int>(wParam);
        if (at < -1 || at > items.count()) return CB_ERR;
        return add_string(combo, c, text_of(lParam), at < 0 ? items.count() : at, false);
    }
    case CB_DELETESTRING: {
        if (!valid(c, wParam)) return CB_ERR;
        const int index = static_cast<int>(wParam);
        items.erase(index);
        for (int* s : {&c.selection, &c.pane.selection}) {
            if (*s == index) *s = -1;
            else if (*s > index) --*s;
        }
        c.pane.clamp_top(list_layout(c));
        refresh(combo, c);
        return items.count();
    }
    case CB_RESETCONTENT:
        items.clear();
        c.selection = c.pane.selection = -1;
        c.pane.top = 0;
        refresh(combo, c);
        return CB_OKAY;
    case CB_INITSTORAGE:
        items.reserve(items.count() + static_cast<int>(wParam));
        return items.count();
    case CB_SETCURSEL: {
        const int index = static_cast<int>(wParam);
        if (index != -1 && !valid(c, wParam)) return CB_ERR;
        choose(combo, c, index);
        return index;
    }
    case CB_GETCURSEL: return c.selection;
    case CB_GETCOUNT: return items.count();
    case CB_GETLBTEXT:
        return valid(c, wParam) ? copy_text(items.at(static_cast<int>(wParam)).text, lParam) : CB_ERR;
    case CB_GETLBTEXTLEN:
        return valid(c, wParam) ? static_cast<LRESULT>(items.at(static_cast<int>(wParam)).text.size()) : CB_ERR;
    case CB_GETITEMDATA: return valid(c, wParam) ? items.at(static_cast<int>(wParam)).data : CB_ERR;
    case CB_SETITEMDATA:
        if (!valid(c, wParam)) return CB_ERR;
        items.at(static_cast<int>(wParam)).data = lParam;
        return CB_OKAY;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING: {
        const auto* text = reinterpret_cast<LPCWSTR>(lParam);
        const int found = items.find(static_cast<int>(wParam), text ? std::u16string_view(text) : std::u16string_view(),
                                     message == CB_FINDSTRINGEXACT);
        if (found >= 0 && message == CB_SELECTSTRING) choose(combo, c, found);
        return found;
    }
    case CB_SHOWDROPDOWN:
        if (wParam) drop(combo);
        else close_up(combo, false);
        return TRUE;
    case CB_GETDROPPEDSTATE: return c.dropped ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (rect == nullptr) return CB_ERR;
        if (c.dropped) GetWindowRect(c.list, rect);
        else *rect = list_rect(combo, c);
        return CB_OKAY;
    }
    case CB_GETITEMHEIGHT:
        return static_cast<int>(wParam) == -1 ? field_height(c) - 2 * kFieldPadding : c.pane.item_height();
    case CB_GETTOPINDEX: return c.pane.top;
    case CB_SETTOPINDEX:
        if (!valid(c, wParam)) return CB_ERR;
        c.pane.scroll_to(static_cast<int>(wParam), list_layout(c));
        refresh(combo, c);
        return CB_OKAY;
    case WM_GETTEXT:
        if (c.selection < 0 || wParam == 0 || lParam == 0) {
            if (wParam > 0 && lParam != 0) *reinterpret_cast<LPWSTR>(lParam) = 0;
            return 0;
        } else {
            const std::u16string& text = items.at(c.selection).text;
            const auto count = std::min<std::size_t>(text.size(), wParam - 1);
            return copy_text(text.substr(0, count), lParam);
        }
    case WM_GETTEXTLENGTH: return c.selection >= 0 ? static_cast<LRESULT>(items.at(c.selection).text.size()) : 0;
    default: return DefWindowProcW(combo, message, wParam, lParam);
    }
}

}  // namespace

LRESULT combobox_proc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto c = std::make_unique<Combo>();
        if (const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam)) {
            const auto style = static_cast<DWORD>(cs->style);
            c->pane.wantsBar = (style & WS_VSCROLL) != 0;
            c->pane.alwaysBar = (style & CBS_DISABLENOSCROLL) != 0;
        }
        c->listHeight = kDefaultListRows * c->pane.item_height() + 2;
        combos()[combo] = std::move(c);
        return TRUE;
    }
    Combo* c = combo_of(combo);
    if (c == nullptr) return DefWindowProcW(combo, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY: {
        const HWND list = c->list;
        c->dropped = false;
        if (GetCapture() == list) ReleaseCapture();
        if (IsWindow(list)) DestroyWindow(list);
        return 0;
    }
    case WM_NCDESTROY: combos().erase(combo); return 0;
    case WM_SIZE: fit_field(combo, *c); return 0;
    case WM_SETFONT:
        c->pane.font = reinterpret_cast<HFONT>(wParam);
        fit_field(combo, *c);
        if (LOWORD(lParam)) InvalidateRect(combo, nullptr, FALSE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(c->pane.font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint_field(combo, *c); return 0;
    case WM_ENABLE: InvalidateRect(combo, nullptr, FALSE); return 0;
    case WM_SETFOCUS:
        c->focused = true;
        InvalidateRect(combo, nullptr, FALSE);
        notify(combo, CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        c->focused = false;
        InvalidateRect(combo, nullptr, FALSE);
        close_up(combo, false);
        if (IsWindow(combo)) notify(combo, CBN_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE: {
        // Enter and Escape close a dropped list rather than the dialog.
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (c->dropped) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN: key_down(combo, *c, wParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(combo);
        if ((c = combo_of(combo)) == nullptr) return 0;
        if (c->dropped) {
            close_up(combo, false);
        } else {
            drop(combo);
            if ((c = combo_of(combo)) != nullptr && c->dropped) c->pressedOnField = true;
        }
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: field_stylus(combo, *c, message, point_of(lParam)); return 0;
    default: return handle_message(combo, *c, message, wParam, lParam);
    }
}

std::optional<ComboGeometry> combo_box_geometry(HWND combo) {
    Combo* c = combo_of(combo);
    if (c == nullptr) return std::nullopt;
    ComboGeometry g;
    GetWindowRect(combo, &g.field);
    g.button = RECT{std::max(g.field.left + 1, g.field.right - 1 - kScrollBarWidth), g.field.top + 1, g.field.right - 1,
                    g.field.bottom - 1};
    g.count = c->pane.items.count();
    g.selection = c->selection;
    g.dropped = c->dropped;
    if (c->dropped && IsWindow(c->list)) g.list = describe_list(c->list, c->pane, list_layout(*c));
    return g;
}

}  // namespace platform::controls
