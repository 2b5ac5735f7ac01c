#include "platform/base/rect.h"

#include <algorithm>

using platform::saturate;

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (rect == nullptr) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT dest, const RECT* src) {
    if (dest == nullptr || src == nullptr) return FALSE;
    *dest = *src;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect) {
    return rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    if (a == nullptr || b == nullptr) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rect, POINT p) {
    if (rect == nullptr) return FALSE;
    return p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}

BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b) {
    if (dest == nullptr || a == nullptr || b == nullptr) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *dest = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dest = r;
    return TRUE;
}

BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b) {
    if (dest == nullptr || a == nullptr || b == nullptr) return FALSE;
    if (IsRectEmpty(a)) {
        if (IsRectEmpty(b)) {
            *dest = RECT{0, 0, 0, 0};
            return FALSE;
        }
        *dest = *b;
        return TRUE;
    }
    if (IsRectEmpty(b)) {
        *dest = *a;
        return TRUE;
    }
    *dest = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                 std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
    if (rect == nullptr) return FALSE;
    rect->left = saturate(static_cast<long long>(rect->left) + dx);
    rect->right = saturate(static_cast<long long>(rect->right) + dx);
    rect->top = saturate(static_cast<long long>(rect->top) + dy);
    rect->bottom = saturate(static_cast<long long>(rect->bottom) + dy);
    return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy) {
    if (rect == nullptr) return FALSE;
    rect->left = saturate(static_cast<long long>(rect->left) - dx);
    rect->right = saturate(static_cast<long long>(rect->right) + dx);
    rect->top = saturate(static_cast<long long>(rect->top) - dy);
    rect->bottom = saturate(static_cast<long long>(rect->bottom) + dy);
    return TRUE;
}
