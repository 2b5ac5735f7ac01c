// CMapView's drawing: the map, the border images and margin, the overview
// frame, the zoom label and the two markers drawn over the map. Each
// operation takes the window's DC at its start and gives it back at its
// end, so it can run at any time, inside a paint message or not; what it
// draws stays until the next map drawing paints over it. The results of the
// drawing calls are not examined: a call that fails leaves its part undrawn.
#include "mapview/map_view.h"

#include <algorithm>

namespace {

using i64 = std::int64_t;

constexpr COLORREF kViewOutline = 0x000000FF;   // red: the part in view
constexpr COLORREF kFrameOutline = 0x00000000;  // black: the overview frame
constexpr COLORREF kLineColour = 0x00404040;    // dark grey: DrawLine

// A solid pen selected into dc for one drawing; the DC's own pen goes back
// and the pen is deleted when it goes. A pen that cannot be made (a
// negative width) leaves valid() false and the caller draws nothing rather
// than drawing with the wrong pen.
class ScopedPen {
public:
    ScopedPen(HDC dc, int width, COLORREF colour) : m_dc(dc), m_pen(CreatePen(PS_SOLID, width, colour)) {
        if (m_pen) m_previous = SelectObject(dc, m_pen);
    }
    ~ScopedPen() {
        if (m_previous) SelectObject(m_dc, m_previous);
        if (m_pen) DeleteObject(m_pen);
    }
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;
    bool valid() const { return m_previous != nullptr; }

private:
    HDC m_dc;
    HPEN m_pen;
    HGDIOBJ m_previous = nullptr;
};

}  // namespace

void CMapView::BeginDrawing() { windowSurface = GetDC(window); }

void CMapView::EndDrawing() {
    if (windowSurface) ReleaseDC(window, windowSurface);
    windowSurface = nullptr;
}

void CMapView::DrawMap() {
    StretchBlt(windowSurface, destRect.x, destRect.y, destRect.width, destRect.height, memorySurface, sourceRect.x,
               sourceRect.y, sourceRect.width, sourceRect.height, SRCCOPY);
    if (destRect.width < clientWidth || destRect.height < clientHeight) DrawBorders();
    EndDrawing();
}

