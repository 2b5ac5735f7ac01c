#include "platform/controls/list_pane.h"

#include "platform/gdi/brushes.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/font_object.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"

#include <algorithm>

namespace platform::controls {
namespace {

bool inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

HFONT ListPane::font_or_system() const {
    if (gdi::lookup_as<gdi::Font>(font, gdi::ObjectKind::Font)) return font;
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

int ListPane::item_height() const {
    const auto* f = gdi::lookup_as<gdi::Font>(font, gdi::ObjectKind::Font);
    const int cell = (f ? f->face() : gdi::system_font()->face()).height;
    return std::max(1, cell) + 2;
}

ListPane::Layout ListPane::layout(SIZE client) const {
    Layout l;
    const int width = std::max(0, static_cast<int>(client.cx));
    const int height = std::max(0, static_cast<int>(client.cy));
    l.fullRows = std::max(1, height / item_height());
    l.barShown = wantsBar && (alwaysBar || items.count() > l.fullRows);
    const int barLeft = l.barShown ? std::max(0, width - kScrollBarWidth) : width;
    l.rows = RECT{0, 0, barLeft, height};
    if (l.barShown) l.bar = vertical_scroll_bar(RECT{barLeft, 0, width, height}, items.count(), l.fullRows, top);
    return l;
}

int ListPane::max_top(const Layout& l) const { return std::max(0, items.count() - l.fullRows); }

bool ListPane::scroll_to(int first, const Layout& l) {
    const int clamped = std::clamp(first, 0, max_top(l));
    if (clamped == top) return false;
    top = clamped;
    return true;
}

bool ListPane::show_item(int index, const Layout& l) {
    if (index < 0 || index >= items.count()) return false;
    if (index < top) return scroll_to(index, l);
    if (index >= top + l.fullRows) return scroll_to(index - l.fullRows + 1, l);
    return false;
}

void ListPane::clamp_top(const Layout& l) { top = std::clamp(top, 0, max_top(l)); }

int ListPane::item_at(POINT p, const Layout& l) const {
    if (!inside(l.rows, p)) return -1;
    const int index = top + p.y / item_height();
    return index < items.count() ? index : -1;
}

RECT ListPane::item_rect(int index, const Layout& l) const {
    const int y = (index - top) * item_height();
    return RECT{l.rows.left, y, l.rows.right, y + item_height()};
}

int ListPane::item_toward(POINT p, const Layout& l) const {
    if (items.count() == 0) return -1;
    int row = p.y < 0 ? -1 : p.y / item_height();
    if (p.y >= l.rows.bottom) row = l.fullRows;
    return std::clamp(top + row, 0, items.count() - 1);
}

void ListPane::paint(HDC dc, const Layout& l, HBRUSH background) const {
    FillRect(dc, &l.rows, background);
    const COLORREF text = GetTextColor(dc);
    const COLORREF back = GetBkColor(dc);
    const bool opaque = GetBkMode(dc) == OPAQUE;
    const int mode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, font_or_system());
    const int height = item_height();
    const int last = top + (l.rows.bottom - l.rows.top + height - 1) / height;
    items.for_range(top, last, [&](int index, const ListItem& item) {
        RECT row = item_rect(index, l);
        row.bottom = std::min(row.bottom, l.rows.bottom);
        if (index == selection) {
            HBRUSH bar = CreateSolidBrush(kHighlight);
            FillRect(dc, &row, bar);
            DeleteObject(bar);
            SetTextColor(dc, kHighlightText);
        } else {
            if (opaque) {
                HBRUSH cell = CreateSolidBrush(back);
                FillRect(dc, &row, cell);
                DeleteObject(cell);
            }
            SetTextColor(dc, text);
        }
        ExtTextOutW(dc, row.left + kItemTextInset, row.top + 1, ETO_CLIPPED, &row, item.text.data(),
                    static_cast<UINT>(item.text.size()), nullptr);
    });
    SetTextColor(dc, text);
    SetBkMode(dc, mode);
    if (oldFont) SelectObject(dc, oldFont);
    if (l.barShown) draw_scroll_bar(dc, l.bar);
}

bool ListPane::on_bar(POINT p, const Layout& l) const { return l.barShown && inside(l.bar.bar, p); }

bool ListPane::bar_press(POINT p, const Layout& l) {
    m_dragging = false;
    switch (scroll_bar_hit(l.bar, p)) {
    case ScrollHit::LineUp: return scroll_to(top - 1, l);
    case ScrollHit::LineDown: return scroll_to(top + 1, l);
    case ScrollHit::PageUp: return scroll_to(top - l.fullRows, l);
    case ScrollHit::PageDown: return scroll_to(top + l.fullRows, l);
    case ScrollHit::Thumb:
        m_dragging = true;
        m_dragY = p.y;
        m_dragTop = top;
        return false;
    case ScrollHit::None: return false;
    }
    return false;
}

bool ListPane::bar_drag(POINT p, const Layout& l) {
    if (!m_dragging) return false;
    return scroll_to(dragged_position(l.bar, m_dragTop, p.y - m_dragY, max_top(l)), l);
}

}  // namespace platform::controls
