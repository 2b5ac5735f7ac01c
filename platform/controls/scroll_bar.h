// Platform internal: the vertical scroll bar that lists draw inside their
// client area: an arrow box at each end, the track between them and the
// thumb, whose length shows how much of the whole is in view. A bar with
// nothing to scroll is drawn disabled: grey arrows and no thumb.
#pragma once

#include "platform/gdi/objects.h"

namespace platform::controls {

inline constexpr int kScrollBarWidth = 13;

struct ScrollBarParts {
    RECT bar{};
    RECT up{};
    RECT down{};
    RECT track{};
    RECT thumb{};  // empty while disabled
    bool enabled = false;
};

// The parts of a bar occupying bar, for total positions of which visible
// show at once, starting at position.
ScrollBarParts vertical_scroll_bar(const RECT& bar, int total, int visible, int position);
void draw_scroll_bar(HDC dc, const ScrollBarParts& parts);

enum class ScrollHit { None, LineUp, LineDown, PageUp, PageDown, Thumb };
// What a stylus pressed at p (the bar's coordinates) does; None on a
// disabled bar.
ScrollHit scroll_bar_hit(const ScrollBarParts& parts, POINT p);
// The position for a thumb dragged dy pixels from where it was when the
// position was start, within [0, maxPosition].
int dragged_position(const ScrollBarParts& parts, int start, int dy, int maxPosition);

}  // namespace platform::controls
