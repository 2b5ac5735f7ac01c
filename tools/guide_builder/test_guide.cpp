// test-guide-builder: draws the small harbour guide the tests and ./run.sh
// use (tests/data/guides/harbour): four maps of an imaginary harbour town,
// linked to one another, with places, topics and border images. It writes
// the databases into the guide directory and one palette PNG per image into
// the picture directory; scripts/build-test-guide encodes the pictures with
// `mapfolio-tool twk encode`. The same fonts give the same bytes.
//
//   test-guide-builder --font FILE --bold-font FILE --guide DIR --pictures DIR
#include "tools/guide_builder/canvas.h"
#include "tools/guide_builder/dab_writer.h"
#include "tools/guide_builder/text_renderer.h"
#include "tools/png_io.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The palette every picture of the guide shares.
enum Colour : std::uint8_t {
    kSea,
    kDeepSea,
    kLand,
    kPark,
    kRoad,
    kCasing,
    kBuilding,
    kBuildingDark,
    kQuay,
    kInk,
    kWaterInk,
    kRed,
    kSand,
    kRail,
    kWhite,
    kStrip,
    kStripInk,
    kSquare,
    kColourCount
};

const Palette kPalette = {
    {150, 190, 225}, {110, 160, 210}, {240, 232, 208}, {170, 210, 150}, {255, 255, 254}, {170, 160, 150},
    {215, 190, 170}, {180, 150, 130}, {200, 195, 185}, {30, 30, 30},    {40, 80, 150},   {200, 30, 30},
    {238, 220, 160}, {90, 90, 90},    {255, 255, 255}, {30, 60, 110},   {250, 250, 240}, {226, 214, 190},
};

struct Fonts {
    const TextRenderer* regular;
    const TextRenderer* bold;
    const TextRenderer* small;
};

PixelRing ring(std::initializer_list<PixelPoint> points) { return PixelRing(points); }

// A label with a halo of the given ground colour behind it.
void label(Canvas& canvas, const TextRenderer& font, const std::string& text, int x, int y, std::uint8_t ink,
           std::uint8_t ground) {
    CoverageMask mask = font.render(text);
    CoverageMask halo = TextRenderer::halo(mask, 1);
    canvas.draw_mask(x - 1, y - 1, halo, {ground}, 60);
    canvas.draw_mask(x, y, mask, {ink}, 96);
}

// A label centred on a point.
void centred_label(Canvas& canvas, const TextRenderer& font, const std::string& text, int cx, int cy,
                   std::uint8_t ink, std::uint8_t ground) {
    CoverageMask mask = font.render(text);
    label(canvas, font, text, cx - mask.width / 2, cy - mask.height / 2, ink, ground);
}

void road(Canvas& canvas, PixelPoint a, PixelPoint b, int width = 6) {
    canvas.draw_line(a, b, kCasing, width + 2);
    canvas.draw_line(a, b, kRoad, width);
}

// A block of houses: a rectangle of buildings with a darker back row.
void block(Canvas& canvas, int left, int top, int right, int bottom) {
    canvas.fill_rect(PixelRect{left, top, right, bottom}, kBuilding);
    canvas.frame_rect(PixelRect{left, top, right, bottom}, kBuildingDark);
    for (int x = left + 10; x < right - 4; x += 10) canvas.draw_line({double(x), double(top)}, {double(x), double(bottom)}, kBuildingDark);
}

// A place marker: a red dot with a white ring.
void marker(Canvas& canvas, int x, int y) {
    canvas.fill_disc(x + 0.5, y + 0.5, 4.5, kWhite);
    canvas.fill_disc(x + 0.5, y + 0.5, 3.2, kRed);
}

