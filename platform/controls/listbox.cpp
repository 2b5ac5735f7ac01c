#include "platform/controls/listbox.h"

#include "platform/controls/control_colors.h"
#include "platform/controls/list_geometry.h"
#include "platform/controls/list_pane.h"
#include "platform/controls/system_classes.h"
#include "platform/gdi/window_dc.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/paint.h"
#include "platform/user/windows.h"

#include <algorithm>
#include <memory>
#include <new>
#include <unordered_map>

namespace platform::controls {
namespace {

struct ListBox {
    ListPane pane;
    bool redraw = true;
    bool missedPaint = false;  // something changed while redrawing was off
    bool tracking = false;     // the stylus is choosing among the rows
    bool focused = false;
};

std::unordered_map<HWND, std::unique_ptr<ListBox>>& boxes() {
    static std::unordered_map<HWND, std::unique_ptr<ListBox>> table;
    return table;
}

ListBox* box_of(HWND window) {
    auto it = boxes().find(window);
    return it == boxes().end() ? nullptr : it->second.get();
}

DWORD style_of(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

SIZE client_size(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

ListPane::Layout layout_of(HWND window, const ListBox& box) { return box.pane.layout(client_size(window)); }

void refresh(HWND window, ListBox& box) {
    if (box.redraw) InvalidateRect(window, nullptr, FALSE);
    else box.missedPaint = true;
}

POINT point_of(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

void notify(HWND window, int code) {
    HWND parent = GetParent(window);
    if (parent) SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code), reinterpret_cast<LPARAM>(window));
}

void notify_selection(HWND window) {
    if (style_of(window) & LBS_NOTIFY) notify(window, LBN_SELCHANGE);
}

bool valid(const ListBox& box, WPARAM index) {
    const int i = static_cast<int>(index);
    return i >= 0 && i < box.pane.items.count();
}

std::u16string text_of(LPARAM lParam) {
    const auto* text = reinterpret_cast<LPCWSTR>(lParam);
    return text ? std::u16string(text) : std::u16string();
}

// Selects an item, scrolling it into view.
void select(HWND window, ListBox& box, int index) {
    if (index == box.pane.selection) return;
    box.pane.selection = index;
    box.pane.show_item(index, layout_of(window, box));
    refresh(window, box);
}

// Keeps whole rows unless the style says otherwise: the box shrinks to the
// rows that fit.
void fit_to_rows(HWND window, ListBox& box) {
    if (style_of(window) & LBS_NOINTEGRALHEIGHT) return;
    RECT r{};
    GetWindowRect(window, &r);
    const SIZE client = client_size(window);
    const int rowHeight = box.pane.item_height();
    const int rows = std::max(1, static_cast<int>(client.cy) / rowHeight);
    const int want = rows * rowHeight;
    if (client.cy == want || client.cy < rowHeight) return;
    POINT origin{r.left, r.top};
    if (HWND parent = GetParent(window)) ScreenToClient(parent, &origin);
    MoveWindow(window, origin.x, origin.y, r.right - r.left, (r.bottom - r.top) - (client.cy - want), FALSE);
}

void paint(HWND window, ListBox& box) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    if (dc == nullptr) return;
    if (box.redraw) {
        HBRUSH background = ask_control_colours(window, dc, WM_CTLCOLORLISTBOX);
        // The answer may have destroyed the box.
        if (ListBox* still = box_of(window)) {
            const ListPane::Layout l = layout_of(window, *still);
            still->pane.clamp_top(l);
            still->pane.paint(dc, layout_of(window, *still), background);
        }
    } else {
        box.missedPaint = true;
    }
    EndPaint(window, &ps);
}

void key_down(HWND window, ListBox& box, WPARAM key) {
    const int count = box.pane.items.count();
    if (count == 0) return;
    const ListPane::Layout l = layout_of(window, box);
    const int current = box.pane.selection;
    int next = current;
    switch (key) {
    case VK_UP: next = current < 0 ? 0 : current - 1; break;
    case VK_DOWN: next = current < 0 ? 0 : current + 1; break;
    case VK_PRIOR: next = current < 0 ? 0 : current - (l.fullRows - 1 > 0 ? l.fullRows - 1 : 1); break;
    case VK_NEXT: next = current < 0 ? 0 : current + (l.fullRows - 1 > 0 ? l.fullRows - 1 : 1); break;
    case VK_HOME: next = 0; break;
    case VK_END: next = count - 1; break;
    default: return;
    }
    next = std::clamp(next, 0, count - 1);
    if (next == current) return;
    select(window, box, next);
    notify_selection(window);
}

void stylus_down(HWND window, POINT p) {
    SetFocus(window);
    // Taking the focus ran other windows' procedures.
    ListBox* box = box_of(window);
    if (box == nullptr) return;
    const ListPane::Layout l = layout_of(window, *box);
    if (box->pane.on_bar(p, l)) {
        if (box->pane.bar_press(p, l)) refresh(window, *box);
        return;
    }
    const int index = box->pane.item_at(p, l);
    if (index < 0) return;
    box->tracking = true;
    select(window, *box, index);
}

void stylus_move(HWND window, ListBox& box, POINT p) {
    const ListPane::Layout l = layout_of(window, box);
    if (box.pane.dragging_thumb()) {
        if (box.pane.bar_drag(p, l)) refresh(window, box);
    } else if (box.tracking) {
        // Dragged past an edge, the selection walks on and the rows follow.
        const int index = box.pane.item_toward(p, l);
        if (index >= 0) select(window, box, index);
    }
}

void stylus_up(HWND window, ListBox& box) {
    box.pane.bar_release();
    if (!box.tracking) return;
    box.tracking = false;
    if (box.pane.selection >= 0) notify_selection(window);
}

LRESULT add_string(HWND window, ListBox& box, std::u16string text, int at, bool sorted) {
    int index = LB_ERRSPACE;
    try {
        index = sorted ? box.pane.items.insert_sorted(std::move(text)) : box.pane.items.insert_at(at, std::move(text));
    } catch (const std::bad_alloc&) {
        notify(window, LBN_ERRSPACE);
        return LB_ERRSPACE;
    }
    // The selection stays on its item.
    if (box.pane.selection >= index) ++box.pane.selection;
    refresh(window, box);
    return index;
}

LRESULT handle_message(HWND window, ListBox& box, UINT message, WPARAM wParam, LPARAM lParam) {
    ItemStore& items = box.pane.items;
    switch (message) {
    case LB_ADDSTRING:
        return add_string(window, box, text_of(lParam), items.count(), (style_of(window) & LBS_SORT) != 0);
    case LB_INSERTSTRING: {
        const int at = static_cast<int>(wParam);
        if (at < -1 || at > items.count()) return LB_ERR;
        return add_string(window, box, text_of(lParam), at < 0 ? items.count() : at, false);
    }
    case LB_DELETESTRING: {
        if (!valid(box, wParam)) return LB_ERR;
        const int index = static_cast<int>(wParam);
        items.erase(index);
        if (box.pane.selection == index) box.pane.selection = -1;
        else if (box.pane.selection > index) --box.pane.selection;
        box.pane.clamp_top(layout_of(window, box));
        refresh(window, box);
        return items.count();
    }
    case LB_RESETCONTENT:
        items.clear();
        box.pane.selection = -1;
        box.pane.top = 0;
        refresh(window, box);
        return LB_OKAY;
    case LB_INITSTORAGE:
        items.reserve(items.count() + static_cast<int>(wParam));
        return items.count();
    case LB_SETCURSEL: {
        const int index = static_cast<int>(wParam);
        if (index == -1) {
            select(window, box, -1);
            return LB_ERR;
        }
        if (!valid(box, wParam)) return LB_ERR;
        select(window, box, index);
        return index;
    }
    case LB_GETCURSEL: return box.pane.selection;
    case LB_GETCOUNT: return items.count();
    case LB_GETTEXT: {
        if (!valid(box, wParam)) return LB_ERR;
        const std::u16string& text = items.at(static_cast<int>(wParam)).text;
        if (auto* buffer = reinterpret_cast<LPWSTR>(lParam)) {
            std::copy(text.begin(), text.end(), buffer);
            buffer[text.size()] = 0;
        }
        return static_cast<LRESULT>(text.size());
    }
    case LB_GETTEXTLEN:
        return valid(box, wParam) ? static_cast<LRESULT>(items.at(static_cast<int>(wParam)).text.size()) : LB_ERR;
    case LB_GETITEMDATA: return valid(box, wParam) ? items.at(static_cast<int>(wParam)).data : LB_ERR;
    case LB_SETITEMDATA:
        if (static_cast<int>(wParam) == -1) {
            for (int i = 0; i < items.count(); ++i) items.at(i).data = lParam;
            return LB_OKAY;
        }
        if (!valid(box, wParam)) return LB_ERR;
        items.at(static_cast<int>(wParam)).data = lParam;
        return LB_OKAY;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
        const auto* text = reinterpret_cast<LPCWSTR>(lParam);
        const int found = items.find(static_cast<int>(wParam), text ? std::u16string_view(text) : std::u16string_view(),
                                     message == LB_FINDSTRINGEXACT);
        if (found >= 0 && message == LB_SELECTSTRING) select(window, box, found);
        return found;
    }
    case LB_GETTOPINDEX: return box.pane.top;
    case LB_SETTOPINDEX:
        if (!valid(box, wParam) && !(wParam == 0 && items.count() == 0)) return LB_ERR;
        if (box.pane.scroll_to(static_cast<int>(wParam), layout_of(window, box))) refresh(window, box);
        return LB_OKAY;
    case LB_GETITEMHEIGHT: return box.pane.item_height();
    case LB_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (rect == nullptr || !valid(box, wParam)) return LB_ERR;
        *rect = box.pane.item_rect(static_cast<int>(wParam), layout_of(window, box));
        return LB_OKAY;
    }
    case LB_ITEMFROMPOINT: {
        if (items.count() == 0) return MAKELONG(0, 1);
        const ListPane::Layout l = layout_of(window, box);
        const POINT p = point_of(lParam);
        const int exact = box.pane.item_at(p, l);
        return exact >= 0 ? MAKELONG(exact, 0) : MAKELONG(box.pane.item_toward(p, l), 1);
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT listbox_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto box = std::make_unique<ListBox>();
        if (const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam)) {
            const auto style = static_cast<DWORD>(cs->style);
            box->pane.wantsBar = (style & WS_VSCROLL) != 0;
            box->pane.alwaysBar = (style & LBS_DISABLENOSCROLL) != 0;
            box->redraw = (style & LBS_NOREDRAW) == 0;
        }
        boxes()[window] = std::move(box);
        return TRUE;
    }
    ListBox* box = box_of(window);
    if (box == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        boxes().erase(window);
        return 0;
    case WM_SIZE:
        fit_to_rows(window, *box);
        if ((box = box_of(window)) != nullptr) {
            box->pane.clamp_top(layout_of(window, *box));
            refresh(window, *box);
        }
        return 0;
    case WM_SETFONT:
        box->pane.font = reinterpret_cast<HFONT>(wParam);
        fit_to_rows(window, *box);
        if ((box = box_of(window)) != nullptr && LOWORD(lParam)) refresh(window, *box);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(box->pane.font);
    case WM_SETREDRAW:
        box->redraw = wParam != 0;
        if (box->redraw && box->missedPaint) {
            box->missedPaint = false;
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint(window, *box); return 0;
    case WM_SETFOCUS:
        box->focused = true;
        notify(window, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        box->focused = false;
        box->tracking = false;
        notify(window, LBN_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN: key_down(window, *box, wParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: stylus_down(window, point_of(lParam)); return 0;
    case WM_MOUSEMOVE: stylus_move(window, *box, point_of(lParam)); return 0;
    case WM_LBUTTONUP: stylus_up(window, *box); return 0;
    default: return handle_message(window, *box, message, wParam, lParam);
    }
}

ListGeometry describe_list(HWND window, const ListPane& pane, const ListPane::Layout& l) {
    ListGeometry g;
    g.window = window;
    g.count = pane.items.count();
    g.top = pane.top;
    g.selection = pane.selection;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const auto to_screen = [&](RECT r) { return RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y}; };
    const int height = pane.item_height();
    const int last = pane.top + (l.rows.bottom - l.rows.top + height - 1) / height;
    pane.items.for_range(pane.top, last, [&](int index, const ListItem& item) {
        RECT row = pane.item_rect(index, l);
        row.bottom = std::min(row.bottom, l.rows.bottom);
        g.rows.push_back(ListRow{index, item.text, to_screen(row)});
    });
    g.barShown = l.barShown;
    if (l.barShown) {
        g.bar = l.bar;
        for (RECT* r : {&g.bar.bar, &g.bar.up, &g.bar.down, &g.bar.track, &g.bar.thumb}) *r = to_screen(*r);
        if (!g.bar.enabled) g.bar.thumb = RECT{};
    }
    return g;
}

std::optional<ListGeometry> list_box_geometry(HWND window) {
    ListBox* box = box_of(window);
    if (box == nullptr) return std::nullopt;
    return describe_list(window, box->pane, layout_of(window, *box));
}

}  // namespace platform::controls
