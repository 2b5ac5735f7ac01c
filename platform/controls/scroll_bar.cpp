#include "platform/controls/scroll_bar.h"

#include "platform/base/rect.h"
#include "platform/gdi/brushes.h"
#include "platform/gdi/shapes.h"

#include <algorithm>

namespace platform::controls {
namespace {

constexpr int kMinThumb = 8;

constexpr COLORREF kFace = RGB(214, 211, 206);
constexpr COLORREF kTrack = RGB(238, 238, 238);
constexpr COLORREF kArrow = RGB(0, 0, 0);
constexpr COLORREF kArrowDisabled = RGB(160, 160, 160);
constexpr COLORREF kEdge = RGB(128, 128, 128);

void fill(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A small solid triangle pointing up or down, centred in box.
void arrow(HDC dc, const RECT& box, bool up, COLORREF color) {
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    for (int row = 0; row < 4; ++row) {
        const int half = up ? row : 3 - row;
        const int y = cy - 2 + row;
        fill(dc, RECT{cx - half, y, cx + half + 1, y + 1}, color);
    }
}

}  // namespace

ScrollBarParts vertical_scroll_bar(const RECT& bar, int total, int visible, int position) {
    ScrollBarParts p;
    p.bar = bar;
    const int height = std::max(0, static_cast<int>(bar.bottom - bar.top));
    const int arrowHeight = std::min(kScrollBarWidth, height / 2);
    p.up = RECT{bar.left, bar.top, bar.right, bar.top + arrowHeight};
    p.down = RECT{bar.left, bar.bottom - arrowHeight, bar.right, bar.bottom};
    p.track = RECT{bar.left, p.up.bottom, bar.right, p.down.top};
    const int range = total - std::max(visible, 0);
    p.enabled = range > 0 && visible > 0;
    if (p.enabled) {
        const int trackHeight = std::max(0, static_cast<int>(p.track.bottom - p.track.top));
        const int thumbHeight = std::clamp(static_cast<int>(static_cast<long long>(trackHeight) * visible / total),
                                           std::min(kMinThumb, trackHeight), trackHeight);
        const int at = std::clamp(position, 0, range);
        const int top = p.track.top + static_cast<int>(static_cast<long long>(trackHeight - thumbHeight) * at / range);
        p.thumb = RECT{bar.left, top, bar.right, top + thumbHeight};
    }
    return p;
}

void draw_scroll_bar(HDC dc, const ScrollBarParts& p) {
    fill(dc, p.track, kTrack);
    for (const RECT* box : {&p.up, &p.down}) {
        fill(dc, *box, kFace);
        fill(dc, RECT{box->left, box->top, box->left + 1, box->bottom}, kEdge);
    }
    fill(dc, RECT{p.up.left, p.up.bottom - 1, p.up.right, p.up.bottom}, kEdge);
    fill(dc, RECT{p.down.left, p.down.top, p.down.right, p.down.top + 1}, kEdge);
    fill(dc, RECT{p.track.left, p.track.top, p.track.left + 1, p.track.bottom}, kEdge);
    arrow(dc, p.up, true, p.enabled ? kArrow : kArrowDisabled);
    arrow(dc, p.down, false, p.enabled ? kArrow : kArrowDisabled);
    if (p.enabled) {
        fill(dc, p.thumb, kEdge);
        fill(dc, RECT{p.thumb.left + 1, p.thumb.top + 1, p.thumb.right - 1, p.thumb.bottom - 1}, kFace);
    }
}

ScrollHit scroll_bar_hit(const ScrollBarParts& p, POINT at) {
    if (!p.enabled || !PtInRect(&p.bar, at)) return ScrollHit::None;
    if (PtInRect(&p.up, at)) return ScrollHit::LineUp;
    if (PtInRect(&p.down, at)) return ScrollHit::LineDown;
    if (PtInRect(&p.thumb, at)) return ScrollHit::Thumb;
    if (at.y < p.thumb.top) return ScrollHit::PageUp;
    return ScrollHit::PageDown;
}

int dragged_position(const ScrollBarParts& p, int start, int dy, int maxPosition) {
    const int travel = std::max(1, static_cast<int>((p.track.bottom - p.track.top) - (p.thumb.bottom - p.thumb.top)));
    const long long moved = static_cast<long long>(dy) * maxPosition;
    // Rounded to the nearest position, so the thumb follows the stylus.
    const long long delta = (moved >= 0 ? moved + travel / 2 : moved - travel / 2) / travel;
    return static_cast<int>(std::clamp<long long>(start + delta, 0, std::max(0, maxPosition)));
}

}  // namespace platform::controls