// A title strip for the top of a small map: a dark box on the land colour,
// whose top-left pixel then gives the margin round the map.
Canvas title_strip(const Fonts& fonts, int width, const std::string& title) {
    Canvas strip(width, 24, kLand);
    strip.fill_rect(PixelRect{2, 2, width - 2, 22}, kStrip);
    CoverageMask mask = fonts.bold->render(title);
    strip.draw_mask((width - mask.width) / 2, (24 - mask.height) / 2, mask, {kStripInk}, 96);
    return strip;
}

// A scale bar for the bottom of a small map: metres over a black and white
// bar.
Canvas scale_bar(const Fonts& fonts, int width, int barPixels, const std::string& text) {
    Canvas bar(width, 16, kLand);
    const int left = 6;
    bar.fill_rect(PixelRect{left, 10, left + barPixels, 14}, kInk);
    bar.fill_rect(PixelRect{left + barPixels / 4, 11, left + barPixels / 2, 13}, kWhite);
    bar.fill_rect(PixelRect{left + 3 * barPixels / 4, 11, left + barPixels, 13}, kWhite);
    CoverageMask mask = fonts.small->render(text);
    bar.draw_mask(left + barPixels + 6, 16 - mask.height, mask, {kInk}, 96);
    return bar;
}

// A compass rose for the left edge: N over an arrow.
Canvas compass(const Fonts& fonts) {
    Canvas rose(24, 60, kLand);
    rose.fill_even_odd({ring({{12, 14}, {18, 44}, {12, 38}, {6, 44}})}, kInk);
    centred_label(rose, *fonts.bold, "N", 12, 7, kInk, kLand);
    return rose;
}

// The harbour: the quay along a bay, two piers, the breakwater with the
// lighthouse, the old town behind the quay, the market and the station.
Canvas draw_harbour(const Fonts& fonts) {
    Canvas c(480, 400, kSea);
    c.fill_even_odd({ring({{180, 0}, {480, 0}, {480, 330}, {380, 318}, {300, 300}, {230, 270}, {200, 220},
                           {185, 150}, {170, 80}})},
                    kLand);
    // The quay follows the shore, with two piers into the bay.
    c.draw_polyline(ring({{172, 80}, {187, 150}, {202, 220}, {232, 268}, {300, 298}, {380, 316}, {480, 328}}),
                    kQuay, 8);
    c.fill_rect(PixelRect{140, 240, 210, 252}, kQuay);
    c.fill_rect(PixelRect{250, 290, 262, 360}, kQuay);
    // The breakwater and the lighthouse at its end.
    c.draw_line({60, 380}, {100, 300}, kQuay, 10);
    c.fill_disc(96, 300, 7, kWhite);
    c.fill_disc(96, 300, 4, kRed);
    // The island, off in the bay.
    c.fill_even_odd({ring({{22, 30}, {40, 22}, {70, 26}, {78, 44}, {60, 56}, {30, 54}})}, kSand);
    c.fill_even_odd({ring({{32, 34}, {48, 28}, {66, 32}, {68, 44}, {54, 50}, {36, 48}})}, kPark);
    // The park on the hill.
    c.fill_even_odd({ring({{330, 20}, {410, 20}, {425, 48}, {350, 52}})}, kPark);
    // Streets.
    road(c, {190, 120}, {470, 120});
    road(c, {205, 190}, {470, 190});
    road(c, {230, 255}, {470, 250});
    road(c, {250, 20}, {260, 280});
    road(c, {320, 20}, {325, 300});
    road(c, {440, 70}, {440, 320});
    // The railway to the station.
    c.draw_line({480, 80}, {380, 80}, kRail, 3);
    c.fill_rect(PixelRect{385, 70, 440, 92}, kBuildingDark);
    // Blocks of the old town (the framed district) and of the rest.
    block(c, 205, 105, 245, 115);
    block(c, 212, 128, 245, 182);
    block(c, 266, 128, 315, 182);
    block(c, 266, 100, 315, 114);
    block(c, 335, 128, 430, 182);
    block(c, 266, 198, 315, 245);
    block(c, 335, 98, 430, 112);
    // The market square.
    c.fill_rect(PixelRect{335, 200, 430, 242}, kSquare);
    for (int x = 345; x < 425; x += 16) c.fill_rect(PixelRect{x, 210, x + 8, 232}, kBuildingDark);

    centred_label(c, *fonts.bold, "Old Town", 260, 158, kInk, kLand);
    centred_label(c, *fonts.bold, "Market", 382, 221, kInk, kSquare);
    centred_label(c, *fonts.regular, "Station", 412, 62, kInk, kLand);
    centred_label(c, *fonts.regular, "Island", 50, 68, kWaterInk, kSea);
    centred_label(c, *fonts.bold, "Harbour Bay", 110, 170, kWaterInk, kSea);
    for (auto [x, y] : {std::pair{215, 275}, {405, 100}, {96, 300}, {150, 246}, {230, 200}}) marker(c, x, y);
    return c;
}

