// Starting the program, as the user sees it through mapfolio-script: the
// home map centred with its name, the loading log's failures, the menu bar
// as it comes up, and a second start while a copy runs.
#include "tests/app/script_run.h"
#include "tools/png_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using app_test::GuideCopy;
using app_test::run_script;
using app_test::small_database;
using nlohmann::json;
using testing_support::run_command;
using testing_support::shell_quote;
using testing_support::TempDir;

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

const json kInitialButtons = {{"Quit", true},     {"Find", true}, {"Information", true}, {"Zoom In", true},
                              {"Zoom Out", true}, {"Home", true}, {"Back", false},       {"Forward", false}};

RgbImage read_rgb(const std::string& path) {
    PngContents contents;
    std::string error;
    EXPECT_TRUE(read_png(path, &contents, &error)) << error;
    if (!contents.hasPalette) return contents.rgb;
    RgbImage rgb{contents.indexed.width, contents.indexed.height, {}};
    for (std::uint8_t index : contents.indexed.pixels) rgb.pixels.push_back(contents.indexed.palette[index]);
    return rgb;
}

// The state of a load that failed with these lines after "Please wait....".
void expect_failed_load(const json& state, const std::string& failureLines) {
    EXPECT_EQ(state["title"], "Loading");
    EXPECT_TRUE(state["current_map"].is_null());
    EXPECT_EQ(state["flags"], json({{"PopupShown", false}, {"ViewActive", false}, {"LinkHighlighted", false},
                                    {"BackAvailable", false}}));
    EXPECT_TRUE(state["zoom"].is_null());
    EXPECT_EQ(state["maps"], json::array());
    EXPECT_EQ(state["images"], json::array());
    EXPECT_EQ(state["buttons"], kInitialButtons);
    const std::string log = state["log"].is_string() ? state["log"].get<std::string>() : "";
    const auto wait = log.find("Please wait....\r\n");
    ASSERT_NE(wait, std::string::npos) << log;
    EXPECT_EQ(log.substr(wait + 17), failureLines);
}

TEST(Startup, OpensTheHomeMapCentredWithItsName) {
    TempDir work;
    const std::string shot = work.file("start.png");
    auto run = run_script(kHarbour, "state\nshot " + shot + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.lines.size(), 1u);
    // Every key, in its order, with the harbour's values.
    EXPECT_EQ(run.lines[0],
              R"({"title":"Harbour","current_map":"Harbour","flags":{"PopupShown":false,"ViewActive":true,)"
              R"("LinkHighlighted":false,"BackAvailable":false},"zoom":100,"center":[240,200],)"
              R"("source":[120,66,240,268],"dest":[0,0,240,268],"selected_location":null,"link_target":null,)"
              R"("popup":{"visible":false,"rect":null,"text":null},"buttons":{"Quit":true,"Find":true,)"
              R"("Information":true,"Zoom In":true,"Zoom Out":true,"Home":true,"Back":false,"Forward":false},)"
              R"("history":[],"maps":["Harbour","Island","Old Town","Market"],"images":["Harbour","Old Town"],)"
              R"("log":null,"message_box":null,"sounds":0,"beeps":0,"exited":null,"paints":1,"dialog":null,"settings":{}})");

    // Below the navigation bar the screen shows the map as it is drawn
    // centred in a 240 x 268 window, pixel for pixel.
    const std::string render = work.file("render.png");
    ASSERT_EQ(run_command(std::string(MAPFOLIO_TOOL_PATH) + " render " + shell_quote(kHarbour + "/HOME.DAB") + " " +
                          shell_quote(render))
                  .exitCode,
              0);
    const RgbImage screen = read_rgb(shot);
    const RgbImage map = read_rgb(render);
    ASSERT_EQ(screen.width, 240);
    ASSERT_EQ(screen.height, 320);
    ASSERT_EQ(map.height, 268);
    int differing = 0;
    for (int y = 0; y < 268; ++y)
        for (int x = 0; x < 240; ++x) differing += !(screen.at(x, y + 26) == map.at(x, y));
    EXPECT_EQ(differing, 0);
}

