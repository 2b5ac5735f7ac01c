// Platform internal: the list that a list box shows and that a combo box
// drops: its items, the highlighted item, the first row in view, the rows
// and the vertical scroll bar. Only the rows in view are ever drawn. A row is
// the font's cell plus a pixel above and below; the highlighted row is a
// blue bar with white text, the others take the text colour and background
// mode the parent chose in its WM_CTLCOLOR* answer.
#pragma once

#include "platform/controls/item_store.h"
#include "platform/controls/scroll_bar.h"

namespace platform::controls {

inline constexpr COLORREF kHighlight = RGB(0, 0, 128);
inline constexpr COLORREF kHighlightText = RGB(255, 255, 255);
inline constexpr int kItemTextInset = 2;  // between a row's left edge and its text

class ListPane {
public:
    ItemStore items;
    int selection = -1;  // the highlighted item, or -1
    int top = 0;         // the first row in view
    HFONT font = nullptr;  // null: the System font
    bool wantsBar = false;    // WS_VSCROLL: a bar when the items do not fit
    bool alwaysBar = false;   // ...DISABLENOSCROLL: the bar always, disabled when not needed

    struct Layout {
        RECT rows{};       // where rows are drawn
        int fullRows = 1;  // rows wholly in view, at least one
        bool barShown = false;
        ScrollBarParts bar;
    };

    HFONT font_or_system() const;
    int item_height() const;
    Layout layout(SIZE client) const;
    int max_top(const Layout& layout) const;

    // Each returns whether the rows in view changed.
    bool scroll_to(int first, const Layout& layout);
    bool show_item(int index, const Layout& layout);
    // Keeps top inside the range after items or the size changed.
    void clamp_top(const Layout& layout);

    // The item under a client point, or -1 off the items.
    int item_at(POINT p, const Layout& layout) const;
    // The row of an item in client coordinates (outside rows when not in view).
    RECT item_rect(int index, const Layout& layout) const;
    // The item at a row that may be above or below the rows in view, so that
    // a stylus dragged past an edge reaches the next item: -1 in an empty list.
    int item_toward(POINT p, const Layout& layout) const;

    // Draws the rows in view and the bar; the DC holds the parent's text
    // colour and background mode, background its brush.
    void paint(HDC dc, const Layout& layout, HBRUSH background) const;

    // Whether p is on the bar (shown, enabled or not): the bar takes it.
    bool on_bar(POINT p, const Layout& layout) const;
    // The stylus on the bar: an arrow scrolls a row, the track a page, the
    // thumb starts a drag. Both return whether the rows in view changed.
    bool bar_press(POINT p, const Layout& layout);
    bool bar_drag(POINT p, const Layout& layout);
    void bar_release() { m_dragging = false; }
    bool dragging_thumb() const { return m_dragging; }

private:
    bool m_dragging = false;
    int m_dragY = 0;
    int m_dragTop = 0;
};

}  // namespace platform::controls
