// Platform internal: the brush and pen objects behind HBRUSH and HPEN.
#pragma once

#include "platform/gdi/brushes.h"
#include "platform/gdi/object_table.h"

namespace platform::gdi {

class Brush : public GdiObject {
public:
    Brush(bool hollow, COLORREF color) : GdiObject(ObjectKind::Brush), m_hollow(hollow), m_color(color) {}
    bool hollow() const { return m_hollow; }
    COLORREF color() const { return m_color; }
    int describe(int bufferSize, void* buffer) const override;

private:
    bool m_hollow;
    COLORREF m_color;
};

class Pen : public GdiObject {
public:
    Pen(int style, int width, COLORREF color) : GdiObject(ObjectKind::Pen), m_style(style), m_width(width), m_color(color) {}
    bool null() const { return m_style == PS_NULL; }
    // At least 1.
    int width() const { return m_width; }
    COLORREF color() const { return m_color; }
    int describe(int bufferSize, void* buffer) const override;

private:
    int m_style;
    int m_width;
    COLORREF m_color;
};

}  // namespace platform::gdi
