// The stylus and the keys on the map, as a user sees them through
// mapfolio-script: what a tap selects, where a press turns into a drag, the
// held press, the double tap, and the keys.
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

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

constexpr std::uint32_t kLeaderLine = 0x404040;
constexpr std::uint32_t kOverviewGrey = 0xC0C0C0;
constexpr std::uint32_t kLinkBlue = 0x0000FF;

// Two 1000 x 1000 maps. The home map opens centred: window pixel (x, y) is
// map pixel (x + 380, y + 366). The press point of the drag cases, window
// (100, 150), lies exactly 100 map pixels right of Mark; Well and the link's
// hot rectangle lie well away from both.
PlainGuide stylus_guide() {
    PlainGuide guide;
    guide.add_map("HOME.DAB", "Plain", 1000, 1000,
                  "<Locations>\nMarks\n380,516,Mark,Forty paces\n550,426,Well\n</Locations>\n"
                  "<Related Maps>\nPlain,520,560,600,620,Second,100,100,200,200\n</Related Maps>\n");
    guide.add_map("MAIN.DAB", "Second", 1000, 1000);
    return guide;
}

// After a tap a second press within half a second and four pixels would be
// a double tap; the cases keep clear of that.
constexpr const char* kPause = "wait 600\n";

TEST(Taps, APlaceWithinAHundredMapPixelsIsSelectedAndAFartherTapClearsItSilently) {
    PlainGuide guide = stylus_guide();
    auto run = run_script(guide.path(), std::string("tap 100 150\nstate\n") + kPause + "tap 101 150\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    const json& hit = run.states[0];
    EXPECT_EQ(hit["selected_location"], "Mark");
    EXPECT_TRUE(hit["link_target"].is_null());
    EXPECT_EQ(hit["sounds"], 1);
    EXPECT_EQ(hit["flags"]["PopupShown"], true);
    EXPECT_EQ(hit["popup"]["visible"], true);
    EXPECT_EQ(hit["popup"]["text"], "Mark - Forty paces");
    EXPECT_EQ(hit["center"], json({500, 500}));
    // 101 map pixels away: nothing is near, and nothing is heard.
    const json& miss = run.states[1];
    EXPECT_TRUE(miss["selected_location"].is_null());
    EXPECT_TRUE(miss["link_target"].is_null());
    EXPECT_EQ(miss["sounds"], 1);
    EXPECT_EQ(miss["flags"]["PopupShown"], true);
    EXPECT_EQ(miss["popup"]["visible"], false);
    EXPECT_EQ(miss["buttons"]["Forward"], false);
}

TEST(Taps, ATapBesideTheDrawnMapClearsTheSelectionAndTheLink) {
    // At 50 % the harbour (480 x 400) is 200 pixels high, drawn from window
    // row 34; above it lies its title strip.
    auto run = run_script(kHarbour, "tap 150 60\nstate\nbutton Zoom Out\nstate\ntap 120 10\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 3u);
    EXPECT_EQ(run.states[0]["selected_location"], "Harbour Master");
    EXPECT_EQ(run.states[0]["link_target"], "Old Town");
    // The zoom takes the popup and the frame away but forgets neither.
    EXPECT_EQ(run.states[1]["zoom"], 50);
    EXPECT_EQ(run.states[1]["dest"], json({0, 34, 240, 200}));
    EXPECT_EQ(run.states[1]["selected_location"], "Harbour Master");
    EXPECT_EQ(run.states[1]["link_target"], "Old Town");
    EXPECT_EQ(run.states[1]["flags"]["LinkHighlighted"], false);
    const json& beside = run.states[2];
    EXPECT_TRUE(beside["selected_location"].is_null());
    EXPECT_TRUE(beside["link_target"].is_null());
    EXPECT_EQ(beside["sounds"], 2);  // the tap, and the zoom's click
    EXPECT_EQ(beside["flags"]["PopupShown"], true);
    EXPECT_EQ(beside["flags"]["LinkHighlighted"], false);
    EXPECT_EQ(beside["popup"]["visible"], false);
    EXPECT_EQ(beside["buttons"]["Forward"], false);
}

// A press at window (100, 150), a first move far off, a second move to
// (x, y), and the release there.
std::string press_move_release(int x, int y) {
    const std::string to = std::to_string(x) + " " + std::to_string(y);
    return "press 100 150\nmove 160 40\nmove " + to + "\nrelease " + to + "\nstate\n" + kPause;
}

TEST(Drags, SixPixelsIsStillATapAtThePressAndSevenMakesTheTapAtTheCrossing) {
    PlainGuide guide = stylus_guide();
    struct Case {
        int x, y;
        bool tapAtPress;  // else the tap lies at the crossing point, 107 or 100.2 map pixels from Mark
    };
    const Case cases[] = {{106, 150, true}, {107, 150, false}, {100, 156, true},
                          {100, 157, false}, {106, 156, true},  {94, 144, true}};
    std::string script;
    for (const Case& c : cases) script += press_move_release(c.x, c.y);
    auto run = run_script(guide.path(), script);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), std::size(cases));
    int taps = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        const json& state = run.states[i];
        taps += c.tapAtPress;
        // A tap, wherever it lies: the move that crossed did not pan.
        EXPECT_EQ(state["center"], json({500, 500}));
        EXPECT_EQ(state["flags"]["PopupShown"], true);
        if (c.tapAtPress) {
            EXPECT_EQ(state["selected_location"], "Mark");
        } else {
            EXPECT_TRUE(state["selected_location"].is_null());
        }
        EXPECT_EQ(state["sounds"], taps);
    }
}

