#include "platform/gdi/shapes.h"
#include "platform/base/rect.h"
#include "platform/gdi/dc_object.h"

#include <algorithm>
#include <cmath>

using platform::saturate;
using platform::gdi::Canvas;
using platform::gdi::CanvasColor;
using platform::gdi::DeviceContext;

namespace {

using i64 = long long;
using i128 = __int128;

i128 floor_div(i128 a, i128 b) {
    // b > 0
    i128 q = a / b;
    if ((a % b) != 0 && a < 0) --q;
    return q;
}

void plot(const Canvas& c, i64 x, i64 y, CanvasColor color) {
    // Callers clip.
    if (c.bitsPerPixel == 32) c.row32(static_cast<int>(y))[x] = color.xrgb;
    else c.row8(static_cast<int>(y))[x] = color.index;
}

// A one-pixel line from (x0, y0) towards (x1, y1), the end pixel left out.
// Only the steps along the major axis that fall inside a clip rectangle are
// visited, so a line across the whole 32-bit plane costs no more than one
// across the canvas.
void thin_segment(const Canvas& c, const std::vector<RECT>& clips, CanvasColor color, i64 x0, i64 y0, i64 x1,
                  i64 y1) {
    const i64 dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0) return;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    // Work along the major axis: a = major coordinate, b = minor.
    const i64 a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
    const i64 da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const i64 length = da < 0 ? -da : da;
    const i64 dir = da < 0 ? -1 : 1;
    for (const RECT& clip : clips) {
        const i64 aLow = xMajor ? clip.left : clip.top, aHigh = (xMajor ? clip.right : clip.bottom) - 1;
        const i64 bLow = xMajor ? clip.top : clip.left, bHigh = (xMajor ? clip.bottom : clip.right) - 1;
        // Steps t in [0, length) with a0 + dir * t inside [aLow, aHigh].
        i64 tFirst, tLast;
        if (dir > 0) {
            tFirst = std::max<i64>(0, aLow - a0);
            tLast = std::min<i64>(length - 1, aHigh - a0);
        } else {
            tFirst = std::max<i64>(0, a0 - aHigh);
            tLast = std::min<i64>(length - 1, a0 - aLow);
        }
        for (i64 t = tFirst; t <= tLast; ++t) {
            // Nearest minor coordinate, halves rounded up.
            const i64 b = b0 + static_cast<i64>(floor_div(2 * static_cast<i128>(t) * db + length, 2 * static_cast<i128>(length)));
            if (b < bLow || b > bHigh) continue;
            const i64 a = a0 + dir * t;
            if (xMajor) plot(c, a, b, color);
            else plot(c, b, a, color);
        }
    }
}

// A pen of width w > 1 from (x0, y0) to (x1, y1): every pixel whose centre
// lies within w / 2 of the segment (a capsule: round ends). An odd width is
// centred on pixel centres, an even one on the pixel edges to the left and
// above, so that it covers exactly w pixels across.
void wide_segment(const DeviceContext& dc, const std::vector<RECT>& clips, COLORREF colorref, int width, i64 x0,
                  i64 y0, i64 x1, i64 y1) {
    const Canvas c = dc.canvas();
    const CanvasColor color = platform::gdi::canvas_color(c, colorref);
    const double shift = (width % 2) ? 0.5 : 0.0;
    const double ax = x0 + shift, ay = y0 + shift, bx = x1 + shift, by = y1 + shift;
    const double r = width / 2.0;
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    const double len = std::sqrt(len2);
    for (const RECT& clip : clips) {
        const double top = std::max<double>(clip.top, std::min(ay, by) - r - 1);
        const double bottom = std::min<double>(clip.bottom - 1, std::max(ay, by) + r + 1);
        for (i64 py = static_cast<i64>(std::ceil(top)); py <= static_cast<i64>(std::floor(bottom)); ++py) {
            const double yc = py + 0.5;
            double lo = INFINITY, hi = -INFINITY;
            auto disc = [&](double cx, double cy) {
                const double h = yc - cy;
                if (h * h > r * r) return;
                const double s = std::sqrt(r * r - h * h);
                lo = std::min(lo, cx - s);
                hi = std::max(hi, cx + s);
            };
            disc(ax, ay);
            disc(bx, by);
            if (len2 > 0) {
                // The band between the ends: 0 <= (P - A).d <= |d|^2 and
                // |(P - A) x d| <= r |d|, each linear in x on this row.
                double bandLo = -INFINITY, bandHi = INFINITY;
                auto limit = [&](double k, double m, double low, double high) {
                    // low <= k * x + m <= high
                    if (k == 0) {
                        if (m < low || m > high) bandLo = INFINITY;
                        return;
                    }
                    double u = (low - m) / k, v = (high - m) / k;
                    if (u > v) std::swap(u, v);
                    bandLo = std::max(bandLo, u);
                    bandHi = std::min(bandHi, v);
                };
                const double h = yc - ay;
                limit(dx, -ax * dx + h * dy, 0, len2);
                limit(dy, -ax * dy - h * dx, -r * len, r * len);
                if (bandLo <= bandHi) {
                    lo = std::min(lo, bandLo);
                    hi = std::max(hi, bandHi);
                }
            }
            if (lo > hi) continue;
            // Pixels whose centre x + 0.5 lies in [lo, hi].
            const double first = std::max<double>(clip.left, std::ceil(lo - 0.5));
            const double last = std::min<double>(clip.right - 1, std::floor(hi - 0.5));
            if (first > last) continue;
            platform::gdi::fill_span_rect(c,
                                          RECT{static_cast<LONG>(first), static_cast<LONG>(py),
                                               static_cast<LONG>(last) + 1, static_cast<LONG>(py) + 1},
                                          color);
        }
    }
}

