// Map pictures on a tiny world: shading neighbours apart, drawing land, sea,
// coasts, dots and labels where they belong, and text from the font.
#include "tools/guide_builder/map_renderer.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const char* const kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

Polygon box(double w, double s, double e, double n) { return {{{w, s}, {e, s}, {e, n}, {w, n}, {w, s}}}; }

// Three countries that all touch (two halves of a square and a strip under
// both) and an island of another continent, sharing arcs as TopoJSON does.
Topology three_and_an_island() {
    Topology t;
    t.arcs = {{{0, 0}, {0, 10}},    // 0: A | B
              {{-10, 0}, {-10, 10}, {0, 10}}, {{0, 10}, {10, 10}, {10, 0}},  // 1: A's coast, 2: B's coast
              {{-10, 0}, {0, 0}, {10, 0}},  // 3: A, B | C
              {{-10, 0}, {-10, -5}, {10, -5}, {10, 0}}};  // 4: C's coast
    t.features.push_back({"A", "A", {box(-10, 0, 0, 10)}, {0, 1, 3}});
    t.features.push_back({"B", "B", {box(0, 0, 10, 10)}, {0, 2, 3}});
    t.features.push_back({"C", "C", {box(-10, -5, 10, 0)}, {3, 4}});
    t.features.push_back({"D", "D", {box(20, 20, 30, 30)}, {}});
    return t;
}

TEST(Shading, NeighboursOfOneContinentNeverShareAShade) {
    Topology t = three_and_an_island();
    std::vector<int> shades = shade_features(t, {"EU", "EU", "EU", "AF"});
    std::set<int> distinct(shades.begin(), shades.begin() + 3);
    EXPECT_EQ(distinct.size(), 3u);
    for (int s : shades) {
        EXPECT_GE(s, 0);
        EXPECT_LT(s, colours::kShades);
    }
    // Across continents the colours differ anyway, so shades may repeat.
    std::vector<int> apart = shade_features(t, {"EU", "AF", "AS", "EU"});
    EXPECT_EQ(apart[0], apart[1]);
    EXPECT_NE(land_colour("EU", 0), land_colour("AF", 0));
    EXPECT_NE(land_colour("EU", 0), land_colour("EU", 1));
    EXPECT_EQ(land_colour("XX", 0), colours::kNeutralLand);
    Palette palette = guide_palette();
    EXPECT_LE(palette.size(), 256u);
    EXPECT_GT(palette.size(), static_cast<size_t>(colours::kBlack));
    EXPECT_NE(palette[colours::kSea], palette[land_colour("OC", 0)]);
}

TEST(MapDrawing, DrawsSeaLandCoastsDotsAndLabelsInPlace) {
    Topology t = three_and_an_island();
    TextRenderer regular(kFont, 10), bold(kBoldFont, 10);
    ASSERT_TRUE(regular.ok()) << regular.error();
    ASSERT_TRUE(bold.ok()) << bold.error();
    // Four pixels a degree, longitude 0 at x 200 and the equator at y 150.
    std::vector<Panel> panels{{{0, 0, 400, 300}, Projection(0, 0, 0, 4, 200, 150), false}};
    Layer layer{&t, {land_colour("EU", 0), land_colour("EU", 1), land_colour("EU", 2), Layer::kNoFill},
                colours::kBorder, colours::kCoast};
    std::vector<Mark> marks{{{180, 130}, MarkKind::Capital, "Alpha", 0}, {{220, 162}, MarkKind::City, "Beta", 0}};
    Canvas canvas(400, 300, colours::kSea);
    int labels = render_map(canvas, panels, {layer}, marks, {&regular, &bold}, 0);

    EXPECT_EQ(canvas.at(150, 50), colours::kSea);
    EXPECT_EQ(canvas.at(170, 145), land_colour("EU", 0));  // inside A, away from lines and marks
    EXPECT_EQ(canvas.at(230, 140), land_colour("EU", 1));
    EXPECT_EQ(canvas.at(200, 165), land_colour("EU", 2));
    EXPECT_EQ(canvas.at(300, 50), colours::kSea);          // D is not filled
    EXPECT_EQ(canvas.at(200, 120), colours::kBorder);       // the A | B arc at x 200
    EXPECT_EQ(canvas.at(160, 120), colours::kCoast);        // A's west coast at x 160
    EXPECT_EQ(canvas.at(180, 130), colours::kCapital);
    EXPECT_EQ(canvas.at(220, 162), colours::kCity);
    EXPECT_EQ(canvas.at(0, 0), colours::kFrame);
    EXPECT_EQ(labels, 2);
    auto text_pixels = [&](PixelRect r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                n += canvas.at(x, y) >= colours::kTextRamp && canvas.at(x, y) < colours::kTextRamp + colours::kTextRampLength;
            }
        }
        return n;
    };
    EXPECT_GT(text_pixels({186, 120, 224, 140}), 10);  // "Alpha" to the right of its dot
    EXPECT_EQ(text_pixels({130, 120, 175, 140}), 0);   // and not to its left

    // A label that fits nowhere beside its dot is left out; the dot stays.
    Canvas small(40, 30, colours::kSea);
    std::vector<Panel> tiny{{{0, 0, 40, 30}, Projection(0, 0, 0, 1, 20, 15), false}};
    EXPECT_EQ(render_map(small, tiny, {}, {{{20, 15}, MarkKind::City, "A name far too long", 0}}, {&regular, &bold}, 0), 0);
    EXPECT_EQ(small.at(20, 15), colours::kCity);
}

