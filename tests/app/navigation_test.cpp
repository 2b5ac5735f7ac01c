// Moving between maps through mapfolio-script: Forward along a link, Back
// through the history, Home, the views maps keep, the images loaded and
// released on the way, and the beeps when a map's image is not there.
#include "tests/app/plain_guide.h"
#include "tests/app/script_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using app_test::GuideCopy;
using app_test::LiveRun;
using app_test::PlainGuide;
using app_test::run_script;
using app_test::run_script_file;
using nlohmann::json;

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

// On the harbour as it opens, window pixel (x, y) is map pixel (x + 120,
// y + 66): this tap lands in the hot rectangle of the link to the Market
// (a target rectangle).
constexpr const char* kToMarket = "tap 220 150\nbutton Forward\n";
// On the Market as Forward opens it (centred on the top rows, 14 pixels
// of margin above): its north-west corner links to the Old Town.
constexpr const char* kMarketToOldTown = "tap 10 24\nbutton Forward\n";

TEST(Forward, APointTargetOpensOnTheNearestPlaceAndARectangleOnlyCentres) {
    auto run = run_script_file(kHarbour, "forward-targets.txt");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    const json& town = run.states[0];
    EXPECT_EQ(town["title"], "Old Town");
    EXPECT_EQ(town["current_map"], "Old Town");
    EXPECT_EQ(town["center"], json({180, 150}));
    EXPECT_EQ(town["selected_location"], "Town Museum");
    EXPECT_EQ(town["flags"], json({{"PopupShown", true}, {"ViewActive", true}, {"LinkHighlighted", false},
                                   {"BackAvailable", true}}));
    EXPECT_EQ(town["popup"]["text"], "Town Museum - Local history");
    EXPECT_EQ(town["history"], json({"Harbour"}));
    EXPECT_EQ(town["buttons"]["Back"], true);
    EXPECT_EQ(town["buttons"]["Forward"], false);
    EXPECT_EQ(town["sounds"], 2);

    // The tap at the Market link found no place; Forward selects none.
    const json& market = run.states[1];
    EXPECT_EQ(market["current_map"], "Market");
    EXPECT_EQ(market["flags"]["PopupShown"], false);
    EXPECT_EQ(market["popup"]["visible"], false);
    EXPECT_EQ(market["history"], json({"Harbour", "Old Town", "Harbour"}));
    // The map left is not the home or main map only when it is the Market.
    EXPECT_EQ(market["images"], json({"Harbour", "Old Town", "Market"}));
}

// Twelve plain maps in a chain: each map's whole area links to the next.
PlainGuide chain_guide() {
    PlainGuide guide;
    auto name = [](int i) { return std::string(i < 10 ? "M0" : "M") + std::to_string(i); };
    for (int i = 0; i < 12; ++i) {
        const std::string file = i == 0 ? "HOME.DAB" : i == 1 ? "MAIN.DAB" : name(i) + ".DAB";
        const std::string link = i == 11 ? "" : "<Related Maps>\n" + name(i) + ",0,0,300,300," + name(i + 1) +
                                                    ",0,0,300,300\n</Related Maps>\n";
        guide.add_map(file, name(i), 300, 300, link);
    }
    return guide;
}

TEST(History, ElevenNavigationsAndElevenBacksBringTheLastTenMapsBackMostRecentFirst) {
    PlainGuide guide = chain_guide();
    std::string script;
    for (int i = 0; i < 11; ++i) script += "tap 120 134\nbutton Forward\n";
    script += "state\n";
    for (int i = 0; i < 10; ++i) script += "button Back\nstate\n";
    // The button is disabled by now; the command still comes through.
    script += "command 40100\nstate\n";
    auto run = run_script(guide.path(), script);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 12u);
    const json& far = run.states[0];
    EXPECT_EQ(far["current_map"], "M11");
    EXPECT_EQ(far["history"], json({"M01", "M02", "M03", "M04", "M05", "M06", "M07", "M08", "M09", "M10"}));
    EXPECT_EQ(far["images"], json({"M00", "M11", "M01"}));  // slot order: HOME, M02..M11, MAIN
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("Back " + std::to_string(k));
        const json& state = run.states[k];
        const std::string expected = (11 - k < 10 ? "M0" : "M") + std::to_string(11 - k);
        EXPECT_EQ(state["current_map"], expected);
        EXPECT_EQ(state["title"], expected);
        EXPECT_EQ(state["history"].size(), static_cast<std::size_t>(10 - k));
        EXPECT_EQ(state["buttons"]["Back"], k < 10);
        EXPECT_EQ(state["flags"]["BackAvailable"], k < 10);
        EXPECT_EQ(state["beeps"], 0);
    }
    EXPECT_EQ(run.states[1]["images"], json({"M00", "M10", "M01"}));
    const json& last = run.states[11];
    EXPECT_EQ(last["current_map"], "M01");
    EXPECT_EQ(last["beeps"], 1);
    EXPECT_EQ(last["history"], json::array());
    EXPECT_EQ(last["sounds"], 33);
}