TEST(Drags, TheFirstMoveIsNotMeasuredHoweverFar) {
    PlainGuide guide = stylus_guide();
    // Measured, the move to (230, 20) would start a drag there, and the
    // release would tap Well.
    auto run = run_script(guide.path(), "press 100 150\nmove 230 20\nrelease 230 20\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.states.at(0)["selected_location"], "Mark");
    EXPECT_EQ(run.states.at(0)["center"], json({500, 500}));
}

TEST(Drags, TheMapFollowsTheStylusFromTheMoveAfterTheCrossing) {
    PlainGuide guide = stylus_guide();
    TempDir work;
    const std::string dragging = work.file("dragging.png");
    const std::string released = work.file("released.png");
    // The crossing at (110, 150) does not pan; the next move pans by (-20,
    // -10) window pixels, two map pixels each at 100 %.
    auto run = run_script(guide.path(), "press 100 150\nmove 101 150\nmove 110 150\nstate\nmove 130 160\nstate\nshot " +
                                            dragging + "\nrelease 130 160\nstate\nshot " + released + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 3u);
    EXPECT_EQ(run.states[0]["center"], json({500, 500}));
    EXPECT_EQ(run.states[1]["center"], json({460, 480}));
    // The release of a drag selects nothing and only redraws the map.
    EXPECT_EQ(run.states[2]["center"], json({460, 480}));
    EXPECT_TRUE(run.states[2]["selected_location"].is_null());
    EXPECT_EQ(run.states[2]["flags"]["PopupShown"], false);
    EXPECT_EQ(run.states[2]["sounds"], 0);
    // The overview frame shows in the top-left corner while dragging and
    // goes with the release.
    EXPECT_EQ(Shot(dragging).client(5, 5), kOverviewGrey);
    EXPECT_EQ(Shot(released).client(5, 5), kPlainLand);
}

// The window keeps the stylus during a drag, so a drag that leaves it above
// (into the navigation bar) or to the left goes on with negative positions
// and moves the map as far as the same drag inside the window.
TEST(Drags, ADragAcrossTheTopOrLeftEdgeMovesTheMapAsFarAsOneInside) {
    PlainGuide guide = stylus_guide();
    struct Case {
        const char* what;
        int x0, y0;  // the press; the drag begins 10 pixels on, towards the edge
        int dx, dy;  // the drag's direction
    };
    const Case cases[] = {
        {"up, inside", 100, 150, 0, -1},
        {"up, across the top edge", 100, 50, 0, -1},
        {"left, inside", 150, 100, -1, 0},
        {"left, across the left edge", 50, 100, -1, 0},
    };
    std::string script;
    for (const Case& c : cases) {
        auto at = [&](int step) {
            return std::to_string(c.x0 + c.dx * step) + " " + std::to_string(c.y0 + c.dy * step) + "\n";
        };
        script += "state\npress " + at(0) + "move " + at(1) + "move " + at(10) + "move " + at(70) + "release " +
                  at(70) + "state\n" + kPause;
    }
    auto run = run_script(guide.path(), script);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2 * std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const json& before = run.states[2 * i]["center"];
        const json& after = run.states[2 * i + 1]["center"];
        // 60 window pixels the other way, two map pixels each.
        const int moved[2] = {after[0].get<int>() - before[0].get<int>(), after[1].get<int>() - before[1].get<int>()};
        EXPECT_EQ(moved[0], -cases[i].dx * 120) << cases[i].what;
        EXPECT_EQ(moved[1], -cases[i].dy * 120) << cases[i].what;
    }
}

