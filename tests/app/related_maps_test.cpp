// Related-map links: the point a tap carries over into the target
// rectangle, with rectangles up to the 32-bit limits; and, through
// mapfolio-script, which taps find a link, which record wins, the blue
// frame, and where Forward then opens the target map.
#include "app/related_maps.h"
#include "tests/app/plain_guide.h"
#include "tests/app/script_run.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using app_test::kPlainLand;
using app_test::PlainGuide;
using app_test::run_script;
using app_test::Shot;
using nlohmann::json;
using testing_support::TempDir;

constexpr std::uint32_t kLinkBlue = 0x0000FF;

void expect_point(POINT p, LONG x, LONG y) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
}

TEST(MapPointBetweenRects, ThePointKeepsItsPlaceInTheRectangle) {
    const RECT hot{1000, 2000, 1100, 2050};  // 100 x 50
    const RECT target{30, 40, 430, 240};     // 400 x 200
    expect_point(MapPointBetweenRects(POINT{1050, 2025}, hot, target), 230, 140);
    expect_point(MapPointBetweenRects(POINT{1000, 2000}, hot, target), 30, 40);
    expect_point(MapPointBetweenRects(POINT{1099, 2049}, hot, target), 426, 236);
    // The right and bottom edges, which no tap inside reaches, map onto
    // the target's.
    expect_point(MapPointBetweenRects(POINT{1100, 2050}, hot, target), 430, 240);
    // Left of or above the rectangle counts as its edge.
    expect_point(MapPointBetweenRects(POINT{900, 1000}, hot, target), 30, 40);
    // Divisions truncate: 99 * 3 / 100 and 49 * 3 / 50 are both 2.
    expect_point(MapPointBetweenRects(POINT{1099, 2049}, hot, RECT{0, 0, 3, 3}), 2, 2);
}

TEST(MapPointBetweenRects, RectanglesWithoutWidthOrHeightGiveTheTargetsEdge) {
    const RECT hot{0, 0, 100, 50};
    // A point target, and targets turned inside out.
    for (const RECT& target : {RECT{70, 80, 70, 80}, RECT{70, 80, 60, 60}}) {
        for (const POINT& p : {POINT{0, 0}, POINT{50, 25}, POINT{99, 49}})
            expect_point(MapPointBetweenRects(p, hot, target), 70, 80);
    }
    // A target of zero width keeps its height's scaling, and the other way
    // round.
    expect_point(MapPointBetweenRects(POINT{50, 25}, hot, RECT{70, 80, 70, 180}), 70, 130);
    expect_point(MapPointBetweenRects(POINT{50, 25}, hot, RECT{70, 80, 270, 80}), 170, 80);
    // So does a hot rectangle without width or height.
    expect_point(MapPointBetweenRects(POINT{50, 25}, RECT{50, 0, 50, 50}, RECT{0, 0, 400, 200}), 0, 100);
    expect_point(MapPointBetweenRects(POINT{50, 25}, RECT{0, 25, 100, 10}, RECT{0, 0, 400, 200}), 200, 0);
}

TEST(MapPointBetweenRects, HugeRectanglesComputeWithoutOverflowAndClampTo32Bits) {
    const RECT all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    // Differences of 2^32 - 1 and their products need 64 unsigned bits.
    expect_point(MapPointBetweenRects(POINT{INT_MAX, INT_MAX}, all, all), INT_MAX, INT_MAX);
    expect_point(MapPointBetweenRects(POINT{0, 0}, all, all), 0, 0);
    expect_point(MapPointBetweenRects(POINT{INT_MIN, INT_MIN}, all, all), INT_MIN, INT_MIN);
    const RECT positive{0, 0, INT_MAX, INT_MAX};
    expect_point(MapPointBetweenRects(POINT{INT_MAX - 1, INT_MAX - 2}, positive, positive), INT_MAX - 1, INT_MAX - 2);
    // (2^31 - 2) * 1000 / (2^31 - 1) is 999, where 32 bits would wrap.
    expect_point(MapPointBetweenRects(POINT{INT_MAX - 1, INT_MAX - 1}, positive, RECT{0, 0, 1000, 1000}), 999, 999);
    // Results past the 32-bit range are clamped to it.
    expect_point(MapPointBetweenRects(POINT{INT_MAX, INT_MAX}, RECT{INT_MIN, INT_MIN, INT_MIN + 1, INT_MIN + 1}, all),
                 INT_MAX, INT_MAX);
    const RECT corner{INT_MAX - 100, INT_MAX - 5, INT_MAX, INT_MAX};
    expect_point(MapPointBetweenRects(POINT{1000, 20}, RECT{0, 0, 10, 10}, corner), INT_MAX, INT_MAX);
}

