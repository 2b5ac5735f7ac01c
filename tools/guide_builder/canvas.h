// An 8-bit palette picture being drawn: every pixel holds a palette index.
// Every drawing operation is clipped to the current clip rectangle (never
// larger than the picture) before it touches a pixel.
#pragma once

#include "tools/guide_builder/projection.h"
#include "tools/indexed_image.h"

#include <cstdint>
#include <vector>

using Palette = std::vector<Rgb>;

// Right and bottom are exclusive.
struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
    bool empty() const { return right <= left || bottom <= top; }
    bool intersects(const PixelRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool contains(const PixelRect& o) const {
        return o.left >= left && o.top >= top && o.right <= right && o.bottom <= bottom;
    }
};

// Coverage of a shape (text), 0 = none and 255 = full, row by row.
struct CoverageMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
    std::uint8_t at(int x, int y) const {
        return (x < 0 || y < 0 || x >= width || y >= height) ? 0 : coverage[static_cast<size_t>(y * width + x)];
    }
};

class Canvas {
public:
    Canvas(int width, int height, std::uint8_t background);

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::uint8_t at(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    const std::vector<std::uint8_t>& pixels() const { return m_pixels; }
    // The picture with its palette, as the image tools write it.
    IndexedImage with_palette(const Palette& palette) const;

    // The clip rectangle is always cut to the picture.
    void set_clip(const PixelRect& clip);
    void reset_clip();
    const PixelRect& clip() const { return m_clip; }

    void fill_rect(const PixelRect& rect, std::uint8_t index);
    // Fills the area inside an odd number of the rings. A pixel is inside when
    // its centre is; ring edges are closed from the last point to the first.
    void fill_even_odd(const std::vector<PixelRing>& rings, std::uint8_t index);
    // A line of the given width in pixels; a point (x, y) lies in pixel
    // (floor x, floor y).
    void draw_line(PixelPoint a, PixelPoint b, std::uint8_t index, int width = 1);
    void draw_polyline(const PixelRing& line, std::uint8_t index, int width = 1);
    // Outline of a rectangle, inside its edges.
    void frame_rect(const PixelRect& rect, std::uint8_t index, int width = 1);
    // Pixels whose centres lie within radius of (cx, cy).
    void fill_disc(double cx, double cy, double radius, std::uint8_t index);
    // Draws a coverage mask at (x, y): each coverage value picks an entry of
    // ramp (ramp[0] for the faintest visible coverage, ramp.back() for full);
    // coverage below threshold leaves the pixel as it is.
    void draw_mask(int x, int y, const CoverageMask& mask, const std::vector<std::uint8_t>& ramp,
                   std::uint8_t threshold = 16);

private:
    void put(int x, int y, std::uint8_t index);  // checks the clip itself
    void span(int y, int x0, int x1, std::uint8_t index);  // Callers clip.

    int m_width;
    int m_height;
    PixelRect m_clip;
    std::vector<std::uint8_t> m_pixels;
};
