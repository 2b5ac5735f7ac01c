// link: the related-map record between two georeferenced maps, computed from
// their georeferences.
#include "tools/guide/commands.h"
#include "tools/guide/guide.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Carries pixels of one map to the pixels of another through the ground.
class PixelBridge {
public:
    PixelBridge(const MapGeoref& from, const MapGeoref& to)
        : m_from(from), m_to(to), m_transform(OGRCreateCoordinateTransformation(&from.srs(), &to.srs())) {
        if (!m_transform) throw GuideError(std::string("cannot transform between the maps' coordinates: ") + CPLGetLastErrorMsg());
    }
    bool carry(double px, double py, double* qx, double* qy) const {
        double x = 0;
        double y = 0;
        return m_from.to_coordinates(px, py, &x, &y) && m_transform->Transform(1, &x, &y) && m_to.to_pixel(x, y, qx, qy);
    }

private:
    const MapGeoref& m_from;
    const MapGeoref& m_to;
    std::unique_ptr<OGRCoordinateTransformation> m_transform;
};

std::string rect_text(int l, int t, int r, int b) {
    return std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b);
}

}  // namespace

void run_link(const std::vector<std::string>& args) {
    const CommandLine line = parse_command_line(args, 3, {});
    Guide guide(line.positional[0]);
    const GuideMap& from = guide.find(line.positional[1]);
    const GuideMap& to = guide.find(line.positional[2]);
    if (from.file == to.file) throw GuideError("a map cannot link to itself");
    std::unique_ptr<MapGeoref> fromGeoref = guide.georef(from);
    std::unique_ptr<MapGeoref> toGeoref = guide.georef(to);
    const auto [fromWidth, fromHeight] = guide.image_size(from);
    const auto [toWidth, toHeight] = guide.image_size(to);
    const PixelBridge toFrom(*toGeoref, *fromGeoref);
    const PixelBridge fromTo(*fromGeoref, *toGeoref);

    // TO's extent in FROM's pixels: its edges, walked in small steps since
    // straight edges on one map may bend on the other.
    constexpr int kSteps = 32;
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
    for (int i = 0; i <= kSteps; ++i) {
        const double u = static_cast<double>(i) / kSteps;
        const double edge[4][2] = {{u * toWidth, 0}, {u * toWidth, static_cast<double>(toHeight)}, {0, u * toHeight},
                                   {static_cast<double>(toWidth), u * toHeight}};
        for (const auto& p : edge) {
            double x = 0, y = 0;
            if (!toFrom.carry(p[0], p[1], &x, &y)) continue;
            minX = std::min(minX, x);
            minY = std::min(minY, y);
            maxX = std::max(maxX, x);
            maxY = std::max(maxY, y);
        }
    }
    const int left = static_cast<int>(std::max(0.0, std::floor(minX)));
    const int top = static_cast<int>(std::max(0.0, std::floor(minY)));
    const int right = static_cast<int>(std::min<double>(fromWidth, std::ceil(maxX)));
    const int bottom = static_cast<int>(std::min<double>(fromHeight, std::ceil(maxY)));
    if (minX > maxX || right <= left || bottom <= top) {
        throw GuideError("\"" + utf8(from.name) + "\" and \"" + utf8(to.name) + "\" do not overlap");
    }
    // The same extent in TO's pixels. The program carries a tap across by
    // truncating, so the target edges are rounded up: a tap then lands
    // within a pixel of its place on the ground.
    double tl[2], br[2];
    if (!fromTo.carry(left, top, &tl[0], &tl[1]) || !fromTo.carry(right, bottom, &br[0], &br[1])) {
        throw GuideError("the corners of the link cannot be carried onto \"" + utf8(to.name) + "\"");
    }
    const int tLeft = static_cast<int>(std::ceil(tl[0])), tTop = static_cast<int>(std::ceil(tl[1]));
    const int tRight = static_cast<int>(std::ceil(br[0])), tBottom = static_cast<int>(std::ceil(br[1]));
    if (tRight <= tLeft || tBottom <= tTop) {
        throw GuideError("\"" + utf8(to.name) + "\" is turned against \"" + utf8(from.name) +
                         "\": a link keeps left to left and top to top");
    }
    // How far a tap lands from its place on the ground, carried as the
    // program carries it, in whole pixels with truncating division.
    double worst = 0;
    for (int i = 0; i <= 8; ++i) {
        for (int j = 0; j <= 8; ++j) {
            const int x = left + (right - 1 - left) * i / 8, y = top + (bottom - 1 - top) * j / 8;
            double qx = 0, qy = 0;
            if (!fromTo.carry(x, y, &qx, &qy)) continue;
            const int lx = tLeft + (x - left) * (tRight - tLeft) / (right - left);
            const int ly = tTop + (y - top) * (tBottom - tTop) / (bottom - top);
            worst = std::max({worst, std::fabs(lx - qx), std::fabs(ly - qy)});
        }
    }

    const std::u16string record = from.name + u"," + utf16(rect_text(left, top, right, bottom)) + u"," + to.name + u"," +
                                  utf16(rect_text(tLeft, tTop, tRight, tBottom));
    DabText text = guide.read(from);
    std::optional<std::vector<DabBlock>> blocks = find_blocks(text, u"<Related Maps>", u"</Related Maps>");
    if (!blocks) throw GuideError(from.file + " has a <Related Maps> block without its end line");
    std::optional<std::size_t> same;
    for (const DabBlock& b : *blocks) {
        for (std::size_t i = b.first; i < b.end && !same; ++i) {
            std::vector<std::u16string> fields = split_fields(text.line(i));
            if (fields.size() >= 10 && fields[0] == from.name && fields[5] == to.name) same = i;
        }
    }
    bool written = same ? text.replace(*same, 1, {record})
                 : blocks->empty() ? text.append({u"<Related Maps>", record, u"</Related Maps>"})
                                   : text.replace(blocks->front().end, 0, {record});
    if (!written) throw GuideError(from.file + " is in Windows-1252, which cannot hold the maps' names");
    guide.stage(from.file, text.bytes());
    char summary[512];
    std::snprintf(summary, sizeof summary,
                  "%s \"%s\" %s -> \"%s\" %s%s\na tap lands within %.2f pixels of \"%s\" of its place on the ground\n",
                  from.file.c_str(), utf8(from.name).c_str(), rect_text(left, top, right, bottom).c_str(),
                  utf8(to.name).c_str(), rect_text(tLeft, tTop, tRight, tBottom).c_str(), same ? " (replaced)" : "",
                  worst, utf8(to.name).c_str());
    guide.commit(summary);
}