// Two 1000 x 1000 maps; the home map opens centred, window pixel (x, y)
// being map pixel (x + 380, y + 366). extra goes into the home database
// before its link to the Target, whose hot rectangle is map (500, 500) to
// (600, 550): window (120, 134) to (220, 184).
PlainGuide link_guide(const std::string& extra = "") {
    PlainGuide guide;
    guide.add_map("HOME.DAB", "Plain", 1000, 1000,
                  "<Related Maps>\n" + extra + "Plain,500,500,600,550,Target,300,300,700,500\n</Related Maps>\n");
    guide.add_map("MAIN.DAB", "Target", 1000, 1000,
                  "<Locations>\nPosts\n800,900,Post,A hundred down\n500,450,Pillar\n</Locations>\n");
    return guide;
}

// Taps at the points, half a second apart, each followed by a state.
std::string taps(std::initializer_list<std::pair<int, int>> points) {
    std::string script;
    for (const auto& [x, y] : points)
        script += "tap " + std::to_string(x) + " " + std::to_string(y) + "\nstate\nwait 600\n";
    return script;
}

TEST(Links, TheHotRectangleHoldsItsLeftAndTopEdgesButNotItsRightAndBottom) {
    PlainGuide guide = link_guide();
    struct Case {
        int x, y;
        bool inside;
    };
    const Case cases[] = {{120, 150, true},  {119, 150, false}, {219, 150, true},  {220, 150, false},
                          {150, 134, true},  {150, 133, false}, {150, 183, true},  {150, 184, false},
                          {120, 134, true},  {219, 183, true},  {220, 184, false}};
    std::string script;
    for (const Case& c : cases) script += taps({{c.x, c.y}});
    auto run = run_script(guide.path(), script);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), std::size(cases));
    int sounds = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        const json& state = run.states[i];
        sounds += c.inside;
        EXPECT_EQ(state["link_target"], c.inside ? json("Target") : json());
        EXPECT_EQ(state["flags"]["LinkHighlighted"], c.inside);
        EXPECT_EQ(state["buttons"]["Forward"], c.inside);
        EXPECT_EQ(state["sounds"], sounds);  // no place anywhere near: the link alone clicks
    }
}

