#include "platform/base/region.h"

#include <algorithm>

namespace platform {
namespace {

bool is_empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Appends the parts of piece outside cut, as up to four rectangles: full-width
// bands above and below, then the sides of the middle band.
void append_difference(const RECT& piece, const RECT& cut, std::vector<RECT>& out) {
    if (!overlaps(piece, cut)) {
        out.push_back(piece);
        return;
    }
    const LONG top = std::max(piece.top, cut.top);
    const LONG bottom = std::min(piece.bottom, cut.bottom);
    if (piece.top < cut.top) out.push_back(RECT{piece.left, piece.top, piece.right, cut.top});
    if (cut.bottom < piece.bottom) out.push_back(RECT{piece.left, cut.bottom, piece.right, piece.bottom});
    if (piece.left < cut.left) out.push_back(RECT{piece.left, top, cut.left, bottom});
    if (cut.right < piece.right) out.push_back(RECT{cut.right, top, piece.right, bottom});
}

}  // namespace

void Region::add(const RECT& rect) {
    if (is_empty(rect)) return;
    // The new rectangle minus everything already held keeps the list disjoint.
    std::vector<RECT> pieces{rect};
    for (const RECT& held : m_rects) {
        std::vector<RECT> next;
        for (const RECT& p : pieces) append_difference(p, held, next);
        pieces.swap(next);
        if (pieces.empty()) return;
    }
    m_rects.insert(m_rects.end(), pieces.begin(), pieces.end());
}

void Region::subtract(const RECT& rect) {
    if (is_empty(rect)) return;
    std::vector<RECT> next;
    next.reserve(m_rects.size() + 4);
    for (const RECT& held : m_rects) append_difference(held, rect, next);
    m_rects.swap(next);
}

void Region::intersect(const RECT& rect) {
    std::vector<RECT> next;
    for (const RECT& held : m_rects) {
        RECT r{std::max(held.left, rect.left), std::max(held.top, rect.top), std::min(held.right, rect.right),
               std::min(held.bottom, rect.bottom)};
        if (!is_empty(r)) next.push_back(r);
    }
    m_rects.swap(next);
}

bool Region::contains(LONG x, LONG y) const {
    return std::any_of(m_rects.begin(), m_rects.end(),
                       [&](const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
}

unsigned long long Region::area() const {
    unsigned long long total = 0;
    for (const RECT& r : m_rects)
        total += static_cast<unsigned long long>(static_cast<long long>(r.right) - r.left) *
                 static_cast<unsigned long long>(static_cast<long long>(r.bottom) - r.top);
    return total;
}

RECT Region::bounds() const {
    if (m_rects.empty()) return RECT{0, 0, 0, 0};
    RECT b = m_rects.front();
    for (const RECT& r : m_rects) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

}  // namespace platform