// The old town: a church square, narrow streets and the museum.
Canvas draw_old_town(const Fonts& fonts) {
    Canvas c(360, 300, kLand);
    c.fill_rect(PixelRect{0, 260, 70, 300}, kSea);
    c.draw_line({0, 258}, {72, 258}, kQuay, 6);
    c.draw_line({72, 258}, {72, 300}, kQuay, 6);
    road(c, {0, 60}, {360, 60});
    road(c, {0, 170}, {360, 180});
    road(c, {110, 0}, {120, 300});
    road(c, {250, 0}, {240, 300}, 4);
    road(c, {120, 120}, {240, 120}, 4);
    c.fill_rect(PixelRect{140, 70, 230, 110}, kSquare);
    block(c, 10, 72, 100, 160);
    block(c, 130, 130, 230, 165);
    block(c, 262, 72, 350, 165);
    block(c, 130, 192, 230, 290);
    block(c, 262, 192, 350, 290);
    block(c, 10, 10, 100, 50);
    block(c, 262, 10, 350, 50);
    // St. Mary's on the square.
    c.fill_rect(PixelRect{180, 76, 222, 94}, kBuildingDark);
    c.fill_rect(PixelRect{198, 70, 206, 78}, kInk);
    c.fill_even_odd({ring({{130, 10}, {230, 10}, {230, 50}, {130, 50}})}, kPark);
    centred_label(c, *fonts.bold, "Church Square", 185, 103, kInk, kSquare);
    centred_label(c, *fonts.regular, "Town Park", 180, 30, kInk, kPark);
    centred_label(c, *fonts.regular, "Harbour", 34, 282, kWaterInk, kSea);
    for (auto [x, y] : {std::pair{150, 150}, {200, 90}, {300, 120}, {60, 120}}) marker(c, x, y);
    return c;
}

// The island: dunes, a beach all round, the windmill and the ferry landing.
Canvas draw_island(const Fonts& fonts) {
    Canvas c(200, 150, kSea);
    c.fill_even_odd({ring({{20, 40}, {60, 15}, {140, 12}, {185, 50}, {178, 110}, {120, 140}, {50, 130}, {15, 90}})},
                    kSand);
    c.fill_even_odd({ring({{40, 45}, {70, 28}, {130, 26}, {165, 55}, {160, 100}, {115, 122}, {60, 115}, {35, 85}})},
                    kPark);
    c.fill_rect(PixelRect{150, 118, 190, 124}, kQuay);
    road(c, {70, 60}, {155, 118}, 3);
    c.fill_disc(140, 60, 5, kBuildingDark);
    c.draw_line({134, 54}, {146, 66}, kInk, 1);
    c.draw_line({134, 66}, {146, 54}, kInk, 1);
    centred_label(c, *fonts.small, "Dunes", 90, 80, kInk, kPark);
    centred_label(c, *fonts.small, "Ferry", 172, 136, kWaterInk, kSea);
    for (auto [x, y] : {std::pair{60, 40}, {120, 128}, {140, 60}, {170, 121}}) marker(c, x, y);
    return c;
}

