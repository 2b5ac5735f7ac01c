// Platform internal: a region as a list of disjoint rectangles (right and
// bottom exclusive). Device contexts keep their clip region in one, and the
// window manager can keep update regions in one. Only comparisons touch the
// coordinates, so any 32-bit values are safe.
#pragma once

#include "platform/base/win32_types.h"

#include <vector>

namespace platform {

class Region {
public:
    Region() = default;
    explicit Region(const RECT& rect) { add(rect); }

    // Adds rect (the pieces already covered are not added twice).
    void add(const RECT& rect);
    // Removes rect.
    void subtract(const RECT& rect);
    // Keeps only the part inside rect.
    void intersect(const RECT& rect);
    void clear() { m_rects.clear(); }

    bool empty() const { return m_rects.empty(); }
    bool contains(LONG x, LONG y) const;
    // Pixels covered (the whole 32-bit plane fits).
    unsigned long long area() const;
    // The smallest rectangle holding the region; (0, 0, 0, 0) when empty.
    RECT bounds() const;
    const std::vector<RECT>& rects() const { return m_rects; }

private:
    std::vector<RECT> m_rects;
};

}  // namespace platform
