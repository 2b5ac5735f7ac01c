// The projection of every map: equidistant cylindrical (plate carrée with a
// standard parallel). It is linear in longitude and latitude, so a map's
// places, its hot rectangles and the rectangles other maps lead to can all
// be carried between maps exactly, and its scale along the standard
// parallel is the same everywhere on the map.
#pragma once

#include "tools/guide_builder/topojson.h"

#include <vector>

struct PixelPoint {
    double x;
    double y;
};

using PixelRing = std::vector<PixelPoint>;

class Projection {
public:
    // centerLon/centerLat land on pixel (centerX, centerY); a degree of
    // latitude is pixelsPerDegree pixels, a degree of longitude that times the
    // cosine of the standard parallel.
    Projection(double centerLon, double centerLat, double standardParallel, double pixelsPerDegree,
               double centerX, double centerY);

    PixelPoint project(LonLat p) const;  // the longitude is used as given
    LonLat unproject(PixelPoint p) const;
    // The longitude moved by whole turns into [centerLon - 180, centerLon + 180).
    double wrap(double lon) const;
    // Projects a point after wrapping its longitude: where a place belongs.
    PixelPoint place(LonLat p) const { return project({wrap(p.lon), p.lat}); }
    double kilometres_per_pixel() const;  // along the standard parallel
    double standard_parallel() const { return m_standardParallel; }
    double center_lon() const { return m_centerLon; }

private:
    double m_centerLon;
    double m_centerLat;
    double m_standardParallel;
    double m_kx;  // pixels per degree of longitude
    double m_ky;  // pixels per degree of latitude
    double m_centerX;
    double m_centerY;
};

// Longitudes made continuous: each point moved by whole turns so that it lies
// less than 180 degrees from the point before it.
Ring unwrap(const Ring& ring);

// A polygon's rings in pixels, ready to be filled with the even-odd rule so
// that no stripe crosses the map:
// - a ring that crosses the antimeridian is unwrapped rather than drawn back
//   across the whole map;
// - a ring that goes once round a pole (Antarctica) is closed along that pole;
// - every ring is repeated one turn east and west, so that a shape cut at the
//   antimeridian shows on both sides of a map centred near it.
std::vector<PixelRing> project_polygon(const Polygon& polygon, const Projection& projection);

// A border or coast line in pixels, cut into pieces and repeated like the
// rings. Segments that run along the antimeridian or a pole are dropped:
// they are where the source data was cut, not borders on the ground.
std::vector<PixelRing> project_line(const Ring& line, const Projection& projection);
