#include "platform/gdi/clipping.h"

#include <algorithm>
#include "platform/base/rect.h"
#include "platform/gdi/dc_object.h"

using platform::gdi::DeviceContext;

namespace {

int region_kind(const DeviceContext& dc) {
    const std::size_t n = dc.clip_rects().size();
    return n == 0 ? NULLREGION : (n == 1 ? SIMPLEREGION : COMPLEXREGION);
}

// Win32 accepts the corners in either order.
RECT ordered(int left, int top, int right, int bottom) {
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

}  // namespace

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr) return ERROR;
    dc->clip_region().subtract(dc->to_device(ordered(left, top, right, bottom)));
    return region_kind(*dc);
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr) return ERROR;
    dc->clip_region().intersect(dc->to_device(ordered(left, top, right, bottom)));
    return region_kind(*dc);
}

int GetClipBox(HDC handle, LPRECT rect) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || rect == nullptr) return ERROR;
    platform::Region visible;
    for (const RECT& r : dc->clip_rects()) visible.add(r);
    RECT box = visible.bounds();
    OffsetRect(&box, -dc->origin().x, -dc->origin().y);
    *rect = box;
    return region_kind(*dc);
}

int SelectClipRgn(HDC handle, HRGN region) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || region != nullptr) return ERROR;
    dc->reset_clip_region();
    return region_kind(*dc);
}
