#include "platform/gdi/brush_objects.h"
#include "platform/gdi/font_object.h"

#include <cstring>
#include <new>

namespace platform::gdi {

int Brush::describe(int bufferSize, void* buffer) const {
    if (buffer == nullptr) return sizeof(LOGBRUSH);
    if (bufferSize < static_cast<int>(sizeof(LOGBRUSH))) return 0;
    LOGBRUSH lb{m_hollow ? static_cast<UINT>(BS_NULL) : static_cast<UINT>(BS_SOLID), m_color, 0};
    std::memcpy(buffer, &lb, sizeof lb);
    return sizeof lb;
}

int Pen::describe(int bufferSize, void* buffer) const {
    if (buffer == nullptr) return sizeof(LOGPEN);
    if (bufferSize < static_cast<int>(sizeof(LOGPEN))) return 0;
    LOGPEN lp{static_cast<UINT>(m_style), POINT{m_width, 0}, m_color};
    std::memcpy(buffer, &lp, sizeof lp);
    return sizeof lp;
}

namespace {

GdiObject* make_stock(GdiObject* object) {
    object->make_stock();
    register_object(object);
    return object;
}

}  // namespace
}  // namespace platform::gdi

HBRUSH CreateSolidBrush(COLORREF color) {
    auto* brush = new (std::nothrow) platform::gdi::Brush(false, color & 0x00FFFFFFu);
    if (brush == nullptr) return nullptr;
    return static_cast<HBRUSH>(platform::gdi::register_object(brush));
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if (width < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* pen = new (std::nothrow)
        platform::gdi::Pen(style == PS_NULL ? PS_NULL : PS_SOLID, width == 0 ? 1 : width, color & 0x00FFFFFFu);
    if (pen == nullptr) return nullptr;
    return static_cast<HPEN>(platform::gdi::register_object(pen));
}

HGDIOBJ GetStockObject(int index) {
    using namespace platform::gdi;
    // Made on first use and kept for the life of the process.
    static GdiObject* const stock[] = {
        make_stock(new Brush(false, RGB(255, 255, 255))),
        make_stock(new Brush(false, RGB(192, 192, 192))),
        make_stock(new Brush(false, RGB(128, 128, 128))),
        make_stock(new Brush(false, RGB(64, 64, 64))),
        make_stock(new Brush(false, RGB(0, 0, 0))),
        make_stock(new Brush(true, 0)),
        make_stock(new Pen(PS_SOLID, 1, RGB(255, 255, 255))),
        make_stock(new Pen(PS_SOLID, 1, RGB(0, 0, 0))),
        make_stock(new Pen(PS_NULL, 1, 0)),
    };
    if (index >= 0 && index < static_cast<int>(sizeof stock / sizeof stock[0])) return stock[index];
    if (index == SYSTEM_FONT || index == DEFAULT_GUI_FONT) return system_font();
    return nullptr;
}
