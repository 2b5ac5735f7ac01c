// The builder's geometry on small hand-made shapes: TopoJSON decoding, the
// projection, and even-odd filling of squares, holes, shapes across the
// antimeridian and round a pole.
#include "tools/guide_builder/canvas.h"
#include "tools/guide_builder/projection.h"
#include "tools/guide_builder/topojson.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace {

using nlohmann::json;

int count(const Canvas& canvas, std::uint8_t index, PixelRect r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) n += canvas.at(x, y) == index;
    }
    return n;
}

int count(const Canvas& canvas, std::uint8_t index) { return count(canvas, index, {0, 0, canvas.width(), canvas.height()}); }

PixelRing square(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

// One degree a pixel, longitude 0 at x 180 and the equator at y 90: the
// whole world on a 360 x 180 canvas.
Projection world() { return Projection(0, 0, 0, 1, 180, 90); }

TEST(Projection, MapsDegreesToPixelsAndBack) {
    Projection p(10, 50, 60, 20, 600, 450);
    PixelPoint centre = p.project({10, 50});
    EXPECT_DOUBLE_EQ(centre.x, 600);
    EXPECT_DOUBLE_EQ(centre.y, 450);
    // A degree of longitude is cos 60 = half a degree of latitude.
    PixelPoint ne = p.project({12, 51});
    EXPECT_NEAR(ne.x, 620, 1e-9);
    EXPECT_NEAR(ne.y, 430, 1e-9);
    LonLat back = p.unproject(ne);
    EXPECT_NEAR(back.lon, 12, 1e-9);
    EXPECT_NEAR(back.lat, 51, 1e-9);
    EXPECT_NEAR(p.kilometres_per_pixel(), 111.32 / 20, 1e-9);
}

TEST(Projection, WrapsLongitudesIntoTheMapsHalfTurnEitherSide) {
    Projection pacific(170, 0, 0, 1, 0, 0);
    EXPECT_DOUBLE_EQ(pacific.wrap(-175), 185);  // east of the antimeridian, so east of the centre
    EXPECT_DOUBLE_EQ(pacific.wrap(0), 0);
    EXPECT_DOUBLE_EQ(pacific.wrap(-10), 350 - 360);
    EXPECT_DOUBLE_EQ(pacific.wrap(350), -10);
    EXPECT_DOUBLE_EQ(pacific.place({-175, 0}).x, 15);
    Ring ring = unwrap({{170, 0}, {179, 1}, {-179, 2}, {-170, 3}});
    EXPECT_DOUBLE_EQ(ring[2].lon, 181);
    EXPECT_DOUBLE_EQ(ring[3].lon, 190);
}

TEST(EvenOddFill, FillsExactlyThePixelsWhoseCentresAreInside) {
    Canvas canvas(20, 20, 0);
    canvas.fill_even_odd({square(2, 3, 12, 8)}, 1);
    EXPECT_EQ(count(canvas, 1), 10 * 5);
    EXPECT_EQ(count(canvas, 1, {2, 3, 12, 8}), 50);
    // Edges through pixel centres: the half-open rule keeps shared edges from
    // being filled twice or not at all.
    Canvas halves(10, 10, 0);
    halves.fill_even_odd({square(1.5, 1.5, 5.5, 5.5)}, 1);
    halves.fill_even_odd({square(5.5, 1.5, 8.5, 5.5)}, 2);
    EXPECT_EQ(count(halves, 1), 4 * 4);
    EXPECT_EQ(count(halves, 2), 3 * 4);
}

TEST(EvenOddFill, LeavesHolesAndOverlapsOpenAndIgnoresOrientation) {
    Canvas canvas(20, 20, 0);
    PixelRing outer = square(0, 0, 10, 10);
    PixelRing hole = {{3, 3}, {3, 7}, {7, 7}, {7, 3}};  // wound the other way round
    canvas.fill_even_odd({outer, hole}, 1);
    EXPECT_EQ(count(canvas, 1), 100 - 16);
    EXPECT_EQ(count(canvas, 0, {3, 3, 7, 7}), 16);
    Canvas overlap(20, 20, 0);
    overlap.fill_even_odd({square(0, 0, 6, 6), square(4, 4, 10, 10)}, 1);
    EXPECT_EQ(count(overlap, 1), 36 + 36 - 2 * 4);
}

TEST(EvenOddFill, StaysInsideTheClipAndThePicture) {
    Canvas canvas(10, 10, 0);
    canvas.set_clip({2, 2, 50, 5});
    canvas.fill_even_odd({square(-100, -100, 100, 100)}, 1);
    EXPECT_EQ(count(canvas, 1), 8 * 3);
    canvas.reset_clip();
    canvas.fill_even_odd({{{1e300, 0}, {-1e300, 5}, {0, 1e300}}}, 2);  // absurd but must not write outside
    canvas.draw_line({-1e9, -1e9}, {1e9, 1e9}, 3);
    canvas.fill_disc(-5, -5, 3, 4);
    EXPECT_EQ(count(canvas, 4), 0);
}

TEST(PolygonProjection, ShapeAcrossTheAntimeridianDrawsNoStripe) {
    // Fiji-like: 177 E to 178 W, cut into pieces the way the data comes, and
    // one ring that simply runs across 180.
    Polygon across = {{{177, -16}, {-178, -16}, {-178, -19}, {177, -19}, {177, -16}}};
    Canvas canvas(360, 180, 0);
    canvas.fill_even_odd(project_polygon(across, world()), 1);
    // On a map centred at 0 the shape shows at both edges, never between.
    EXPECT_EQ(count(canvas, 1, {0, 0, 2, 180}) + count(canvas, 1, {357, 0, 360, 180}), 5 * 3);
    EXPECT_EQ(count(canvas, 1, {2, 0, 357, 180}), 0);
    // Centred on the Pacific it is one piece in the middle.
    Canvas pacific(360, 180, 0);
    pacific.fill_even_odd(project_polygon(across, Projection(180, 0, 0, 1, 180, 90)), 1);
    EXPECT_EQ(count(pacific, 1), 15);
    EXPECT_EQ(count(pacific, 1, {177, 106, 182, 109}), 15);
}

TEST(PolygonProjection, RingRoundAPoleIsClosedAlongThePole) {
    // An Antarctica-like cap: a coast at 70 S all the way round, running
    // across the antimeridian as the data has it.
    Ring coast;
    for (int lon = -180; lon <= 180; lon += 30) coast.push_back({static_cast<double>(lon), -70});
    Canvas canvas(360, 180, 0);
    canvas.fill_even_odd(project_polygon({coast}, world()), 1);
    EXPECT_EQ(count(canvas, 1), 360 * 20);                 // everything south of 70 S
    EXPECT_EQ(count(canvas, 1, {0, 160, 360, 180}), 360 * 20);
    // The cap of the data, a second ring hugging the pole, leaves the land.
    Ring pole;
    for (int lon = 180; lon >= -180; lon -= 45) pole.push_back({static_cast<double>(lon), -89.999});
    Canvas both(360, 180, 0);
    both.fill_even_odd(project_polygon({pole, coast}, world()), 1);
    EXPECT_EQ(count(both, 1), 360 * 20);
}

TEST(LineProjection, DropsTheCutsAlongTheAntimeridianAndPoles) {
    Ring along = {{180, 60}, {180, 65}, {175, 66}};
    std::vector<PixelRing> pieces = project_line(along, world());
    ASSERT_EQ(pieces.size(), 3u);  // one piece, repeated a turn either side
    EXPECT_EQ(pieces[1].size(), 2u);
    Ring pole = {{-10, -89.9999}, {10, -89.9999}};
    EXPECT_TRUE(project_line(pole, world()).empty());
}

TEST(TopoJson, AssemblesRingsFromSharedDeltaEncodedArcs) {
    // Two unit squares side by side sharing the arc x = 1; B walks it
    // backwards (~0). Quantized: scale 0.5, translate (10, 20).
    json topology = json::parse(R"({
      "type": "Topology",
      "transform": {"scale": [0.5, 0.5], "translate": [10, 20]},
      "arcs": [[[2, 0], [0, 2]],
               [[2, 2], [-2, 0], [0, -2], [2, 0]],
               [[2, 0], [2, 0], [0, 2], [-2, 0]]],
      "objects": {"shapes": {"type": "GeometryCollection", "geometries": [
        {"type": "Polygon", "id": "A", "properties": {"name": "Left"}, "arcs": [[0, 1]]},
        {"type": "MultiPolygon", "id": 7, "arcs": [[[2, -1]]]},
        {"type": null},
        {"type": "Point", "coordinates": [0, 0]}]}}})");
    std::string error;
    std::optional<Topology> t = decode_topojson(topology, "shapes", error);
    ASSERT_TRUE(t) << error;
    ASSERT_EQ(t->features.size(), 2u);
    EXPECT_EQ(t->features[0].id, "A");
    EXPECT_EQ(t->features[0].name, "Left");
    EXPECT_EQ(t->features[1].id, "7");
    const Ring& left = t->features[0].polygons.at(0).at(0);
    ASSERT_EQ(left.size(), 5u);  // the shared end point appears once
    EXPECT_DOUBLE_EQ(left[0].lon, 11);
    EXPECT_DOUBLE_EQ(left[0].lat, 20);
    EXPECT_DOUBLE_EQ(left[2].lon, 10);
    EXPECT_DOUBLE_EQ(left[2].lat, 21);
    const Ring& right = t->features[1].polygons.at(0).at(0);
    EXPECT_DOUBLE_EQ(right.back().lon, 11);  // arc 0 reversed ends at its start
    EXPECT_DOUBLE_EQ(right.back().lat, 20);
    auto pairs = neighbours(*t);
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0], std::make_pair(0, 1));
}