// The market quarter: the square with its stalls and the halls round it.
Canvas draw_market(const Fonts& fonts) {
    Canvas c(300, 240, kLand);
    road(c, {0, 30}, {300, 30});
    road(c, {0, 210}, {300, 210});
    road(c, {30, 0}, {30, 240});
    road(c, {270, 0}, {270, 240});
    c.fill_rect(PixelRect{50, 50, 250, 190}, kSquare);
    for (int y = 70; y < 180; y += 28) {
        for (int x = 70; x < 240; x += 30) c.fill_rect(PixelRect{x, y, x + 18, y + 12}, kBuildingDark);
    }
    block(c, 50, 2, 250, 20);
    block(c, 50, 220, 250, 238);
    block(c, 2, 50, 20, 190);
    block(c, 280, 50, 298, 190);
    centred_label(c, *fonts.bold, "Market Square", 150, 120, kInk, kSquare);
    for (auto [x, y] : {std::pair{85, 76}, {205, 160}, {150, 10}, {289, 120}}) marker(c, x, y);
    return c;
}

DabDatabase harbour_database() {
    DabDatabase d;
    d.name = "Harbour";
    d.secondText = "Harbour district";
    d.thirdText = "Test guide";
    d.topics = {{"About this guide",
                 "<P>A small guide of an imaginary harbour town, made for testing: four maps linked to one another.</P>"},
                {"Getting around",
                 "<P>Tap the <B>Old Town</B>, the <B>Market</B> or the <B>Island</B> and press Forward to open its "
                 "map.</P>"}};
    d.categories = {{"Cafes", {{215, 275, "Quay Cafe", "Open all day"}, {405, 100, "Station Cafe", ""}}},
                    {"Sights",
                     {{96, 300, "Lighthouse", "<B>Built 1871</B>"}, {230, 200, "Harbour Master", "The old customs house"}}},
                    {"Transport", {{150, 246, "Ferry Pier", "Boats to the island every hour"}}}};
    d.relatedMaps = {{"Harbour", {205, 100, 320, 185}, "Old Town", {180, 150, 180, 150}},
                     {"Harbour", {18, 20, 82, 60}, "Island", {10, 10, 190, 140}},
                     {"Harbour", {330, 195, 435, 248}, "Market", {50, 50, 250, 190}}};
    d.image = "harbour.twk";
    d.borderImages = {{"harbour-title.twk", 0}};
    return d;
}

DabDatabase old_town_database() {
    DabDatabase d;
    d.name = "Old Town";
    d.secondText = "Old town centre";
    d.thirdText = "Test guide";
    d.topics = {{"History", "<P>The old town grew round <B>St. Mary's</B> church in the 13th century.</P>"}};
    d.categories = {{"Museums", {{150, 150, "Town Museum", "Local history"}}},
                    {"Churches", {{200, 90, "St. Mary's", "Open daily"}}},
                    {"Shops", {{300, 120, "Book Shop", "Maps and guides"}, {60, 120, "Bakery", ""}}}};
    d.relatedMaps = {{"Old Town", {0, 258, 72, 300}, "Harbour", {232, 268, 232, 268}},
                     {"Old Town", {262, 192, 350, 290}, "Market", {0, 0, 300, 240}}};
    d.image = "oldtown.twk";
    d.borderImages = {{"oldtown-title.twk", 0}, {"compass.twk", 3}};
    return d;
}

DabDatabase island_database() {
    DabDatabase d;
    d.name = "Island";
    d.secondText = "The island";
    d.thirdText = "Test guide";
    d.topics = {{"The island", "<P>Sand, dunes and a windmill; the ferry lands at the east end.</P>"}};
    d.categories = {{"Beaches", {{60, 40, "North Beach", "Sand and dunes"}, {120, 128, "South Cove", ""}}},
                    {"Sights", {{140, 60, "Windmill", "Still grinding"}}},
                    {"Transport", {{170, 121, "Ferry Landing", "Back to the harbour"}}}};
    d.relatedMaps = {{"Island", {150, 110, 200, 135}, "Harbour", {150, 246, 150, 246}}};
    d.image = "island.twk";
    d.borderImages = {{"island-title.twk", 0}, {"island-scale.twk", 2}};
    return d;
}

