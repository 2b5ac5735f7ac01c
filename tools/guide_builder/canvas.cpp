#include "tools/guide_builder/canvas.h"

#include <algorithm>
#include <cmath>

namespace {

struct Edge {
    double y0;  // top end, y0 < y1
    double y1;
    double x0;  // x at y0
    double slope;  // dx per dy
};

}  // namespace

Canvas::Canvas(int width, int height, std::uint8_t background)
    : m_width(std::max(0, width)),
      m_height(std::max(0, height)),
      m_clip{0, 0, m_width, m_height},
      m_pixels(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), background) {}

IndexedImage Canvas::with_palette(const Palette& palette) const {
    IndexedImage image;
    image.width = m_width;
    image.height = m_height;
    image.palette = palette;
    image.pixels = m_pixels;
    return image;
}

void Canvas::set_clip(const PixelRect& clip) {
    m_clip = {std::max(0, clip.left), std::max(0, clip.top), std::min(m_width, clip.right),
              std::min(m_height, clip.bottom)};
    if (m_clip.empty()) m_clip = {0, 0, 0, 0};
}

void Canvas::reset_clip() { m_clip = {0, 0, m_width, m_height}; }

void Canvas::put(int x, int y, std::uint8_t index) {
    if (x < m_clip.left || x >= m_clip.right || y < m_clip.top || y >= m_clip.bottom) return;
    m_pixels[static_cast<size_t>(y) * m_width + x] = index;
}

// Callers clip.
void Canvas::span(int y, int x0, int x1, std::uint8_t index) {
    std::fill(m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_width + x0,
              m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_width + x1, index);
}

void Canvas::fill_rect(const PixelRect& rect, std::uint8_t index) {
    int x0 = std::max(rect.left, m_clip.left), x1 = std::min(rect.right, m_clip.right);
    int y0 = std::max(rect.top, m_clip.top), y1 = std::min(rect.bottom, m_clip.bottom);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y) span(y, x0, x1, index);
}

void Canvas::fill_even_odd(const std::vector<PixelRing>& rings, std::uint8_t index) {
    std::vector<Edge> edges;
    for (const PixelRing& ring : rings) {
        for (size_t i = 0; i < ring.size(); ++i) {
            PixelPoint a = ring[i];
            PixelPoint b = ring[(i + 1) % ring.size()];
            if (a.y == b.y || !std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) {
                continue;
            }
            if (a.y > b.y) std::swap(a, b);
            double slope = (b.x - a.x) / (b.y - a.y);
            if (std::isfinite(slope)) edges.push_back({a.y, b.y, a.x, slope});
        }
    }
    if (edges.empty() || m_clip.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& p, const Edge& q) { return p.y0 < q.y0; });
    // A row's sample line is its pixel centres, y + 0.5; an edge counts on the
    // rows whose centre lies in [y0, y1), so a vertex shared by two edges is
    // counted once.
    // Doubles are cut to the clip before they become integers: a far-off
    // coordinate does not fit an int.
    double top = std::clamp(std::ceil(edges.front().y0 - 0.5), static_cast<double>(m_clip.top),
                            static_cast<double>(m_clip.bottom));
    int firstRow = static_cast<int>(top);
    size_t next = 0;
    std::vector<const Edge*> active;
    std::vector<double> xs;
    for (int y = firstRow; y < m_clip.bottom; ++y) {
        double yc = y + 0.5;
        while (next < edges.size() && edges[next].y0 <= yc) active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [yc](const Edge* e) { return e->y1 <= yc; }),
                     active.end());
        if (active.empty()) {
            if (next == edges.size()) break;
            continue;
        }
        xs.clear();
        for (const Edge* e : active) {
            double x = e->x0 + (yc - e->y0) * e->slope;
            if (e->y0 <= yc) xs.push_back(std::isnan(x) ? 0.0 : x);
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            // Pixels whose centre x + 0.5 lies in [xs[i], xs[i + 1]).
            double from = std::ceil(xs[i] - 0.5), to = std::ceil(xs[i + 1] - 0.5);
            int x0 = static_cast<int>(std::clamp(from, static_cast<double>(m_clip.left), static_cast<double>(m_clip.right)));
            int x1 = static_cast<int>(std::clamp(to, static_cast<double>(m_clip.left), static_cast<double>(m_clip.right)));
            if (x0 < x1) span(y, x0, x1, index);
        }
    }
}

