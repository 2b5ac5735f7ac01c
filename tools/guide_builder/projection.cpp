#include "tools/guide_builder/projection.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kKilometresPerDegree = 111.32;  // a degree of latitude, on average
constexpr double kCutTolerance = 1e-3;

// Whole turns that bring lon into [center - 180, center + 180).
double turns_into_window(double lon, double center) {
    return std::floor((lon - (center - 180.0)) / 360.0);
}

bool on_antimeridian(const LonLat& p) { return std::fabs(std::fabs(p.lon) - 180.0) < kCutTolerance; }
bool at_pole(const LonLat& p) { return std::fabs(p.lat) > 90.0 - kCutTolerance; }

PixelRing project_shifted(const Ring& ring, double shift, const Projection& projection) {
    PixelRing out;
    out.reserve(ring.size());
    for (const LonLat& p : ring) out.push_back(projection.project({p.lon + shift, p.lat}));
    return out;
}

}  // namespace

Projection::Projection(double centerLon, double centerLat, double standardParallel, double pixelsPerDegree,
                       double centerX, double centerY)
    : m_centerLon(centerLon),
      m_centerLat(centerLat),
      m_standardParallel(standardParallel),
      m_kx(pixelsPerDegree * std::cos(standardParallel * kPi / 180.0)),
      m_ky(pixelsPerDegree),
      m_centerX(centerX),
      m_centerY(centerY) {}

PixelPoint Projection::project(LonLat p) const {
    return {m_centerX + (p.lon - m_centerLon) * m_kx, m_centerY - (p.lat - m_centerLat) * m_ky};
}

LonLat Projection::unproject(PixelPoint p) const {
    return {m_centerLon + (p.x - m_centerX) / m_kx, m_centerLat - (p.y - m_centerY) / m_ky};
}

double Projection::wrap(double lon) const { return lon - 360.0 * turns_into_window(lon, m_centerLon); }

double Projection::kilometres_per_pixel() const {
    return kKilometresPerDegree / m_ky;
}

Ring unwrap(const Ring& ring) {
    Ring out;
    out.reserve(ring.size());
    for (const LonLat& p : ring) {
        LonLat q = p;
        if (!out.empty()) {
            double previous = out.back().lon;
            q.lon -= 360.0 * std::round((q.lon - previous) / 360.0);
        }
        out.push_back(q);
    }
    return out;
}

std::vector<PixelRing> project_polygon(const Polygon& polygon, const Projection& projection) {
    std::vector<PixelRing> out;
    for (const Ring& source : polygon) {
        if (source.size() < 3) continue;
        // Closed in degrees first: once unwrapped, the ends of a ring that goes
        // round a pole no longer meet, and that is how such a ring is told.
        Ring closed = source;
        if (closed.front().lon != closed.back().lon || closed.front().lat != closed.back().lat) {
            closed.push_back(closed.front());
        }
        Ring ring = unwrap(closed);
        // Unwrapped, a closed ring ends where it began unless it went round a
        // pole; then its end is a whole turn away, and the ring is closed
        // along the pole it encircles.
        double turns = std::round((ring.back().lon - ring.front().lon) / 360.0);
        if (turns != 0.0) {
            double sumLat = 0;
            for (const LonLat& p : ring) sumLat += p.lat;
            double pole = sumLat < 0 ? -90.0 : 90.0;
            LonLat first = ring.front();
            ring.push_back({ring.back().lon, pole});
            ring.push_back({first.lon, pole});
            ring.push_back(first);
        }
        double base = -360.0 * turns_into_window(ring.front().lon, projection.center_lon());
        for (int copy = -1; copy <= 1; ++copy) out.push_back(project_shifted(ring, base + 360.0 * copy, projection));
    }
    return out;
}

std::vector<PixelRing> project_line(const Ring& line, const Projection& projection) {
    std::vector<PixelRing> out;
    Ring piece;
    auto flush = [&]() {
        if (piece.size() >= 2) {
            Ring unwrapped = unwrap(piece);
            double base = -360.0 * turns_into_window(unwrapped.front().lon, projection.center_lon());
            for (int copy = -1; copy <= 1; ++copy) {
                out.push_back(project_shifted(unwrapped, base + 360.0 * copy, projection));
            }
        }
        piece.clear();
    };
    for (size_t i = 0; i < line.size(); ++i) {
        if (i > 0) {
            const LonLat& a = line[i - 1];
            const LonLat& b = line[i];
            bool cut = (on_antimeridian(a) && on_antimeridian(b)) || (at_pole(a) && at_pole(b));
            if (cut) flush();
        }
        piece.push_back(line[i]);
    }
    flush();
    return out;
}