TEST(Startup, FailuresOfTheLoadStayInTheLog) {
    {
        SCOPED_TRACE("no HOME.DAB");
        GuideCopy guide;
        guide.remove("HOME.DAB");
        expect_failed_load(run_script(guide.path(), "state\n").states.at(0), "Failed to create Home and/or Main map\r\n");
    }
    {
        SCOPED_TRACE("no MAIN.DAB");
        GuideCopy guide;
        guide.remove("MAIN.DAB");
        expect_failed_load(run_script(guide.path(), "state\n").states.at(0), "Failed to create Home and/or Main map\r\n");
    }
    {
        SCOPED_TRACE("no database at all");
        TempDir empty;
        expect_failed_load(run_script(empty.path(), "state\n").states.at(0), "Failed to create Home and/or Main map\r\n");
    }
    {
        SCOPED_TRACE("the home image is missing");
        GuideCopy guide;
        guide.remove("harbour.twk");
        expect_failed_load(run_script(guide.path(), "state\n").states.at(0),
                           "Failed to load Home Images\r\nError string:-\r\nFailed to open " + guide.path() +
                               "/harbour.twk");
    }
    {
        SCOPED_TRACE("the main image is not a map image");
        GuideCopy guide;
        guide.write("oldtown.twk", "GIF89a, not ours");
        auto state = run_script(guide.path(), "state\n").states.at(0);
        const std::string log = state["log"];
        EXPECT_NE(log.find("Please wait....\r\nFailed to load Main Images\r\nError string:-\r\n"), std::string::npos)
            << log;
        EXPECT_TRUE(state["maps"].empty());
    }
}

TEST(Startup, ABrokenDatabaseIsListedAndSkipped) {
    GuideCopy guide;
    guide.write("AAA.DAB", "<Name>\r\nno version line\r\n");
    guide.write("ZZZ.DAB", "<Mapfolio Version>\r\n1\r\n");  // the last one found
    auto run = run_script(guide.path(), "state\n");
    ASSERT_EQ(run.exitCode, 0);
    const json& state = run.states.at(0);
    EXPECT_EQ(state["title"], "Harbour");
    EXPECT_EQ(state["maps"], json({"Harbour", "Island", "Old Town", "Market"}));
    // The log is gone once the load succeeds, failures and all.
    EXPECT_TRUE(state["log"].is_null());

    // With the home map missing too, the failures can be read.
    guide.remove("HOME.DAB");
    expect_failed_load(run_script(guide.path(), "state\n").states.at(0),
                       "Failed to load data for AAA.DAB\r\nFailed to load data for ZZZ.DAB\r\n"
                       "Failed to create Home and/or Main map\r\n");
}

TEST(Startup, NamesInOtherLetterCases) {
    GuideCopy guide;
    guide.rename("HOME.DAB", "home.dab");
    guide.rename("MAIN.DAB", "Main.Dab");
    guide.rename("ISLAND.DAB", "island.DaB");
    auto state = run_script(guide.path(), "state\n").states.at(0);
    EXPECT_EQ(state["title"], "Harbour");
    EXPECT_EQ(state["maps"], json({"Harbour", "Island", "Old Town", "Market"}));
    EXPECT_EQ(state["images"], json({"Harbour", "Old Town"}));
}

TEST(Startup, AHundredMapsAtMost) {
    GuideCopy guide;
    for (int i = 0; i < 97; ++i) guide.write("X" + std::to_string(100 + i) + ".DAB", small_database("X" + std::to_string(i)));
    // 4 + 97 = 101 databases: the last one found, X196, is left out.
    auto state = run_script(guide.path(), "state\n").states.at(0);
    ASSERT_EQ(state["maps"].size(), 100u);
    EXPECT_EQ(state["maps"].back(), "X95");
    EXPECT_EQ(state["title"], "Harbour");

    // When the one left out is the main map, nothing loads.
    GuideCopy late;
    for (int i = 0; i < 97; ++i) late.write("A" + std::to_string(100 + i) + ".DAB", small_database("A" + std::to_string(i)));
    late.write("M.DAB", small_database("M"));
    // A100..A196, HOME, ISLAND and M come first: MAIN is the 101st.
    expect_failed_load(run_script(late.path(), "state\n").states.at(0), "Failed to create Home and/or Main map\r\n");
}

