// georef: georeferences a map from points known both on the picture and on
// the Earth.
#include "tools/guide/commands.h"
#include "tools/guide/guide.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

ControlPoint parse_point(const std::string& text, int width, int height) {
    ControlPoint p;
    double* fields[] = {&p.pixel, &p.line, &p.x, &p.y};
    const char* at = text.c_str();
    for (int i = 0; i < 4; ++i) {
        char* end = nullptr;
        *fields[i] = std::strtod(at, &end);
        if (end == at || !std::isfinite(*fields[i]) || *end != (i < 3 ? ',' : '\0')) {
            throw GuideError("--point takes PX,PY,LON,LAT, not \"" + text + "\"");
        }
        at = end + 1;
    }
    if (p.pixel < 0 || p.pixel > width || p.line < 0 || p.line > height) {
        throw GuideError("--point " + text + " lies outside the image (" + std::to_string(width) + " x " +
                         std::to_string(height) + ")");
    }
    if (std::fabs(p.x) > 180 || std::fabs(p.y) > 90) throw GuideError("--point " + text + ": no such longitude and latitude");
    return p;
}

// Whether the points lie on one line, within a hundredth of their spread
// along it.
bool collinear(const std::vector<ControlPoint>& points, bool onPicture) {
    double mx = 0, my = 0;
    for (const ControlPoint& p : points) {
        mx += onPicture ? p.pixel : p.x;
        my += onPicture ? p.line : p.y;
    }
    mx /= points.size();
    my /= points.size();
    double sxx = 0, syy = 0, sxy = 0;
    for (const ControlPoint& p : points) {
        const double dx = (onPicture ? p.pixel : p.x) - mx;
        const double dy = (onPicture ? p.line : p.y) - my;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    // The spreads across and along the best line are the scatter's eigenvalues.
    const double mean = (sxx + syy) / 2;
    const double root = std::sqrt((sxx - syy) * (sxx - syy) / 4 + sxy * sxy);
    return mean - root <= 1e-4 * (mean + root);
}

}  // namespace

void run_georef(const std::vector<std::string>& args) {
    const CommandLine line = parse_command_line(args, 2, {"--point"});
    Guide guide(line.positional[0]);
    const GuideMap& map = guide.find(line.positional[1]);
    const auto [width, height] = guide.image_size(map);
    std::vector<ControlPoint> points;
    if (line.has("--point")) {
        for (const std::string& text : line.values.at("--point")) points.push_back(parse_point(text, width, height));
    }
    if (points.size() < 3) throw GuideError("give three or more --point PX,PY,LON,LAT");
    for (std::size_t i = 0; i < points.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            const bool samePixel = points[i].pixel == points[j].pixel && points[i].line == points[j].line;
            const bool samePlace = points[i].x == points[j].x && points[i].y == points[j].y;
            if (samePixel || samePlace) {
                throw GuideError("points " + std::to_string(j + 1) + " and " + std::to_string(i + 1) + " are repeated" +
                                 (samePixel ? " on the picture" : " on the Earth"));
            }
        }
    }
    if (collinear(points, true) || collinear(points, false)) {
        throw GuideError("the points lie on one line; give points that span the map");
    }
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    std::string error;
    std::unique_ptr<MapGeoref> georef = MapGeoref::from_points(points, wgs84, &error);
    if (!georef) throw GuideError(error);

    for (auto& [name, content] : georef->sidecars(map.image)) guide.stage(name, content);
    std::string summary = "\"" + utf8(map.name) + "\": " +
                          (georef->order() == 1 ? "affine" : "polynomial of order " + std::to_string(georef->order())) +
                          " from " + std::to_string(points.size()) + " points\n";
    for (std::size_t i = 0; i < points.size(); ++i) {
        double px = 0, py = 0;
        char text[80];
        if (georef->to_pixel(points[i].x, points[i].y, &px, &py)) {
            std::snprintf(text, sizeof text, "point %zu: residual %.3f px\n", i + 1,
                          std::hypot(px - points[i].pixel, py - points[i].line));
        } else {
            std::snprintf(text, sizeof text, "point %zu: residual unknown\n", i + 1);
        }
        summary += text;
    }
    guide.commit(summary);
}
