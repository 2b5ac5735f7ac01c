// The menu bar and the commands as far as the program has them, and the
// script runner's own rules, through mapfolio-script: the click before a
// command, Quit answered Yes and No, commands while no map is loaded, and
// malformed steps.
#include "tests/app/script_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using app_test::GuideCopy;
using app_test::run_script;
using nlohmann::json;
using testing_support::TempDir;

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

// The spacer's middle in main-window client pixels: the seventh image
// button of the bar below the 268-pixel window.
constexpr const char* kTapSpacer = "tap 158 281\n";

TEST(Commands, QuitAsksAndNoKeepsTheProgramRunning) {
    auto run = run_script(kHarbour, "button Quit\nstate\nanswer no\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    EXPECT_EQ(run.states[0]["message_box"], json({{"caption", "Confirm Quit!"}, {"text", "Quit the application?"}}));
    EXPECT_EQ(run.states[0]["sounds"], 1);  // the click comes before the question
    EXPECT_TRUE(run.states[0]["exited"].is_null());
    EXPECT_TRUE(run.states[1]["message_box"].is_null());
    EXPECT_TRUE(run.states[1]["exited"].is_null());
    EXPECT_EQ(run.states[1]["current_map"], "Harbour");
    EXPECT_EQ(run.states[1]["maps"].size(), 4u);
    EXPECT_EQ(run.states[1]["sounds"], 1);
}

TEST(Commands, QuitAnsweredYesFreesTheMapsAndEndsWithCodeZero) {
    // The answer may be given before the question comes.
    auto run = run_script(kHarbour, "answer yes\nbutton Quit\nstate\nwait 1000\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 2u);
    for (const json& state : run.states) {
        EXPECT_EQ(state["exited"], 0);
        EXPECT_TRUE(state["current_map"].is_null());
        EXPECT_EQ(state["maps"], json::array());
        EXPECT_EQ(state["images"], json::array());
        EXPECT_TRUE(state["message_box"].is_null());
        EXPECT_EQ(state["buttons"], json::object());  // the window and its bar are gone
        EXPECT_EQ(state["sounds"], 1);
    }
}

TEST(Commands, CommandsWithNowhereToGoClickAndOnlyBackBeeps) {
    // Home on the home map, Back with an empty history, Forward without a
    // link; the zoom steps in and out again round the same centre.
    auto run = run_script(kHarbour,
                          "button Zoom In\nbutton Home\nbutton Zoom Out\ncommand 40100\ncommand 40101\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const json& state = run.states.at(0);
    EXPECT_EQ(state["sounds"], 5);
    EXPECT_EQ(state["beeps"], 1);
    EXPECT_EQ(state["current_map"], "Harbour");
    EXPECT_EQ(state["zoom"], 100);
    EXPECT_EQ(state["center"], json({240, 200}));
    EXPECT_EQ(state["history"], json::array());
}

TEST(Commands, DisabledButtonsTheSpacerAndUnknownCommandsDoNothing) {
    auto run = run_script(kHarbour, std::string("button Back\nbutton Forward\n") + kTapSpacer +
                                        "command 40005\ncommand 40027\ncommand 1\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const json& state = run.states.at(0);
    EXPECT_EQ(state["sounds"], 0);
    EXPECT_TRUE(state["message_box"].is_null());
    EXPECT_EQ(state["buttons"]["Back"], false);
    EXPECT_EQ(state["buttons"]["Forward"], false);
}

TEST(Commands, WithoutMapsTheButtonsClickAndQuitStillAsks) {
    GuideCopy guide;
    guide.remove("HOME.DAB");
    auto run = run_script(guide.path(), "button Find\nbutton Home\ncommand 40102\nstate\nbutton Quit\nstate\n"
                                        "answer yes\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 3u);
    EXPECT_EQ(run.states[0]["sounds"], 3);
    EXPECT_EQ(run.states[0]["title"], "Loading");
    EXPECT_TRUE(run.states[0]["current_map"].is_null());
    EXPECT_EQ(run.states[1]["message_box"]["caption"], "Confirm Quit!");
    EXPECT_EQ(run.states[2]["exited"], 0);
}

TEST(Commands, LoadingAllMapsAgainShowsTheHomeMapAfresh) {
    auto run = run_script(kHarbour, "command 40023\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const json& state = run.states.at(0);
    EXPECT_EQ(state["sounds"], 0);  // this command does not click
    EXPECT_EQ(state["current_map"], "Harbour");
    EXPECT_EQ(state["maps"].size(), 4u);
    EXPECT_EQ(state["images"], json({"Harbour", "Old Town"}));
    EXPECT_EQ(state["flags"]["ViewActive"], true);
}

TEST(Script, MalformedStepsStopTheRunWithTheirLineNumber) {
    struct Case {
        const char* script;
        const char* line;
    };
    for (const Case& c : {Case{"state\n\n# fine\ntap 10\n", "line 4:"}, Case{"wiggle\n", "line 1:"},
                          Case{"state\nkey SIDEWAYS\n", "line 2:"}, Case{"wait -5\n", "line 1:"},
                          Case{"answer maybe\n", "line 1:"}, Case{"button Teleport\n", "line 1:"},
                          Case{"state now\n", "line 1:"}, Case{"command 70000\n", "line 1:"}}) {
        SCOPED_TRACE(c.script);
        auto run = run_script(kHarbour, std::string(c.script) + "state\n");
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.errors.find(c.line), std::string::npos) << run.errors;
        // Nothing after the bad step runs.
        EXPECT_EQ(run.states.size(), std::string(c.script).rfind("state\n", 0) == 0 ? 1u : 0u);
    }
}

TEST(Script, ExitEndsTheRunAndShotsThatCannotBeWrittenFail) {
    auto run = run_script(kHarbour, "state\nexit\nstate\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.states.size(), 1u);
    auto shot = run_script(kHarbour, "shot /no/such/dir/x.png\nstate\n");
    EXPECT_EQ(shot.exitCode, 1);
    EXPECT_TRUE(shot.states.empty());
    EXPECT_NE(shot.errors.find("line 1"), std::string::npos);
}

TEST(Script, WaitingLetsTheHeldButtonShowItsTip) {
    // A press held on a button for half a second shows its tool tip; the
    // release then does not press it.
    auto run = run_script(kHarbour, "press 14 281\nwait 600\nrelease 14 281\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.states.at(0)["sounds"], 0);
    EXPECT_TRUE(run.states.at(0)["message_box"].is_null());
    // A quick tap on the same place is Quit.
    auto tap = run_script(kHarbour, "tap 14 281\nstate\n");
    EXPECT_EQ(tap.states.at(0)["message_box"]["text"], "Quit the application?");
}

}  // namespace
