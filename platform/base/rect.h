// Rectangle helpers with their Win32 meaning: right and bottom are exclusive,
// and a rectangle whose right is not beyond its left (or bottom beyond top)
// is empty. Arithmetic saturates at the 32-bit range instead of wrapping, so
// hostile coordinates cannot overflow.
#pragma once

#include "platform/base/win32_types.h"

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL CopyRect(LPRECT dest, const RECT* src);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT point);
// The common part of a and b; an empty result is stored as (0, 0, 0, 0) and
// returns false.
BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b);
// The smallest rectangle holding both; empty inputs are ignored.
BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL InflateRect(LPRECT rect, int dx, int dy);

namespace platform {

// Clamps a 64-bit coordinate into the 32-bit range.
inline LONG saturate(long long v) {
    return v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : static_cast<LONG>(v));
}

}  // namespace platform
