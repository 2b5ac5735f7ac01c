// Platform internal: the device context behind an HDC. It draws either into
// a window's Surface (through an origin and a hard clip set by the window
// manager) or into the bitmap selected into a memory DC. Every drawing call
// asks it for the canvas and the clip rectangles, which already combine the
// canvas bounds, the hard clip and the DC's clip region.
#pragma once

#include "platform/base/region.h"
#include "platform/gdi/brush_objects.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/font_object.h"
#include "platform/gdi/surface.h"

#include <optional>
#include <vector>

namespace platform::gdi {

class DeviceContext : public GdiObject {
public:
    // A memory DC.
    DeviceContext();
    // A DC on a window surface.
    DeviceContext(Surface* surface, POINT origin, RECT hardClip);
    ~DeviceContext() override;

    // The live DC behind a handle, or null.
    static DeviceContext* from(HDC dc) { return lookup_as<DeviceContext>(dc, ObjectKind::DeviceContext); }
    HDC handle() { return static_cast<HDC>(static_cast<HGDIOBJ>(static_cast<GdiObject*>(this))); }

    bool is_memory() const { return m_surface == nullptr; }
    Canvas canvas() const;
    // The rectangles (canvas coordinates, disjoint) that drawing may touch.
    std::vector<RECT> clip_rects() const;
    // Logical coordinates to canvas coordinates, saturating.
    RECT to_device(const RECT& logical) const;
    long long device_x(long long x) const { return x + m_origin.x; }
    long long device_y(long long y) const { return y + m_origin.y; }
    POINT origin() const { return m_origin; }

    // The part of the canvas the DC may ever draw into or be read from:
    // the canvas bounds, limited by the hard clip of a window DC.
    RECT limits() const;

    // The clip region, in canvas coordinates; made from the current bounds
    // on first change.
    Region& clip_region();
    bool has_clip_region() const { return m_clipRegion.has_value(); }
    void reset_clip_region() { m_clipRegion.reset(); }

    // Fills a rectangle given in canvas coordinates with a colour, inside
    // the clip rectangles.
    void fill(const RECT& device, COLORREF color) const;

    HGDIOBJ select(GdiObject* object);
    Bitmap* bitmap() const { return m_bitmap; }
    Brush* brush() const { return m_brush; }
    Pen* pen() const { return m_pen; }
    Font* font() const { return m_font; }

    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int stretchMode = COLORONCOLOR;
    POINT position{0, 0};

    int describe(int, void*) const override { return 0; }

private:
    void hold(GdiObject* object);
    void drop(GdiObject* object);

    Surface* m_surface = nullptr;
    POINT m_origin{0, 0};
    RECT m_hardClip{0, 0, 0, 0};
    std::optional<Region> m_clipRegion;
    Bitmap* m_bitmap = nullptr;
    Brush* m_brush = nullptr;
    Pen* m_pen = nullptr;
    Font* m_font = nullptr;
};

// The stock 1 x 1 bitmap that a new memory DC holds.
Bitmap* default_bitmap();

}  // namespace platform::gdi