TEST(Holds, ThreeHundredMillisecondsShowTheOverviewFrameAndTheReleaseSelectsNothing) {
    PlainGuide guide = stylus_guide();
    TempDir work;
    const std::string at299 = work.file("299.png");
    const std::string at300 = work.file("300.png");
    const std::string released = work.file("released.png");
    auto held = run_script(guide.path(), "press 100 150\nwait 299\nshot " + at299 + "\nwait 1\nshot " + at300 +
                                             "\nrelease 100 150\nstate\nshot " + released + "\n");
    ASSERT_EQ(held.exitCode, 0) << held.errors;
    EXPECT_EQ(Shot(at299).client(5, 5), kPlainLand);
    EXPECT_EQ(Shot(at300).client(5, 5), kOverviewGrey);
    EXPECT_EQ(Shot(released).client(5, 5), kPlainLand);
    const json& state = held.states.at(0);
    EXPECT_TRUE(state["selected_location"].is_null());
    EXPECT_EQ(state["sounds"], 0);
    EXPECT_EQ(state["flags"]["PopupShown"], false);
    EXPECT_EQ(state["popup"]["visible"], false);
    EXPECT_EQ(state["center"], json({500, 500}));

    // Released a millisecond sooner, the press is a tap.
    auto quick = run_script(guide.path(), "press 100 150\nwait 299\nrelease 100 150\nstate\n");
    ASSERT_EQ(quick.exitCode, 0) << quick.errors;
    EXPECT_EQ(quick.states.at(0)["selected_location"], "Mark");
    EXPECT_EQ(quick.states.at(0)["sounds"], 1);

    // The crossing move lets the timer run on: held past it, the release
    // is no tap either.
    auto crossed = run_script(guide.path(), "press 100 150\nmove 101 150\nmove 110 150\nwait 300\nrelease 110 150\n"
                                            "state\n");
    ASSERT_EQ(crossed.exitCode, 0) << crossed.errors;
    EXPECT_TRUE(crossed.states.at(0)["selected_location"].is_null());
    EXPECT_EQ(crossed.states.at(0)["sounds"], 0);
}