void CMapView::DrawBorders() {
    // Everything below is clipped around the map, so the margin is one fill
    // of the whole client area rather than strips.
    ExcludeClipRect(windowSurface, destRect.x, destRect.y, platform::saturate(static_cast<i64>(destRect.x) + destRect.width),
                    platform::saturate(static_cast<i64>(destRect.y) + destRect.height));
    RECT all;
    SetRect(&all, 0, 0, clientWidth, clientHeight);
    if (!hasBorders) {
        FillRect(windowSurface, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        return;
    }
    // Each image at its own size, centred along its edge; the margin takes
    // the colour of the top-left pixel of the last image drawn.
    COLORREF margin = CLR_INVALID;
    for (int i = 0; i < BorderSlotCount; ++i) {
        const BorderSlot& slot = borderSlots[i];
        if (slot.bitmap == nullptr) continue;
        BITMAP bm{};
        if (GetObjectW(slot.bitmap, sizeof bm, &bm) == 0) continue;
        const std::int32_t w = bm.bmWidth, h = bm.bmHeight;
        std::int32_t x = 0, y = 0;
        switch (i) {
            case 0: x = (clientWidth - w) / 2; y = 0; break;
            case 1: x = clientWidth - w; y = (clientHeight - h) / 2; break;
            case 2: x = (clientWidth - w) / 2; y = clientHeight - h; break;
            default: x = 0; y = (clientHeight - h) / 2; break;
        }
        BitBlt(windowSurface, x, y, w, h, slot.memorySurface, 0, 0, SRCCOPY);
        ExcludeClipRect(windowSurface, x, y, x + w, y + h);
        const COLORREF corner = GetPixel(slot.memorySurface, 0, 0);
        if (corner != CLR_INVALID) margin = corner;
    }
    if (margin == CLR_INVALID) {
        FillRect(windowSurface, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        return;
    }
    HBRUSH brush = CreateSolidBrush(margin);
    if (brush) {
        FillRect(windowSurface, &all, brush);
        DeleteObject(brush);
    }
}

void CMapView::DrawOverview() {
    if (!open || (sourceRect.width >= imageWidth && sourceRect.height >= imageHeight)) return;
    // An image without area has no proportions to draw; the frame is
    // forgotten so that a pan keeps nothing out of its drawing.
    if (imageWidth <= 0 || imageHeight <= 0) {
        SetRectEmpty(&overviewFrame);
        return;
    }
    BeginDrawing();
    // The longer side of the frame is 18 % of the window's width; the frame
    // has the image's proportions.
    const i64 s = static_cast<i64>(clientWidth) * 18 / 100;
    const i64 fw = std::min<i64>(s, s * imageWidth / imageHeight);
    const i64 fh = std::min<i64>(s, s * imageHeight / imageWidth);
    SetRect(&overviewFrame, 0, 0, platform::saturate(fw), platform::saturate(fh));

    // The part in view, scaled into the frame and kept off its outline. In
    // a frame under 2 pixels across it has no room and shrinks to nothing
    // rather than turning inside out.
    const i64 x0 = std::max<i64>(1, fw * sourceRect.x / imageWidth);
    const i64 y0 = std::max<i64>(1, fh * sourceRect.y / imageHeight);
    const i64 w = std::max<i64>(0, std::min<i64>(fw - 2, fw * sourceRect.width / imageWidth));
    const i64 h = std::max<i64>(0, std::min<i64>(fh - 2, fh * sourceRect.height / imageHeight));
    const RECT part{platform::saturate(x0), platform::saturate(y0), platform::saturate(x0 + w), platform::saturate(y0 + h)};

    HGDIOBJ oldBrush = SelectObject(windowSurface, GetStockObject(WHITE_BRUSH));
    {
        ScopedPen red(windowSurface, 1, kViewOutline);
        if (red.valid()) Rectangle(windowSurface, part.left, part.top, part.right, part.bottom);
    }
    // The part in view keeps its white inside and red outline under the
    // grey frame.
    ExcludeClipRect(windowSurface, part.left, part.top, part.right, part.bottom);
    SelectObject(windowSurface, GetStockObject(LTGRAY_BRUSH));
    {
        ScopedPen black(windowSurface, 1, kFrameOutline);
        if (black.valid()) Rectangle(windowSurface, 0, 0, overviewFrame.right, overviewFrame.bottom);
    }
    if (oldBrush) SelectObject(windowSurface, oldBrush);
    EndDrawing();
}

void CMapView::DrawZoomLabel() {
    if (!open) return;
    BeginDrawing();
    WCHAR label[32];
    const int length = wsprintfW(label, u" %d%% ", GetZoomPercent());
    SIZE size{};
    GetTextExtentExPointW(windowSurface, label, length, 0, nullptr, nullptr, &size);
    const std::int32_t x = clientWidth / 2 - size.cx / 2;
    const std::int32_t y = clientHeight / 2 - size.cy / 2;
    RECT box;
    SetRect(&box, x - 2, y - 2, x + size.cx + 2, y + size.cy + 2);
    ExtTextOutW(windowSurface, x, y, ETO_OPAQUE, &box, label, static_cast<UINT>(length), nullptr);
    // Framed with the surface's own pen: black, one pixel, on a fresh DC.
    HGDIOBJ oldBrush = SelectObject(windowSurface, GetStockObject(NULL_BRUSH));
    Rectangle(windowSurface, box.left, box.top, box.right, box.bottom);
    if (oldBrush) SelectObject(windowSurface, oldBrush);
    EndDrawing();
}

void CMapView::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t penWidth) {
    if (!open) return;
    BeginDrawing();
    {
        ScopedPen pen(windowSurface, penWidth, kLineColour);
        const POINT points[2] = {{x1, y1}, {x2, y2}};
        if (pen.valid()) Polyline(windowSurface, points, 2);
    }
    EndDrawing();
}

void CMapView::DrawMapRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                           std::int32_t penWidth, COLORREF color) {
    if (!open) return;
    BeginDrawing();
    // Hot rectangles come from the database unchecked: the scaling is done
    // in 64 bits and the corners clamped to the 32-bit range, where the
    // window's clipping takes over. The inset by half the pen keeps a thick
    // outline inside the rectangle's area; the + 1 takes in its right and
    // bottom map pixels.
    const i64 zoom = Zoom();
    const i64 half = penWidth / 2;
    const i64 l = (static_cast<i64>(left) - sourceRect.x) * zoom / 100 + half + destRect.x;
    const i64 t = (static_cast<i64>(top) - sourceRect.y) * zoom / 100 + half + destRect.y;
    const i64 r = (static_cast<i64>(right) - sourceRect.x) * zoom / 100 - half + destRect.x + 1;
    const i64 b = (static_cast<i64>(bottom) - sourceRect.y) * zoom / 100 - half + destRect.y + 1;
    {
        ScopedPen pen(windowSurface, penWidth, color);
        HGDIOBJ oldBrush = SelectObject(windowSurface, GetStockObject(NULL_BRUSH));
        if (pen.valid()) Rectangle(windowSurface, platform::saturate(l), platform::saturate(t), platform::saturate(r), platform::saturate(b));
        if (oldBrush) SelectObject(windowSurface, oldBrush);
    }
    EndDrawing();
}
