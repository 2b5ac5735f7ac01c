#include "platform/base/rect.h"
#include "platform/gdi/dc_object.h"
#include "platform/system/memory.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

namespace platform::gdi {

Bitmap* default_bitmap() {
    static Bitmap* const bitmap = [] {
        auto* b = new Bitmap;
        b->width = 1;
        b->height = 1;
        b->bitsPerPixel = 32;
        b->stride = 4;
        b->bits = static_cast<BYTE*>(std::calloc(1, 4));
        b->make_stock();
        register_object(b);
        return b;
    }();
    return bitmap;
}

namespace {

template <class T>
T* stock_as(int index, ObjectKind kind) {
    return lookup_as<T>(GetStockObject(index), kind);
}

}  // namespace

DeviceContext::DeviceContext() : GdiObject(ObjectKind::DeviceContext) {
    hold(m_bitmap = default_bitmap());
    hold(m_brush = stock_as<Brush>(WHITE_BRUSH, ObjectKind::Brush));
    hold(m_pen = stock_as<Pen>(BLACK_PEN, ObjectKind::Pen));
    hold(m_font = system_font());
}

DeviceContext::DeviceContext(Surface* surface, POINT origin, RECT hardClip)
    : GdiObject(ObjectKind::DeviceContext), m_surface(surface), m_origin(origin), m_hardClip(hardClip) {
    hold(m_brush = stock_as<Brush>(WHITE_BRUSH, ObjectKind::Brush));
    hold(m_pen = stock_as<Pen>(BLACK_PEN, ObjectKind::Pen));
    hold(m_font = system_font());
}

DeviceContext::~DeviceContext() {
    drop(m_bitmap);
    drop(m_brush);
    drop(m_pen);
    drop(m_font);
}

void DeviceContext::hold(GdiObject* object) {
    if (object) object->add_selection();
}

void DeviceContext::drop(GdiObject* object) {
    if (object) object->remove_selection();
}

Canvas DeviceContext::canvas() const {
    Canvas c;
    if (m_surface) {
        c.first = reinterpret_cast<BYTE*>(m_surface->pixels());
        c.pitch = static_cast<std::ptrdiff_t>(m_surface->width()) * 4;
        c.width = m_surface->width();
        c.height = m_surface->height();
        c.bitsPerPixel = 32;
    } else if (m_bitmap && m_bitmap->bits) {
        c.first = m_bitmap->row(0);
        c.pitch = m_bitmap->bottomUp ? -static_cast<std::ptrdiff_t>(m_bitmap->stride) : m_bitmap->stride;
        c.width = m_bitmap->width;
        c.height = m_bitmap->height;
        c.bitsPerPixel = m_bitmap->bitsPerPixel;
        c.colors = m_bitmap->colors;
    }
    if (!c.valid()) c = Canvas{};
    return c;
}

RECT DeviceContext::limits() const {
    const Canvas c = canvas();
    RECT bounds = c.bounds();
    if (m_surface) IntersectRect(&bounds, &bounds, &m_hardClip);
    return bounds;
}

std::vector<RECT> DeviceContext::clip_rects() const {
    std::vector<RECT> out;
    const RECT bounds = limits();
    if (IsRectEmpty(&bounds)) return out;
    if (!m_clipRegion) {
        out.push_back(bounds);
        return out;
    }
    for (const RECT& r : m_clipRegion->rects()) {
        RECT piece;
        if (IntersectRect(&piece, &r, &bounds)) out.push_back(piece);
    }
    return out;
}

RECT DeviceContext::to_device(const RECT& logical) const {
    return RECT{saturate(device_x(logical.left)), saturate(device_y(logical.top)), saturate(device_x(logical.right)),
                saturate(device_y(logical.bottom))};
}

void DeviceContext::fill(const RECT& device, COLORREF color) const {
    const Canvas c = canvas();
    if (!c.valid()) return;
    const CanvasColor value = canvas_color(c, color);
    for (const RECT& clip : clip_rects()) {
        RECT piece;
        if (IntersectRect(&piece, &clip, &device)) fill_span_rect(c, piece, value);
    }
}

Region& DeviceContext::clip_region() {
    if (!m_clipRegion) m_clipRegion.emplace(limits());
    return *m_clipRegion;
}

HGDIOBJ DeviceContext::select(GdiObject* object) {
    GdiObject* previous = nullptr;
    switch (object->kind()) {
        case ObjectKind::Bitmap: {
            auto* bitmap = static_cast<Bitmap*>(object);
            if (!is_memory()) return nullptr;
            if (bitmap == m_bitmap) return bitmap;
            // A bitmap is drawn into through one DC at a time.
            if (!bitmap->is_stock() && bitmap->selected_count() > 0) return nullptr;
            if (bitmap->bitsPerPixel != 8 && bitmap->bitsPerPixel != 32) return nullptr;
            previous = m_bitmap;
            m_bitmap = bitmap;
            break;
        }
        case ObjectKind::Brush:
            previous = m_brush;
            m_brush = static_cast<Brush*>(object);
            break;
        case ObjectKind::Pen:
            previous = m_pen;
            m_pen = static_cast<Pen*>(object);
            break;
        case ObjectKind::Font:
            previous = m_font;
            m_font = static_cast<Font*>(object);
            break;
        default:
            return nullptr;
    }
    hold(object);
    drop(previous);
    return previous;
}

HDC create_surface_dc(Surface* surface, POINT origin, RECT clip) {
    if (surface == nullptr) return nullptr;
    auto* dc = new (std::nothrow) DeviceContext(surface, origin, clip);
    if (dc == nullptr) return nullptr;
    register_object(dc);
    return dc->handle();
}

void release_surface_dc(HDC handle) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc && !dc->is_memory()) destroy_object(dc);
}

}  // namespace platform::gdi

using platform::gdi::DeviceContext;

HDC CreateCompatibleDC(HDC /*reference*/) {
    if (platform::allocation_should_fail(platform::AllocKind::DeviceContext)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* dc = new (std::nothrow) DeviceContext();
    if (dc == nullptr) return nullptr;
    platform::gdi::register_object(dc);
    return dc->handle();
}

BOOL DeleteDC(HDC handle) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || !dc->is_memory()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    platform::gdi::destroy_object(dc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    DeviceContext* dc = DeviceContext::from(handle);
    platform::gdi::GdiObject* target = platform::gdi::lookup_object(object);
    if (dc == nullptr || target == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (target->kind() == platform::gdi::ObjectKind::Bitmap && !target->is_stock() &&
        platform::allocation_should_fail(platform::AllocKind::Selection)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return dc->select(target);
}

COLORREF SetTextColor(HDC handle, COLORREF color) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr) return CLR_INVALID;
    return std::exchange(dc->textColor, color & 0x00FFFFFFu);
}

COLORREF GetTextColor(HDC handle) {
    DeviceContext* dc = DeviceContext::from(handle);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC handle, COLORREF color) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr) return CLR_INVALID;
    return std::exchange(dc->bkColor, color & 0x00FFFFFFu);
}

COLORREF GetBkColor(HDC handle) {
    DeviceContext* dc = DeviceContext::from(handle);
    return dc ? dc->bkColor : CLR_INVALID;
}

int SetBkMode(HDC handle, int mode) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->bkMode, mode);
}

int GetBkMode(HDC handle) {
    DeviceContext* dc = DeviceContext::from(handle);
    return dc ? dc->bkMode : 0;
}

int SetStretchBltMode(HDC handle, int mode) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(dc->stretchMode, mode);
}