TEST(MapDrawing, InsetsAreFramedAndKeepOtherLabelsOut) {
    Topology t = three_and_an_island();
    TextRenderer regular(kFont, 10), bold(kBoldFont, 10);
    std::vector<Panel> panels{{{0, 0, 200, 100}, Projection(0, 0, 0, 2, 100, 50), false},
                              {{120, 40, 190, 90}, Projection(25, 25, 0, 4, 155, 65), true}};
    Layer layer{&t, {Layer::kNoFill, Layer::kNoFill, Layer::kNoFill, land_colour("OC", 0)}, colours::kBorder,
                colours::kCoast};
    Canvas canvas(200, 100, colours::kSea);
    // A label to the right of (100, 60) would run into the inset.
    int labels = render_map(canvas, panels, {layer}, {{{100, 60}, MarkKind::City, "Longish name", 0}},
                            {&regular, &bold}, 0);
    EXPECT_EQ(canvas.at(155, 65), land_colour("OC", 0));  // the island, drawn in the inset
    EXPECT_EQ(canvas.at(119, 60), colours::kFrame);
    EXPECT_EQ(canvas.at(118, 60), colours::kWhite);
    EXPECT_EQ(labels, 1);  // placed, but on the left
    for (int y = 40; y < 90; ++y) {
        for (int x = 120; x < 190; ++x) {
            std::uint8_t c = canvas.at(x, y);
            ASSERT_FALSE(c >= colours::kTextRamp && c < colours::kTextRamp + colours::kTextRampLength) << x << "," << y;
        }
    }
}

TEST(Text, RendersTheFontsGlyphsIntoAMask) {
    TextRenderer font(kFont, 10);
    ASSERT_TRUE(font.ok()) << font.error();
    CoverageMask hello = font.render("Hello");
    EXPECT_GT(hello.width, 20);
    EXPECT_LT(hello.width, 40);
    EXPECT_GE(hello.height, 10);
    EXPECT_LE(hello.height, 16);
    int inked = 0;
    for (std::uint8_t c : hello.coverage) inked += c > 128;
    EXPECT_GT(inked, 15);
    EXPECT_GT(font.render("S\xC3\xA3o Tom\xC3\xA9").width, font.render("Sao Tome").width - 2);
    EXPECT_EQ(font.render("").width, 0);
    CoverageMask halo = TextRenderer::halo(hello, 1);
    EXPECT_EQ(halo.width, hello.width + 2);
    EXPECT_EQ(halo.height, hello.height + 2);
    int haloInk = 0;
    for (std::uint8_t c : halo.coverage) haloInk += c > 128;
    EXPECT_GT(haloInk, inked);
    TextRenderer missing("/nonexistent/font.ttf", 10);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("/nonexistent/font.ttf"), std::string::npos);
    EXPECT_EQ(missing.render("x").width, 0);
}

}  // namespace