DabDatabase market_database() {
    DabDatabase d;
    d.name = "Market";
    d.secondText = "Market quarter";
    d.thirdText = "Test guide";
    d.topics = {{"Market days", "<P>Stalls on Tuesdays and Saturdays; the fish hall opens at dawn.</P>"}};
    d.categories = {{"Food", {{85, 76, "Fish Stall", "Fresh every morning"}, {205, 160, "Cheese Stall", ""}}},
                    {"Halls", {{150, 10, "Fish Hall", "Opens at dawn"}, {289, 120, "Corn Exchange", ""}}}};
    d.relatedMaps = {{"Market", {0, 0, 28, 28}, "Old Town", {262, 192, 350, 290}}};
    d.image = "market.twk";
    return d;
}

bool save_picture(const std::string& dir, const std::string& name, const Canvas& canvas, std::string& error) {
    return write_png(dir + "/" + name + ".png", canvas.with_palette(kPalette), &error);
}

bool save_database(const std::string& dir, const std::string& file, const DabDatabase& database, std::string& error) {
    auto bytes = write_dab(database, error);
    if (!bytes) return false;
    std::ofstream out(dir + "/" + file, std::ios::binary);
    out << *bytes;
    if (!out) {
        error = "cannot write " + dir + "/" + file;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string font, boldFont, guide, pictures;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string* target = std::strcmp(argv[i], "--font") == 0        ? &font
                              : std::strcmp(argv[i], "--bold-font") == 0 ? &boldFont
                              : std::strcmp(argv[i], "--guide") == 0     ? &guide
                              : std::strcmp(argv[i], "--pictures") == 0  ? &pictures
                                                                          : nullptr;
        if (target == nullptr) break;
        *target = argv[i + 1];
    }
    if (font.empty() || boldFont.empty() || guide.empty() || pictures.empty()) {
        std::fprintf(stderr, "usage: test-guide-builder --font FILE --bold-font FILE --guide DIR --pictures DIR\n");
        return 2;
    }
    TextRenderer regular(font, 12), bold(boldFont, 12), small(font, 10);
    for (const TextRenderer* r : {&regular, &bold, &small}) {
        if (!r->ok()) {
            std::fprintf(stderr, "test-guide-builder: %s\n", r->error().c_str());
            return 1;
        }
    }
    const Fonts fonts{&regular, &bold, &small};
    std::string error;
    const bool ok = save_picture(pictures, "harbour", draw_harbour(fonts), error) &&
                    save_picture(pictures, "harbour-title", title_strip(fonts, 180, "Harbour"), error) &&
                    save_picture(pictures, "oldtown", draw_old_town(fonts), error) &&
                    save_picture(pictures, "oldtown-title", title_strip(fonts, 160, "Old Town"), error) &&
                    save_picture(pictures, "compass", compass(fonts), error) &&
                    save_picture(pictures, "island", draw_island(fonts), error) &&
                    save_picture(pictures, "island-title", title_strip(fonts, 200, "The Island"), error) &&
                    save_picture(pictures, "island-scale", scale_bar(fonts, 200, 100, "200 m"), error) &&
                    save_picture(pictures, "market", draw_market(fonts), error) &&
                    save_database(guide, "HOME.DAB", harbour_database(), error) &&
                    save_database(guide, "MAIN.DAB", old_town_database(), error) &&
                    save_database(guide, "ISLAND.DAB", island_database(), error) &&
                    save_database(guide, "MARKET.DAB", market_database(), error);
    if (!ok) {
        std::fprintf(stderr, "test-guide-builder: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
