// The Information dialog through mapfolio-script: the topic it opens on,
// the topic kept by its first word as the map changes, what closing stores,
// and the main window it leaves as it found it.
#include "tests/app/dialog_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using app_test::append_to;
using app_test::DialogTest;
using app_test::GuideCopy;
using app_test::small_database;
using app_test::states_of;
using app_test::store_text;
using app_test::topic_section;
using nlohmann::json;

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

std::string pane_of(const json& state) { return app_test::unwrapped(state["dialog"]["pane"]); }

using InfoDialog = DialogTest;

TEST_F(InfoDialog, FirstOpeningShowsTheCurrentMapsFirstTopicAndClosingLeavesTheMap) {
    GuideCopy guide;
    // A second topic that sorted order would put first.
    append_to(guide, "MAIN.DAB", topic_section("Architecture", "<P>Timber frames.</P>"));
    const auto states = app_test::run_script_file(guide.path(), "information-first-opening.txt").states;
    ASSERT_EQ(states.size(), 3u);
    const json& open = states[1];
    EXPECT_EQ(open["title"], "Information");
    EXPECT_EQ(open["dialog"]["kind"], "information");
    EXPECT_EQ(open["dialog"]["maps"], json({"Harbour", "Island", "Market", "Old Town"}));
    EXPECT_EQ(open["dialog"]["map"], "Old Town");
    EXPECT_EQ(open["dialog"]["topics"], json({"History", "Architecture"}));
    EXPECT_EQ(open["dialog"]["topic"], "History");
    EXPECT_EQ(pane_of(open), "The old town grew round St. Mary's church in the 13th century.");
    for (const char* none : {"categories", "category", "items", "item"}) EXPECT_TRUE(open["dialog"][none].is_null());

    const json& closed = states[2];
    EXPECT_TRUE(closed["dialog"].is_null());
    EXPECT_EQ(closed["title"], "Old Town");
    for (const char* key : {"current_map", "zoom", "center", "history", "buttons"})
        EXPECT_EQ(closed[key], states[0][key]);
    EXPECT_EQ(closed["popup"]["visible"], false);
    // Stored under the home map's name, whichever map is current.
    EXPECT_EQ(closed["settings"], json({{"Harbour Info Category", "History"}}));
    EXPECT_EQ(closed["sounds"], states[0]["sounds"].get<int>() + 2);
}

TEST_F(InfoDialog, TheTopicFollowsItsFirstWordFromMapToMapAndClosingAlwaysStoresIt) {
    GuideCopy guide;
    append_to(guide, "ISLAND.DAB", topic_section("Getting there", "<P>By ferry.</P>"));
    guide.write("BARE.DAB", small_database("Bare Rock"));
    const auto states = states_of(guide.path(), "button Information\nselect topic Getting around\nselect map Island\n"
                                                "state\nselect map Market\nstate\nselect map Bare Rock\nstate\n"
                                                "select map Market\nbutton Close\nstate\n"
                                                "button Information\nstate\nselect map Bare Rock\nbutton Close\n"
                                                "state\n");
    ASSERT_EQ(states.size(), 6u);
    EXPECT_EQ(states[0]["dialog"]["topics"], json({"The island", "Getting there"}));
    EXPECT_EQ(states[0]["dialog"]["topic"], "Getting there");
    EXPECT_EQ(pane_of(states[0]), "By ferry.");
    EXPECT_EQ(states[1]["dialog"]["topic"], "Market days");
    // A map without topics: nothing to choose, nothing shown.
    EXPECT_EQ(states[2]["dialog"]["topics"], json::array());
    EXPECT_TRUE(states[2]["dialog"]["topic"].is_null());
    EXPECT_EQ(states[2]["dialog"]["pane"], "");
    // The Market's topic was selected for the map, not by the user, and is
    // what closing stores. The map never changed.
    EXPECT_EQ(states[3]["settings"], json({{"Harbour Info Category", "Market"}}));
    EXPECT_EQ(states[3]["current_map"], "Harbour");
    EXPECT_EQ(states[3]["center"], json({240, 200}));
    EXPECT_EQ(states[3]["history"], json::array());
    EXPECT_EQ(states[3]["title"], "Harbour");
    // The next opening is on the current map again, where nothing begins
    // with "Market".
    EXPECT_EQ(states[4]["dialog"]["map"], "Harbour");
    EXPECT_EQ(states[4]["dialog"]["topic"], "About this guide");
    // Closed on a map without topics: the stored title stays.
    EXPECT_EQ(states[5]["settings"], json({{"Harbour Info Category", "Market"}}));
}

TEST_F(InfoDialog, AStoredTitleSelectsByItsBeginningAndAnEmptyTextShowsAnEmptyPage) {
    GuideCopy guide;
    append_to(guide, "HOME.DAB",
              topic_section("Opening Times", "<P>Shops open at nine.</P>") + topic_section("Empty Page", ""));
    store_text("Harbour Info Category", u"opening");
    const auto states = states_of(guide.path(), "button Information\nstate\nselect topic Empty Page\nstate\n"
                                                "key ESCAPE\nstate\n");
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0]["dialog"]["topics"],
              json({"About this guide", "Getting around", "Opening Times", "Empty Page"}));
    EXPECT_EQ(states[0]["dialog"]["topic"], "Opening Times");
    EXPECT_EQ(pane_of(states[0]), "Shops open at nine.");
    EXPECT_EQ(states[1]["dialog"]["topic"], "Empty Page");
    EXPECT_EQ(states[1]["dialog"]["pane"], "");
    // Escape is the close button.
    EXPECT_TRUE(states[2]["dialog"].is_null());
    EXPECT_EQ(states[2]["title"], "Harbour");
    EXPECT_EQ(states[2]["settings"], json({{"Harbour Info Category", "Empty"}}));
}

}  // namespace