TEST(DoubleTaps, TheSecondPressIsNoTapAndItsReleaseOnlyRedrawsTheMap) {
    PlainGuide guide = stylus_guide();
    TempDir work;
    const std::string first = work.file("first.png");
    const std::string second = work.file("second.png");
    const std::string held = work.file("held.png");
    // Well is at window (170, 60): its popup is at the bottom, and the line
    // runs up to it.
    auto run = run_script(guide.path(), "tap 170 60\nstate\nshot " + first + "\ntap 172 62\nstate\nshot " + second +
                                            "\n" + kPause + "tap 170 60\npress 170 60\nwait 400\nshot " + held +
                                            "\nrelease 170 60\nstate\n" + kPause + "tap 100 150\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 4u);
    EXPECT_EQ(run.states[0]["selected_location"], "Well");
    EXPECT_EQ(run.states[0]["sounds"], 1);
    EXPECT_EQ(Shot(first).client(170, 150), kLeaderLine);
    // The double tap neither clicks nor takes the popup away; the map is
    // drawn again over the line.
    EXPECT_EQ(run.states[1]["sounds"], 1);
    EXPECT_EQ(run.states[1]["selected_location"], "Well");
    EXPECT_EQ(run.states[1]["popup"]["visible"], true);
    EXPECT_EQ(Shot(second).client(170, 150), kPlainLand);
    // Held, the second press starts no timer: no overview frame.
    EXPECT_EQ(Shot(held).client(5, 5), kPlainLand);
    EXPECT_EQ(run.states[2]["sounds"], 2);
    // The next press after the pair is a tap again.
    EXPECT_EQ(run.states[3]["selected_location"], "Mark");
    EXPECT_EQ(run.states[3]["sounds"], 3);
}

TEST(Keys, EveryKeyTakesThePopupAndTheLinkFrameAway) {
    PlainGuide guide = stylus_guide();
    TempDir work;
    const std::string framed = work.file("framed.png");
    const std::string after = work.file("after.png");
    // Key 65 (A) has no action of its own.
    auto run = run_script(guide.path(), "tap 170 60\nkey 65\nstate\ntap 180 224\nstate\nshot " + framed +
                                            "\nkey 65\nstate\nshot " + after + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 3u);
    const json& popupGone = run.states[0];
    EXPECT_EQ(popupGone["flags"]["PopupShown"], false);
    EXPECT_EQ(popupGone["popup"]["visible"], false);
    EXPECT_EQ(popupGone["selected_location"], "Well");  // kept, only not shown
    EXPECT_EQ(popupGone["center"], json({500, 500}));
    EXPECT_EQ(popupGone["zoom"], 100);

    EXPECT_EQ(run.states[1]["flags"]["LinkHighlighted"], true);
    EXPECT_EQ(run.states[1]["buttons"]["Forward"], true);
    EXPECT_GT(Shot(framed).count_in_client(kLinkBlue, 0, 268), 0);
    const json& frameGone = run.states[2];
    EXPECT_EQ(frameGone["flags"]["LinkHighlighted"], false);
    EXPECT_EQ(frameGone["flags"]["PopupShown"], false);
    EXPECT_EQ(frameGone["buttons"]["Forward"], false);
    EXPECT_EQ(frameGone["link_target"], "Second");
    EXPECT_EQ(frameGone["center"], json({500, 500}));
    EXPECT_EQ(frameGone["sounds"], 2);  // keys make no sound
    EXPECT_EQ(Shot(after).count_in_client(kLinkBlue, 0, 268), 0);
    EXPECT_EQ(Shot(after).count_in_client(kPlainLand, 0, 268), 240 * 268);
}

TEST(Keys, ArrowsPanTenWindowPixelsAndEnterCyclesTheZoom) {
    PlainGuide guide = stylus_guide();
    // Ten window pixels are twenty map pixels at 100 %.
    auto run = run_script(guide.path(), "key UP\nstate\nkey RIGHT\nstate\nkey DOWN\nstate\nkey LEFT\nstate\n"
                                        "key RETURN\nstate\nkey RETURN\nstate\nkey RETURN\nstate\nkey RETURN\nstate\n"
                                        "key RETURN\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 9u);
    EXPECT_EQ(run.states[0]["center"], json({500, 480}));
    EXPECT_EQ(run.states[1]["center"], json({520, 480}));
    EXPECT_EQ(run.states[2]["center"], json({520, 500}));
    EXPECT_EQ(run.states[3]["center"], json({500, 500}));
    const int zooms[] = {150, 200, 250, 25, 35};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(run.states[4 + i]["zoom"], zooms[i]) << "after Enter " << i + 1;
    for (const json& state : run.states) EXPECT_EQ(state["sounds"], 0);
}

}  // namespace