TEST(Home, OnTheHomeMapItClicksRemovesThePopupAndDoesNothingElse) {
    auto run = run_script_file(kHarbour, "home-on-home-map.txt");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    const json& before = run.states[0];
    EXPECT_EQ(before["selected_location"], "Harbour Master");
    EXPECT_EQ(before["popup"]["visible"], true);
    const json& after = run.states[1];
    EXPECT_EQ(after["sounds"], 2);
    EXPECT_EQ(after["beeps"], 0);
    EXPECT_EQ(after["popup"]["visible"], false);
    EXPECT_EQ(after["flags"]["PopupShown"], false);
    EXPECT_EQ(after["selected_location"], "Harbour Master");
    EXPECT_EQ(after["current_map"], "Harbour");
    EXPECT_EQ(after["center"], json({240, 220}));
    EXPECT_EQ(after["history"], json::array());
    EXPECT_EQ(after["buttons"]["Back"], false);
}

TEST(Home, TheHomeMapComesBackWhereItWasLeftNotCentred) {
    auto run = run_script_file(kHarbour, "home-where-left.txt");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const json& home = run.states.at(0);
    EXPECT_EQ(home["current_map"], "Harbour");
    EXPECT_EQ(home["title"], "Harbour");
    EXPECT_EQ(home["center"], json({240, 220}));
    EXPECT_EQ(home["history"], json({"Harbour", "Old Town"}));
    EXPECT_EQ(home["flags"]["BackAvailable"], true);
}

TEST(Back, AMapComesBackWithTheZoomAndCentreItWasLeftWithAfterOtherMaps) {
    // The Market's image is released when it is left, so what comes back
    // is its saved view, not a view that lived on.
    auto run = run_script_file(kHarbour, "back-keeps-view.txt");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 4u);
    const json& left = run.states[0];
    EXPECT_EQ(left["current_map"], "Market");
    EXPECT_EQ(left["zoom"], 150);
    EXPECT_EQ(left["center"], json({140, 140}));
    EXPECT_EQ(run.states[1]["current_map"], "Old Town");
    EXPECT_EQ(run.states[1]["images"], json({"Harbour", "Old Town"}));
    EXPECT_EQ(run.states[1]["history"], json({"Harbour", "Market", "Harbour"}));
    EXPECT_EQ(run.states[2]["current_map"], "Harbour");
    EXPECT_EQ(run.states[2]["zoom"], 100);
    EXPECT_EQ(run.states[2]["center"], json({240, 200}));
    const json& back = run.states[3];
    EXPECT_EQ(back["current_map"], "Market");
    EXPECT_EQ(back["title"], "Market");
    EXPECT_EQ(back["zoom"], 150);
    EXPECT_EQ(back["center"], json({140, 140}));
    EXPECT_EQ(back["history"], json({"Harbour"}));
    EXPECT_EQ(back["images"], json({"Harbour", "Old Town", "Market"}));
    EXPECT_EQ(back["beeps"], 0);
}