TEST(TopoJson, RefusesMalformedTopologies) {
    std::string error;
    json badIndex = json::parse(R"({"type": "Topology", "arcs": [[[0, 0], [1, 1]]],
      "objects": {"s": {"geometries": [{"type": "Polygon", "arcs": [[3]]}]}}})");
    EXPECT_FALSE(decode_topojson(badIndex, "s", error));
    EXPECT_NE(error.find("out of range"), std::string::npos);
    json badReverse = badIndex;
    badReverse["objects"]["s"]["geometries"][0]["arcs"] = json::parse("[[-5]]");
    EXPECT_FALSE(decode_topojson(badReverse, "s", error));
    json noObject = badIndex;
    EXPECT_FALSE(decode_topojson(noObject, "other", error));
    json wrongType = json::parse(R"({"type": "Topology", "arcs": "none", "objects": {}})");
    EXPECT_FALSE(decode_topojson(wrongType, "s", error));
    EXPECT_FALSE(decode_topojson(json::parse(R"({"type": "FeatureCollection"})"), "s", error));
}

TEST(CanvasText, MasksDrawThroughTheirRampAndClip) {
    Canvas canvas(4, 2, 0);
    CoverageMask mask{3, 1, {0, 128, 255}};
    canvas.set_clip({0, 0, 2, 2});
    canvas.draw_mask(0, 0, mask, {7, 8, 9}, 16);
    EXPECT_EQ(canvas.at(0, 0), 0);  // below the threshold
    EXPECT_EQ(canvas.at(1, 0), 8);  // half coverage, middle of the ramp
    EXPECT_EQ(canvas.at(2, 0), 0);  // clipped
    canvas.reset_clip();
    canvas.draw_mask(1, 1, mask, {7, 8, 9}, 16);
    EXPECT_EQ(canvas.at(3, 1), 9);
}

}  // namespace