TEST(Links, ATapOnALinkFramesItInBlue) {
    PlainGuide guide = link_guide();
    TempDir work;
    const std::string shot = work.file("framed.png");
    auto run = run_script(guide.path(), "tap 170 159\nshot " + shot + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const Shot framed(shot);
    // A two-pixel outline on the hot rectangle's outermost window pixels:
    // those a tap finds the link in, 120 to 219 and 134 to 183.
    for (int y = 136; y < 182; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(framed.client(119, y), kPlainLand);
        EXPECT_EQ(framed.client(120, y), kLinkBlue);
        EXPECT_EQ(framed.client(121, y), kLinkBlue);
        EXPECT_EQ(framed.client(122, y), kPlainLand);
        EXPECT_EQ(framed.client(217, y), kPlainLand);
        EXPECT_EQ(framed.client(218, y), kLinkBlue);
        EXPECT_EQ(framed.client(219, y), kLinkBlue);
        EXPECT_EQ(framed.client(220, y), kPlainLand);
    }
    for (int x = 120; x < 220; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(framed.client(x, 133), kPlainLand);
        EXPECT_EQ(framed.client(x, 134), kLinkBlue);
        EXPECT_EQ(framed.client(x, 135), kLinkBlue);
        EXPECT_EQ(framed.client(x, 182), kLinkBlue);
        EXPECT_EQ(framed.client(x, 183), kLinkBlue);
        EXPECT_EQ(framed.client(x, 184), kPlainLand);
    }
    EXPECT_EQ(framed.client(170, 136), kPlainLand);
    EXPECT_EQ(framed.client(170, 181), kPlainLand);
    EXPECT_EQ(framed.count_in_client(kLinkBlue, 0, 268), 4 * 100 + 4 * 46);
}

TEST(Links, ForwardCarriesTheTapIntoTheTargetRectangle) {
    PlainGuide guide = link_guide();
    // The middle of the 100 x 50 hot rectangle, map (550, 525), lands 200,
    // 100 into the 400 x 200 target; its top-left corner on the target's.
    auto run = run_script(guide.path(), "tap 170 159\nbutton Forward\nstate\nbutton Back\ntap 120 134\nbutton Forward\n"
                                        "state\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    EXPECT_EQ(run.states[0]["current_map"], "Target");
    EXPECT_EQ(run.states[0]["center"], json({500, 400}));
    // A target rectangle opens on no place, though Pillar is near.
    EXPECT_TRUE(run.states[0]["selected_location"].is_null());
    EXPECT_EQ(run.states[0]["flags"]["PopupShown"], false);
    EXPECT_EQ(run.states[1]["center"], json({300, 300}));
}

TEST(Links, APointTargetOpensOnAPlaceAHundredMapPixelsAway) {
    // Window (40, 240) is map (420, 606).
    PlainGuide guide = link_guide("Plain,400,600,450,620,Target,800,800,800,800\n");
    auto run = run_script(guide.path(), "tap 40 240\nbutton Forward\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const json& state = run.states.at(0);
    EXPECT_EQ(state["current_map"], "Target");
    EXPECT_EQ(state["center"], json({800, 800}));
    EXPECT_EQ(state["selected_location"], "Post");
    EXPECT_EQ(state["popup"]["visible"], true);
    EXPECT_EQ(state["popup"]["text"], "Post - A hundred down");
}

TEST(Links, TheHomeMapsRecordsComeFirst) {
    PlainGuide guide = link_guide();
    // A.DAB takes the first slot, before HOME.DAB. Its record for the same
    // hot rectangle loses to the home map's; its own rectangle, and no
    // record whose source name differs in letter case, leads anywhere.
    guide.add_map("A.DAB", "Alpha", 300, 300,
                  "<Related Maps>\nPlain,500,500,600,550,Alpha,0,0,0,0\nPlain,400,400,450,450,Alpha,0,0,0,0\n"
                  "plain,600,600,650,650,Alpha,0,0,0,0\n</Related Maps>\n");
    auto run = run_script(guide.path(), taps({{170, 159}, {40, 60}, {230, 250}}));
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 3u);
    EXPECT_EQ(run.states[0]["maps"], json({"Alpha", "Plain", "Target"}));
    EXPECT_EQ(run.states[0]["link_target"], "Target");
    EXPECT_EQ(run.states[1]["link_target"], "Alpha");
    EXPECT_TRUE(run.states[2]["link_target"].is_null());
}

TEST(Links, AFirstRecordWhoseTargetMapIsMissingEndsTheSearchWithNoLink) {
    // The record to Nowhere applies first; the home map's own record to
    // the Target and the Target's record would both apply after it.
    PlainGuide guide;
    guide.add_map("HOME.DAB", "Plain", 1000, 1000,
                  "<Related Maps>\nPlain,500,500,600,550,Nowhere,0,0,0,0\n"
                  "Plain,500,500,600,550,Target,300,300,700,500\n</Related Maps>\n");
    guide.add_map("MAIN.DAB", "Target", 1000, 1000,
                  "<Related Maps>\nPlain,500,500,600,550,Target,0,0,0,0\n</Related Maps>\n");
    TempDir work;
    const std::string shot = work.file("nowhere.png");
    auto run = run_script(guide.path(), "tap 170 159\nstate\nshot " + shot + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const json& state = run.states.at(0);
    EXPECT_TRUE(state["link_target"].is_null());
    EXPECT_EQ(state["flags"]["LinkHighlighted"], false);
    EXPECT_EQ(state["buttons"]["Forward"], false);
    EXPECT_EQ(state["sounds"], 0);
    EXPECT_EQ(Shot(shot).count_in_client(kLinkBlue, 0, 268), 0);
}

}  // namespace