TEST(Forward, ALinkToItsOwnMapAndBackKeepTheViewTheMapHasAtTheBack) {
    GuideCopy guide;
    // Loop (the Old Town's picture) is reached from the harbour's shore at
    // map (130..200, 300..330), and its whole area links to its own point
    // (60, 60).
    guide.write("LOOP.DAB", "<Mapfolio Version>\n1\n<Name>\nLoop,Loop,Test\n<Related Maps>\n"
                            "Harbour,130,300,200,330,Loop,180,150,180,150\nLoop,0,0,360,300,Loop,60,60,60,60\n"
                            "</Related Maps>\n<Images>\noldtown.twk\n");
    auto run = run_script(guide.path(), "tap 40 250\nbutton Forward\nkey RIGHT\nstate\ntap 120 134\nbutton Forward\n"
                                        "state\nbutton Zoom In\nkey DOWN\nstate\nbutton Back\nstate\nbutton Back\n"
                                        "state\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 5u);
    EXPECT_EQ(run.states[0]["current_map"], "Loop");
    EXPECT_EQ(run.states[0]["center"], json({200, 150}));
    // Along its own link the map is left, loaded again at 100 % and
    // pushed; (60, 60) cannot be the middle, so the view starts at the
    // corner.
    EXPECT_EQ(run.states[1]["current_map"], "Loop");
    EXPECT_EQ(run.states[1]["center"], json({120, 134}));
    EXPECT_EQ(run.states[1]["history"], json({"Harbour", "Loop"}));
    EXPECT_EQ(run.states[2]["zoom"], 150);
    EXPECT_EQ(run.states[2]["center"], json({120, 154}));
    // Back leaves the map first: the view it had a moment ago is what
    // comes back, not the one of its first visit.
    const json& back = run.states[3];
    EXPECT_EQ(back["current_map"], "Loop");
    EXPECT_EQ(back["zoom"], 150);
    EXPECT_EQ(back["center"], json({120, 154}));
    EXPECT_EQ(back["history"], json({"Harbour"}));
    EXPECT_EQ(run.states[4]["current_map"], "Harbour");
    EXPECT_EQ(run.states[4]["history"], json::array());
    EXPECT_EQ(run.states[4]["images"], json({"Harbour", "Old Town"}));
}

TEST(Forward, ATargetWhoseImageDoesNotLoadBeepsAndGoesHomeWithoutPushing) {
    GuideCopy guide;
    guide.write("BROKEN.DAB", "<Mapfolio Version>\n1\n<Name>\nBroken,Broken,Test\n<Related Maps>\n"
                              "Market,100,100,200,200,Broken,0,0,0,0\n</Related Maps>\n<Images>\nmissing.twk\n");
    // Window (150, 150) is Market pixel (150, 136).
    auto run = run_script(guide.path(), std::string(kToMarket) + "tap 150 150\nstate\nbutton Forward\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    EXPECT_EQ(run.states[0]["link_target"], "Broken");
    const json& state = run.states[1];
    EXPECT_EQ(state["beeps"], 1);
    EXPECT_EQ(state["current_map"], "Harbour");
    EXPECT_EQ(state["title"], "Harbour");
    EXPECT_EQ(state["history"], json({"Harbour"}));
    EXPECT_EQ(state["flags"]["BackAvailable"], true);
    EXPECT_EQ(state["images"], json({"Harbour", "Old Town"}));
    EXPECT_EQ(state["flags"]["PopupShown"], false);
}

TEST(Back, AMapWhoseImageHasGoneBeepsAndGoesHome) {
    GuideCopy guide;
    LiveRun run({guide.path()});
    // Harbour, Market, Old Town; then the Market's picture goes.
    run.send(std::string(kToMarket) + kMarketToOldTown);
    json town = run.state();
    ASSERT_EQ(town["current_map"], "Old Town");
    ASSERT_EQ(town["history"], json({"Harbour", "Market"}));
    guide.remove("market.twk");
    run.send("button Back");
    json state = run.state();
    EXPECT_EQ(state["beeps"], 1);
    EXPECT_EQ(state["current_map"], "Harbour");
    EXPECT_EQ(state["title"], "Harbour");
    EXPECT_EQ(state["history"], json({"Harbour"}));
    EXPECT_EQ(state["images"], json({"Harbour", "Old Town"}));
    EXPECT_EQ(run.finish(), 0);
}

TEST(Buttons, ForwardIsEnabledWhileALinkIsFramedAndBackWhileTheHistoryHoldsAMap) {
    auto run = run_script_file(kHarbour, "buttons.txt");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 6u);
    const bool forward[] = {false, true, false, false, false, false};
    const bool back[] = {false, false, false, false, true, false};
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(run.states[i]["buttons"]["Forward"], forward[i]);
        EXPECT_EQ(run.states[i]["flags"]["LinkHighlighted"], forward[i]);
        EXPECT_EQ(run.states[i]["buttons"]["Back"], back[i]);
        EXPECT_EQ(run.states[i]["flags"]["BackAvailable"], back[i]);
    }
    EXPECT_EQ(run.states[4]["current_map"], "Old Town");
    EXPECT_EQ(run.states[5]["current_map"], "Harbour");
}

TEST(Forward, TheCommandWithoutALinkIsIgnored) {
    auto run = run_script_file(kHarbour, "forward-without-link.txt");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    const json& before = run.states[0];
    ASSERT_TRUE(before["link_target"].is_null());
    ASSERT_TRUE(before["selected_location"].is_null());
    const json& after = run.states[1];
    EXPECT_EQ(after["sounds"], before["sounds"].get<int>() + 1);
    EXPECT_EQ(after["beeps"], 0);
    EXPECT_EQ(after["current_map"], "Market");
    EXPECT_EQ(after["center"], before["center"]);
    EXPECT_EQ(after["zoom"], before["zoom"]);
    EXPECT_EQ(after["history"], json({"Harbour"}));
    EXPECT_EQ(after["images"], json({"Harbour", "Old Town", "Market"}));
}

}  // namespace
