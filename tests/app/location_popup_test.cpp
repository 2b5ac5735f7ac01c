// The location popup: where the strip goes for a place in either half of
// the window, its height with and without a description, its text, the
// leader line on the map, and no popup for a place out of view.
#include "app/location_popup.h"
#include "tests/app/plain_guide.h"
#include "tests/app/script_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using app_test::kPlainLand;
using app_test::PlainGuide;
using app_test::run_script;
using app_test::Shot;
using nlohmann::json;
using testing_support::TempDir;

constexpr std::uint32_t kLeaderLine = 0x404040;

TEST(PopupPlacement, TheMiddleRowBelongsToTheUpperHalf) {
    struct Case {
        int height, y;
        bool described;
        int top, lineStart;
    };
    const Case cases[] = {
        {294, 147, true, 253, 253}, {294, 148, true, 0, 42},  {294, 147, false, 279, 279}, {294, 148, false, 0, 16},
        {294, 0, true, 253, 253},   {294, 294, true, 0, 42},  {268, 134, true, 227, 227},  {268, 135, true, 0, 42},
        {295, 147, true, 254, 254}, {295, 148, false, 0, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.height) + " " + std::to_string(c.y) + (c.described ? " described" : ""));
        const PopupPlacement place = PlaceLocationPopup(c.height, c.y, c.described);
        EXPECT_EQ(place.top, c.top);
        EXPECT_EQ(place.lineStart, c.lineStart);
    }
}

// A 1000 x 1000 map in a 240 x 294 window (screen 240 x 346): opened
// centred, window pixel (x, y) is map pixel (x + 380, y + 353).
PlainGuide popup_guide() {
    PlainGuide guide;
    guide.add_map("HOME.DAB", "Plain", 1000, 1000,
                  "<Locations>\nPlaces\n"
                  "440,500,Upper,Above the middle\n"   // window (60, 147)
                  "560,501,Lower,Below the middle\n"   // window (180, 148)
                  "480,393,Bare\n"                     // window (100, 40)
                  "410,603,Low Bare\n"                 // window (30, 250)
                  "580,603,Tagged,<B>Bold</B> text\n"  // window (200, 250)
                  "330,380,Beyond,Out of sight\n"      // window (-50, 27)
                  "</Locations>\n");
    guide.add_map("MAIN.DAB", "Second", 1000, 1000);
    return guide;
}

constexpr const char* kTallScreen = "MAPFOLIO_SCREEN=240x346";

// The rows of column x of the client area that hold the leader line.
std::pair<int, int> line_rows(const Shot& shot, int x) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < 294; ++y) {
        if (shot.client(x, y) != kLeaderLine) continue;
        if (first < 0) first = y;
        last = y;
    }
    return {first, last};
}

TEST(Popup, InA294PixelWindowRow147GetsTheStripAtTheBottomAndRow148AtTheTop) {
    PlainGuide guide = popup_guide();
    TempDir work;
    const std::string upper = work.file("upper.png");
    const std::string lower = work.file("lower.png");
    auto run = run_script(guide.path(),
                          "tap 60 147\nstate\nshot " + upper + "\ntap 180 148\nstate\nshot " + lower + "\n", "",
                          kTallScreen);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    ASSERT_EQ(run.states[0]["center"], json({500, 500}));
    ASSERT_EQ(run.states[0]["dest"], json({0, 0, 240, 294}));

    EXPECT_EQ(run.states[0]["selected_location"], "Upper");
    EXPECT_EQ(run.states[0]["popup"], json({{"visible", true}, {"rect", {-1, 253, 242, 295}},
                                            {"text", "Upper - Above the middle"}}));
    // The line runs up from under the strip, which covers the rows from
    // 253 down, to the place; the two-pixel pen takes in the columns 59
    // and 60 and reaches a row past the place's own.
    const Shot up(upper);
    EXPECT_EQ(line_rows(up, 60), std::make_pair(146, 252));
    EXPECT_EQ(line_rows(up, 59), std::make_pair(146, 252));
    EXPECT_EQ(line_rows(up, 58), std::make_pair(-1, -1));
    EXPECT_EQ(line_rows(up, 61), std::make_pair(-1, -1));
    EXPECT_EQ(up.client(120, 250), kPlainLand);
    EXPECT_NE(up.client(120, 260), kPlainLand);

    EXPECT_EQ(run.states[1]["selected_location"], "Lower");
    EXPECT_EQ(run.states[1]["popup"], json({{"visible", true}, {"rect", {-1, 0, 242, 42}},
                                            {"text", "Lower - Below the middle"}}));
    // From just under the strip (rows 0 to 41) down to the place.
    const Shot down(lower);
    EXPECT_EQ(line_rows(down, 180), std::make_pair(42, 148));
    EXPECT_EQ(line_rows(down, 179), std::make_pair(42, 148));
    EXPECT_EQ(line_rows(down, 181), std::make_pair(-1, -1));
    EXPECT_EQ(down.client(120, 45), kPlainLand);
    EXPECT_NE(down.client(120, 20), kPlainLand);
    // The last popup's line went with the repaint.
    EXPECT_EQ(down.client(60, 200), kPlainLand);
}

TEST(Popup, APlaceWithoutDescriptionGetsA16PixelStripWithItsNameAlone) {
    PlainGuide guide = popup_guide();
    auto run = run_script(guide.path(), "tap 100 40\nstate\ntap 30 250\nstate\ntap 200 250\nstate\n", "", kTallScreen);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 3u);
    EXPECT_EQ(run.states[0]["popup"], json({{"visible", true}, {"rect", {-1, 279, 242, 295}}, {"text", "Bare"}}));
    EXPECT_EQ(run.states[1]["popup"], json({{"visible", true}, {"rect", {-1, 0, 242, 16}}, {"text", "Low Bare"}}));
    // Markup in a description takes effect rather than showing.
    EXPECT_EQ(run.states[2]["popup"]["text"], "Tagged - Bold text");
    EXPECT_EQ(run.states[2]["popup"]["rect"], json({-1, 0, 242, 42}));
}

TEST(Popup, APlaceOutOfViewIsSelectedButGetsNoPopupAndNoLine) {
    PlainGuide guide = popup_guide();
    TempDir work;
    const std::string shot = work.file("beyond.png");
    // Window (2, 20) is map (382, 373), 53 map pixels from Beyond.
    auto run = run_script(guide.path(), "tap 2 20\nstate\nshot " + shot + "\n", "", kTallScreen);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const json& state = run.states.at(0);
    EXPECT_EQ(state["selected_location"], "Beyond");
    EXPECT_EQ(state["sounds"], 1);
    EXPECT_EQ(state["flags"]["PopupShown"], true);
    EXPECT_EQ(state["popup"]["visible"], false);
    EXPECT_EQ(Shot(shot).count_in_client(kPlainLand, 0, 294), 240 * 294);
}

TEST(Popup, EveryRepaintFillsTheStripAfresh) {
    PlainGuide guide = popup_guide();
    // The press hides the popup, the tap shows it again: twice the strip
    // is filled, and it holds the text once.
    auto run = run_script(guide.path(), "tap 60 147\nwait 600\ntap 60 147\nstate\n", "", kTallScreen);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const json& state = run.states.at(0);
    EXPECT_EQ(state["sounds"], 2);
    EXPECT_EQ(state["popup"], json({{"visible", true}, {"rect", {-1, 253, 242, 295}},
                                    {"text", "Upper - Above the middle"}}));
}

}  // namespace