// Draws the polyline through device points with the DC's pen.
void stroke(const DeviceContext& dc, const POINT* points, int count) {
    const platform::gdi::Pen* pen = dc.pen();
    if (pen == nullptr || pen->null()) return;
    const Canvas c = dc.canvas();
    if (!c.valid()) return;
    const std::vector<RECT> clips = dc.clip_rects();
    for (int i = 0; i + 1 < count; ++i) {
        const i64 x0 = dc.device_x(points[i].x), y0 = dc.device_y(points[i].y);
        const i64 x1 = dc.device_x(points[i + 1].x), y1 = dc.device_y(points[i + 1].y);
        if (pen->width() <= 1) thin_segment(c, clips, platform::gdi::canvas_color(c, pen->color()), x0, y0, x1, y1);
        else wide_segment(dc, clips, pen->color(), pen->width(), x0, y0, x1, y1);
    }
}

// A band [p - w/2, p - w/2 + w) across an outline coordinate p.
i64 band_start(i64 p, int w) { return p - w / 2; }

}  // namespace

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
    DeviceContext* dc = DeviceContext::from(handle);
    auto* brush = platform::gdi::lookup_as<platform::gdi::Brush>(brushHandle, platform::gdi::ObjectKind::Brush);
    if (dc == nullptr || rect == nullptr || brush == nullptr) return FALSE;
    if (!brush->hollow()) dc->fill(dc->to_device(*rect), brush->color());
    return TRUE;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr) return FALSE;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right == left || bottom == top) return TRUE;
    const i64 l = dc->device_x(left), t = dc->device_y(top);
    const i64 r = dc->device_x(right), b = dc->device_y(bottom);
    const platform::gdi::Pen* pen = dc->pen();
    const bool outlined = pen && !pen->null();
    const platform::gdi::Brush* brush = dc->brush();
    if (brush && !brush->hollow()) {
        const i64 inset = outlined ? 0 : 1;
        dc->fill(RECT{saturate(l), saturate(t), saturate(r - inset), saturate(b - inset)}, brush->color());
    }
    if (outlined) {
        const int w = pen->width();
        const i64 x0 = band_start(l, w), x1 = band_start(r - 1, w) + w;
        const i64 y0 = band_start(t, w), y1 = band_start(b - 1, w) + w;
        const COLORREF color = pen->color();
        dc->fill(RECT{saturate(x0), saturate(y0), saturate(x1), saturate(y0 + w)}, color);
        dc->fill(RECT{saturate(x0), saturate(band_start(b - 1, w)), saturate(x1), saturate(y1)}, color);
        dc->fill(RECT{saturate(x0), saturate(y0), saturate(x0 + w), saturate(y1)}, color);
        dc->fill(RECT{saturate(band_start(r - 1, w)), saturate(y0), saturate(x1), saturate(y1)}, color);
    }
    return TRUE;
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || points == nullptr || count < 2) return FALSE;
    stroke(*dc, points, count);
    return TRUE;
}

BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr) return FALSE;
    if (previous) *previous = dc->position;
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr) return FALSE;
    const POINT points[2] = {dc->position, POINT{x, y}};
    stroke(*dc, points, 2);
    dc->position = points[1];
    return TRUE;
}

namespace {

// The device point if drawing may touch it.
bool visible_point(const DeviceContext& dc, int x, int y, POINT* device) {
    const i64 dx = dc.device_x(x), dy = dc.device_y(y);
    for (const RECT& r : dc.clip_rects()) {
        if (dx >= r.left && dx < r.right && dy >= r.top && dy < r.bottom) {
            *device = POINT{static_cast<LONG>(dx), static_cast<LONG>(dy)};
            return true;
        }
    }
    return false;
}

}  // namespace

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color) {
    DeviceContext* dc = DeviceContext::from(handle);
    POINT p;
    if (dc == nullptr || !visible_point(*dc, x, y, &p)) return CLR_INVALID;
    const Canvas c = dc->canvas();
    const CanvasColor value = platform::gdi::canvas_color(c, color);
    plot(c, p.x, p.y, value);
    return platform::gdi::to_colorref(platform::gdi::read_pixel(c, p.x, p.y));
}

COLORREF GetPixel(HDC handle, int x, int y) {
    DeviceContext* dc = DeviceContext::from(handle);
    POINT p;
    if (dc == nullptr || !visible_point(*dc, x, y, &p)) return CLR_INVALID;
    return platform::gdi::to_colorref(platform::gdi::read_pixel(dc->canvas(), p.x, p.y));
}