TEST(Startup, AScreenshotOfAFailedLoadShowsTheLog) {
    TempDir work;
    GuideCopy guide;
    guide.remove("MAIN.DAB");
    const std::string shot = work.file("failed.png");
    ASSERT_EQ(run_script(guide.path(), "shot " + shot + "\n").exitCode, 0);
    const RgbImage screen = read_rgb(shot);
    // Lines of dark text on the white log, from the top of the window down
    // to about the ninth line.
    int textRows = 0;
    for (int y = 26; y < 294; ++y) {
        int dark = 0;
        for (int x = 0; x < 200; ++x) dark += screen.at(x, y).r < 100 && screen.at(x, y).g < 100;
        textRows += dark > 2;
    }
    EXPECT_GT(textRows, 60);
    EXPECT_EQ(screen.at(120, 200), (Rgb{255, 255, 255}));
}

TEST(Startup, ASecondStartBringsTheRunningCopyForwardAndEnds) {
    TempDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    app_test::LiveRun first({"--desktop", "startup-test", kHarbour});
    json running = first.state();
    ASSERT_EQ(running["title"], "Harbour");

    // The second start reads no map and makes no window.
    auto second = run_script(kHarbour, "state\n", "--desktop startup-test");
    EXPECT_EQ(second.exitCode, 0);
    ASSERT_EQ(second.states.size(), 1u);
    EXPECT_EQ(second.states[0]["exited"], 0);
    EXPECT_EQ(second.states[0]["maps"], json::array());
    EXPECT_EQ(second.states[0]["buttons"], json::object());
    EXPECT_TRUE(second.states[0]["log"].is_null());

    // Runs without the shared desktop see no other copy.
    auto alone = run_script(kHarbour, "state\n");
    EXPECT_TRUE(alone.states.at(0)["exited"].is_null());
    EXPECT_EQ(alone.states.at(0)["title"], "Harbour");

    json after = first.state();
    EXPECT_TRUE(after["exited"].is_null());
    EXPECT_EQ(after["maps"].size(), 4u);
    EXPECT_EQ(first.finish(), 0);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(Startup, CommandLines) {
    auto help = run_command(std::string(MAPFOLIO_PATH) + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage: mapfolio [GUIDE]"), std::string::npos);
    EXPECT_NE(help.out.find("../share/mapfolio/guides/demo"), std::string::npos);
    EXPECT_EQ(run_command(std::string(MAPFOLIO_PATH) + " /no/such/guide 2>/dev/null").exitCode, 2);
    EXPECT_EQ(run_command(std::string(MAPFOLIO_PATH) + " " + kHarbour + "/harbour.twk 2>/dev/null").exitCode, 2);
    EXPECT_EQ(run_command(std::string(MAPFOLIO_PATH) + " a b 2>/dev/null").exitCode, 2);
    auto scriptHelp = run_command(std::string(MAPFOLIO_SCRIPT_PATH) + " --help");
    EXPECT_EQ(scriptHelp.exitCode, 0);
    EXPECT_NE(scriptHelp.out.find("[GUIDE [SCRIPT]]"), std::string::npos);
    EXPECT_EQ(run_command(std::string(MAPFOLIO_SCRIPT_PATH) + " /no/such/guide 2>/dev/null </dev/null").exitCode, 2);
    EXPECT_EQ(run_command(std::string(MAPFOLIO_SCRIPT_PATH) + " " + kHarbour + " /no/such/script 2>/dev/null").exitCode,
              2);
    EXPECT_EQ(run_command(std::string(MAPFOLIO_SCRIPT_PATH) + " " + kHarbour + " a b 2>/dev/null").exitCode, 2);

    // Each program names itself and the project's version, and does
    // nothing else.
    for (const std::string& program : {std::string(MAPFOLIO_PATH), std::string(MAPFOLIO_SCRIPT_PATH),
                                       std::string(MAPFOLIO_TOOL_PATH)}) {
        auto version = run_command(program + " --version </dev/null");
        EXPECT_EQ(version.exitCode, 0);
        const std::string name = program.substr(program.rfind('/') + 1);
        EXPECT_EQ(version.out, name + " " + MAPFOLIO_EXPECTED_VERSION + "\n");
    }
}

}  // namespace