void Canvas::draw_line(PixelPoint a, PixelPoint b, std::uint8_t index, int width) {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return;
    // Cut the segment to the clip (grown by the pen) first, so that a line
    // reaching far off the picture costs no more than the part on it.
    double reach = width + 1;
    double t0 = 0, t1 = 1;
    double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - (m_clip.left - reach), (m_clip.right + reach) - a.x, a.y - (m_clip.top - reach),
                         (m_clip.bottom + reach) - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    if (t0 > t1) return;
    PixelPoint start{a.x + dx * t0, a.y + dy * t0};
    b = {a.x + dx * t1, a.y + dy * t1};
    a = start;
    dx = b.x - a.x, dy = b.y - a.y;
    int steps = static_cast<int>(std::ceil(std::max(std::fabs(dx), std::fabs(dy))));
    int before = (width - 1) / 2;
    for (int i = 0; i <= steps; ++i) {
        double t = steps == 0 ? 0.0 : static_cast<double>(i) / steps;
        int px = static_cast<int>(std::floor(a.x + dx * t));
        int py = static_cast<int>(std::floor(a.y + dy * t));
        for (int oy = 0; oy < width; ++oy) {
            for (int ox = 0; ox < width; ++ox) put(px - before + ox, py - before + oy, index);
        }
    }
}

void Canvas::draw_polyline(const PixelRing& line, std::uint8_t index, int width) {
    for (size_t i = 1; i < line.size(); ++i) draw_line(line[i - 1], line[i], index, width);
}

void Canvas::frame_rect(const PixelRect& r, std::uint8_t index, int width) {
    fill_rect({r.left, r.top, r.right, std::min(r.bottom, r.top + width)}, index);
    fill_rect({r.left, std::max(r.top, r.bottom - width), r.right, r.bottom}, index);
    fill_rect({r.left, r.top, std::min(r.right, r.left + width), r.bottom}, index);
    fill_rect({std::max(r.left, r.right - width), r.top, r.right, r.bottom}, index);
}

void Canvas::fill_disc(double cx, double cy, double radius, std::uint8_t index) {
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius)) return;
    auto cut = [](double v, int lo, int hi) { return static_cast<int>(std::clamp(v, static_cast<double>(lo), static_cast<double>(hi))); };
    int x0 = cut(std::floor(cx - radius), m_clip.left, m_clip.right);
    int x1 = cut(std::ceil(cx + radius) + 1, m_clip.left, m_clip.right);
    int y0 = cut(std::floor(cy - radius), m_clip.top, m_clip.bottom);
    int y1 = cut(std::ceil(cy + radius) + 1, m_clip.top, m_clip.bottom);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            double ex = x + 0.5 - cx, ey = y + 0.5 - cy;
            if (ex * ex + ey * ey <= radius * radius) m_pixels[static_cast<size_t>(y) * m_width + x] = index;
        }
    }
}

void Canvas::draw_mask(int x, int y, const CoverageMask& mask, const std::vector<std::uint8_t>& ramp,
                       std::uint8_t threshold) {
    if (ramp.empty()) return;
    int y0 = std::max(m_clip.top, y), y1 = std::min(m_clip.bottom, y + mask.height);
    int x0 = std::max(m_clip.left, x), x1 = std::min(m_clip.right, x + mask.width);
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            int c = mask.at(px - x, py - y);
            if (c < threshold) continue;
            size_t level = static_cast<size_t>((c - threshold) * static_cast<int>(ramp.size()) / (256 - threshold));
            m_pixels[static_cast<size_t>(py) * m_width + px] = ramp[std::min(level, ramp.size() - 1)];
        }
    }
}
