// The Find dialog as the user meets it through mapfolio-script: what it
// opens on, the lists it fills as a map and a category are chosen, what OK,
// Enter, Cancel and Escape leave on the map, the first words it remembers,
// and how it looks.
#include "dialogs/settings_store.h"
#include "tests/app/dialog_support.h"
#include "tools/png_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using app_test::append_to;
using app_test::category_section;
using app_test::DialogTest;
using app_test::GuideCopy;
using app_test::small_database;
using app_test::states_of;
using app_test::store_text;
using app_test::unwrapped;
using nlohmann::json;
using testing_support::read_file;
using testing_support::TempDir;

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

// A tap on the harbour map, at 100 % and centred, inside the link to the
// Old Town and near the Harbour Master: Forward then opens the Old Town.
constexpr const char* kToOldTown = "tap 140 74\nbutton Forward\n";

// The keys of the state that say where the main window stands.
json view_of(const json& state) {
    json view;
    for (const char* key : {"title", "current_map", "zoom", "center", "source", "dest", "history"})
        view[key] = state[key];
    view["back"] = state["buttons"]["Back"];
    return view;
}

// Colours as the screen shows them, 0xRRGGBB.
constexpr std::uint32_t kYellow = 0xFFFFC0;
constexpr std::uint32_t kOlive = 0x808000;
constexpr std::uint32_t kNavy = 0x000080;

struct Screen {
    RgbImage image;
    std::uint32_t at(int x, int y) const {
        const Rgb& p = image.at(x, y);
        return (static_cast<std::uint32_t>(p.r) << 16) | (static_cast<std::uint32_t>(p.g) << 8) | p.b;
    }
    int count(int top, int bottom, std::uint32_t colour) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < image.width; ++x) n += at(x, y) == colour;
        return n;
    }
    // Blue ink on white: the text of a list's rows, smoothed at its edges.
    int blue_ink(int top, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const Rgb& p = image.at(x, y);
                n += p.b == 0xFF && p.r == p.g && p.r < 0xC0;
            }
        }
        return n;
    }
    // The screen rows, top first, that are mostly navy: a list's selected
    // row, its text drawn over the bar.
    std::vector<int> navy_rows() const {
        std::vector<int> rows;
        for (int y = 0; y < image.height; ++y) {
            if (count(y, y + 1, kNavy) >= image.width * 5 / 8) rows.push_back(y);
        }
        return rows;
    }
};

Screen read_screen(const std::string& path) {
    PngContents png;
    std::string error;
    EXPECT_TRUE(read_png(path, &png, &error)) << error;
    Screen screen{png.rgb};
    if (png.hasPalette) {
        screen.image = RgbImage{png.indexed.width, png.indexed.height, {}};
        for (std::uint8_t index : png.indexed.pixels) screen.image.pixels.push_back(png.indexed.palette[index]);
    }
    EXPECT_EQ(screen.image.width, 240);
    EXPECT_EQ(screen.image.height, 320);
    return screen;
}

using FindDialog = DialogTest;

TEST_F(FindDialog, FirstOpeningStartsFromTheCurrentMapWithNothingStored) {
    GuideCopy guide;
    // A category before the others in the file: first in file order, last
    // in sorted order; its places come in the reverse of sorted order.
    guide.write("HOME.DAB", category_section("Viewpoints", {"300,150,Signal Hill", "310,160,Bell Tower,Rings at noon"}) +
                                read_file(guide.file("HOME.DAB")));
    const auto states = states_of(guide.path(), "button Find\nstate\nbutton Cancel\n" + std::string(kToOldTown) +
                                                    "button Find\nstate\nkey ESCAPE\nstate\n");
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0]["title"], "Find");
    EXPECT_EQ(states[0]["dialog"],
              json({{"kind", "find"},
                    {"maps", {"Harbour", "Island", "Market", "Old Town"}},
                    {"map", "Harbour"},
                    {"categories", {"Viewpoints", "Cafes", "Sights", "Transport"}},
                    {"category", "Viewpoints"},
                    {"items", {"Bell Tower", "Signal Hill"}},
                    {"item", "Bell Tower"},
                    {"topics", nullptr},
                    {"topic", nullptr},
                    {"pane", "Rings at noon"}}));
    // On the Old Town (not the home map) it opens on the Old Town.
    const json& oldTown = states[1]["dialog"];
    EXPECT_EQ(oldTown["map"], "Old Town");
    EXPECT_EQ(oldTown["categories"], json({"Museums", "Churches", "Shops"}));
    EXPECT_EQ(oldTown["category"], "Museums");
    EXPECT_EQ(oldTown["item"], "Town Museum");
    EXPECT_EQ(oldTown["pane"], "Local history");
    // Neither way out stored anything, but the first opening made the key.
    EXPECT_EQ(states[2]["settings"], json::object());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(FindDialog, CancelAndEscapeWriteNothingAndLeaveTheMapAsItWas) {
    store_text("Harbour Find Category", u"Sights");
    store_text("Harbour Find Location", u"Light");
    TempDir work;
    const std::string before = work.file("before.png");
    const std::string cancelled = work.file("cancelled.png");
    const std::string escaped = work.file("escaped.png");
    const auto states = states_of(kHarbour, "button Zoom In\nshot " + before +
                                                "\nstate\n"
                                                "button Find\nstate\nselect category Transport\nbutton Cancel\n"
                                                "state\nshot " + cancelled +
                                                "\nbutton Find\nstate\nkey ESCAPE\nstate\nshot " + escaped + "\n");
    ASSERT_EQ(states.size(), 5u);
    const json settings = {{"Harbour Find Category", "Sights"}, {"Harbour Find Location", "Light"}};
    // Each opening starts from the stored texts, not from the last choice.
    for (int opened : {1, 3}) {
        EXPECT_EQ(states[opened]["title"], "Find");
        EXPECT_EQ(states[opened]["dialog"]["category"], "Sights");
        EXPECT_EQ(states[opened]["dialog"]["item"], "Lighthouse");
    }
    for (int closed : {2, 4}) {
        SCOPED_TRACE(closed);
        EXPECT_TRUE(states[closed]["dialog"].is_null());
        EXPECT_EQ(view_of(states[closed]), view_of(states[0]));
        EXPECT_EQ(states[closed]["settings"], settings);
        EXPECT_EQ(states[closed]["popup"]["visible"], false);
        EXPECT_EQ(states[closed]["beeps"], 0);
    }
    // Find and Cancel click; so does Escape.
    EXPECT_EQ(states[2]["sounds"], states[0]["sounds"].get<int>() + 2);
    EXPECT_EQ(states[4]["sounds"], states[0]["sounds"].get<int>() + 4);
    // Pixel for pixel the screen it was.
    EXPECT_TRUE(read_screen(cancelled).image.pixels == read_screen(before).image.pixels);
    EXPECT_TRUE(read_screen(escaped).image.pixels == read_screen(before).image.pixels);

    // On a map reached by a link, with a place's popup up and Back enabled:
    // the popup goes and the rest stays.
    const auto linked = states_of(kHarbour, std::string(kToOldTown) + "state\nbutton Find\nbutton Cancel\nstate\n");
    ASSERT_EQ(linked.size(), 2u);
    EXPECT_EQ(linked[0]["popup"]["visible"], true);
    EXPECT_EQ(view_of(linked[1]), view_of(linked[0]));
    EXPECT_EQ(linked[1]["title"], "Old Town");
    EXPECT_EQ(linked[1]["buttons"]["Back"], true);
    EXPECT_EQ(linked[1]["popup"]["visible"], false);
    EXPECT_EQ(linked[1]["flags"]["PopupShown"], false);
}

TEST_F(FindDialog, OkOrEnterOnAPlaceOfTheCurrentMapCentresItWithItsPopup) {
    const auto states = app_test::run_script_file(kHarbour, "find-ok-or-enter.txt").states;
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0]["title"], "Harbour");
    EXPECT_EQ(states[0]["current_map"], "Harbour");
    EXPECT_EQ(states[0]["center"], json({230, 200}));
    EXPECT_EQ(states[0]["selected_location"], "Harbour Master");
    EXPECT_EQ(unwrapped(states[0]["popup"]["text"]), "Harbour Master - The old customs house");
    EXPECT_EQ(states[0]["history"], json::array());
    EXPECT_EQ(states[0]["buttons"]["Back"], false);
    EXPECT_EQ(states[0]["settings"], json({{"Harbour Find Category", "Sights"}, {"Harbour Find Location", "Harbour"}}));
    EXPECT_EQ(states[0]["sounds"], 2);
    EXPECT_EQ(states[1]["center"], json({150, 246}));
    EXPECT_EQ(unwrapped(states[1]["popup"]["text"]), "Ferry Pier - Boats to the island every hour");
    EXPECT_EQ(states[1]["history"], json::array());
    EXPECT_EQ(states[1]["settings"],
              json({{"Harbour Find Category", "Transport"}, {"Harbour Find Location", "Ferry"}}));
    EXPECT_EQ(states[1]["beeps"], 0);
}

TEST_F(FindDialog, OkOnAnotherMapGoesThereAndBackReturns) {
    const auto states = app_test::run_script_file(kHarbour, "find-on-another-map.txt").states;
    ASSERT_EQ(states.size(), 7u);
    EXPECT_EQ(states[0]["dialog"]["categories"], json({"Beaches", "Sights", "Transport"}));
    EXPECT_EQ(states[0]["dialog"]["category"], "Sights");
    EXPECT_EQ(states[0]["dialog"]["items"], json({"Windmill"}));
    EXPECT_EQ(states[0]["dialog"]["pane"], "Still grinding");
    EXPECT_EQ(states[1]["dialog"]["category"], "Food");  // the Market has no Sights
    EXPECT_EQ(states[1]["dialog"]["items"], json({"Cheese Stall", "Fish Stall"}));
    EXPECT_EQ(states[2]["dialog"]["category"], "Museums");
    // A place without a description clears the pane.
    EXPECT_EQ(states[3]["dialog"]["items"], json({"Bakery", "Book Shop"}));
    EXPECT_EQ(states[3]["dialog"]["item"], "Bakery");
    EXPECT_EQ(states[3]["dialog"]["pane"], "");
    EXPECT_EQ(states[4]["dialog"]["pane"], "Maps and guides");

    const json& found = states[5];
    EXPECT_TRUE(found["dialog"].is_null());
    EXPECT_EQ(found["title"], "Old Town");
    EXPECT_EQ(found["current_map"], "Old Town");
    EXPECT_EQ(found["center"], json({150, 150}));
    EXPECT_EQ(unwrapped(found["popup"]["text"]), "Town Museum - Local history");
    EXPECT_EQ(found["history"], json({"Harbour"}));
    EXPECT_EQ(found["buttons"]["Back"], true);
    EXPECT_EQ(found["settings"], json({{"Harbour Find Category", "Museums"}, {"Harbour Find Location", "Town"}}));
    EXPECT_EQ(states[6]["current_map"], "Harbour");
    EXPECT_EQ(states[6]["center"], json({240, 200}));
    EXPECT_EQ(states[6]["history"], json::array());
}

TEST_F(FindDialog, AMapWithoutCategoriesOrACategoryWithoutPlacesOnlyBeeps) {
    GuideCopy guide;
    guide.write("BARE.DAB", small_database("Bare Rock"));
    append_to(guide, "HOME.DAB", category_section("Closed", {}));
    // The lists below empty; the pane keeps the description it showed.
    const auto first = states_of(guide.path(), "button Find\nselect category Closed\nstate\nbutton OK\nstate\n");
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0]["dialog"]["items"], json::array());
    EXPECT_TRUE(first[0]["dialog"]["item"].is_null());
    EXPECT_EQ(first[0]["dialog"]["pane"], "Open all day");
    // Only the category had a selection to store.
    const json stored = {{"Harbour Find Category", "Closed"}};
    EXPECT_EQ(first[1]["settings"], stored);

    const auto second = states_of(guide.path(), "button Find\nselect category Cafes\nselect map Bare Rock\nstate\n"
                                                 "button OK\nstate\n");
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0]["dialog"]["categories"], json::array());
    EXPECT_TRUE(second[0]["dialog"]["category"].is_null());
    EXPECT_EQ(second[0]["dialog"]["items"], json::array());
    EXPECT_EQ(second[0]["dialog"]["pane"], "Open all day");
    EXPECT_EQ(second[1]["settings"], stored);
    // A popup and a link frame shown before go with the place they were for.
    const auto third = states_of(guide.path(), "tap 110 134\ntap 150 60\nstate\nbutton Find\nselect category Closed\n"
                                                "button OK\nstate\n");
    ASSERT_EQ(third.size(), 2u);
    EXPECT_EQ(third[0]["popup"]["visible"], true);
    EXPECT_EQ(third[0]["buttons"]["Forward"], true);
    EXPECT_EQ(third[1]["buttons"]["Forward"], false);
    // Neither OK went anywhere: a beep, the title again, no popup.
    for (const json& after : {first[1], second[1], third[1]}) {
        EXPECT_EQ(after["beeps"], 1);
        EXPECT_EQ(after["title"], "Harbour");
        EXPECT_EQ(after["current_map"], "Harbour");
        EXPECT_EQ(after["center"], json({240, 200}));
        EXPECT_TRUE(after["selected_location"].is_null());
        EXPECT_EQ(after["popup"]["visible"], false);
        EXPECT_EQ(after["history"], json::array());
    }
}

TEST_F(FindDialog, AHundredMapsAreAllListed) {
    GuideCopy guide;
    // With the harbour's four, one hundred: the catalogue's every slot.
    for (int i = 1; i <= 96; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Map %03d", i);
        guide.write("MAP" + std::to_string(i) + ".DAB", small_database(name));
    }
    const auto states = states_of(guide.path(), "button Find\nstate\nselect map Old Town\nstate\n");
    ASSERT_EQ(states.size(), 2u);
    std::vector<std::string> maps = states[0]["maps"];
    ASSERT_EQ(maps.size(), 100u);
    std::sort(maps.begin(), maps.end());
    EXPECT_EQ(states[0]["dialog"]["maps"], json(maps));
    // The last of them, far down the list, is chosen as any other.
    EXPECT_EQ(maps.back(), "Old Town");
    EXPECT_EQ(states[1]["dialog"]["map"], "Old Town");
    EXPECT_EQ(states[1]["dialog"]["category"], "Museums");
}

// select reaches any place of a long list, far down and back up, and first
// closes a list that a tap left dropped over the one it works in.
TEST_F(FindDialog, SelectReachesAnyPlaceOfALongListAndClosesAListLeftDroppedOverIt) {
    GuideCopy guide;
    std::vector<std::string> places;
    for (int i = 0; i < 3000; ++i) {
        char line[48];
        std::snprintf(line, sizeof line, "%d,%d,Place %04d", 10 + i % 400, 10 + i % 300, i);
        places.emplace_back(line);
    }
    append_to(guide, "HOME.DAB", category_section("Many", places));
    // The tap at (100, 60) drops the category list over the places, where
    // Place 0002 is in view below it.
    const auto states = states_of(guide.path(),
                                  "button Find\nselect category Many\nselect item Place 2999\nstate\n"
                                  "select item Place 1500\nstate\nselect item Place 0000\nstate\n"
                                  "tap 100 60\nselect item Place 0002\nstate\n");
    ASSERT_EQ(states.size(), 4u);
    const char* expected[] = {"Place 2999", "Place 1500", "Place 0000", "Place 0002"};
    for (std::size_t i = 0; i < states.size(); ++i) {
        EXPECT_EQ(states[i]["dialog"]["category"], "Many") << i;
        EXPECT_EQ(states[i]["dialog"]["item"], expected[i]) << i;
    }
}

TEST_F(FindDialog, OkRemembersFirstWordsAndTheNextOpeningStartsFromThem) {
    GuideCopy guide;
    append_to(guide, "HOME.DAB",
              category_section("London Sights", {"300,150,Tower of London,Crown jewels",
                                                 "310,160,Tower Bridge,Opens for ships", "320,170,Big Ben"}) +
                  category_section("Odd Names", {"250,150, Quay Steps,Down to the water", "260,160,Pier\tHead Light",
                                                 "270,170,Pier Walk"}));
    const auto states = states_of(
        guide.path(), "button Find\nselect category London Sights\nselect item Tower of London\nbutton OK\nstate\n"
                      "button Find\nstate\n"
                      // The spaces before a first word stay; a tab is no space.
                      "select category Odd Names\nbutton OK\nstate\n"
                      // The arrow key moves down to the name with a tab.
                      "button Find\nstate\nkey DOWN\nbutton OK\nstate\n");
    ASSERT_EQ(states.size(), 5u);
    EXPECT_EQ(states[0]["settings"], json({{"Harbour Find Category", "London"}, {"Harbour Find Location", "Tower"}}));
    EXPECT_EQ(states[0]["center"], json({300, 150}));
    EXPECT_EQ(unwrapped(states[0]["popup"]["text"]), "Tower of London - Crown jewels");
    EXPECT_EQ(states[1]["dialog"]["category"], "London Sights");
    EXPECT_EQ(states[1]["dialog"]["items"], json({"Big Ben", "Tower Bridge", "Tower of London"}));
    EXPECT_EQ(states[1]["dialog"]["item"], "Tower Bridge");
    EXPECT_EQ(states[1]["dialog"]["pane"], "Opens for ships");
    EXPECT_EQ(states[2]["settings"]["Harbour Find Location"], " Quay");
    EXPECT_EQ(states[3]["dialog"]["items"], json({" Quay Steps", "Pier\tHead Light", "Pier Walk"}));
    EXPECT_EQ(states[3]["dialog"]["item"], " Quay Steps");
    EXPECT_EQ(states[4]["settings"], json({{"Harbour Find Category", "Odd"}, {"Harbour Find Location", "Pier\tHead"}}));
}

TEST_F(FindDialog, AStoredTextSelectsTheFirstItemBeginningWithItWithoutRegardToCase) {
    GuideCopy guide;
    append_to(guide, "HOME.DAB",
              category_section("Markets", {"300,150,Fish Market"}) +
                  category_section("Museums and Galleries", {"300,150,Sea Museum", "310,160,Town Gallery,Paintings"}));
    store_text("Harbour Find Category", u"museums");
    store_text("Harbour Find Location", u"TOWN");
    const auto states = states_of(guide.path(), "button Find\nstate\n");
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0]["dialog"]["category"], "Museums and Galleries");
    EXPECT_EQ(states[0]["dialog"]["item"], "Town Gallery");
    EXPECT_EQ(states[0]["dialog"]["pane"], "Paintings");
}

TEST_F(FindDialog, AMapWhoseImageCannotLoadBeepsAndBringsBackTheHomeMapAsItWasLeft) {
    GuideCopy guide;
    guide.remove("island.twk");
    const auto states = states_of(guide.path(), "button Zoom In\nkey RIGHT\nstate\n"
                                                "button Find\nselect map Market\nbutton OK\nstate\n"
                                                "button Find\nselect map Island\nstate\nbutton OK\nstate\n");
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(states[1]["current_map"], "Market");
    EXPECT_EQ(states[1]["history"], json({"Harbour"}));
    EXPECT_EQ(states[2]["dialog"]["item"], "North Beach");
    const json& after = states[3];
    EXPECT_EQ(after["beeps"], 1);
    // The harbour's view as it was left for the Market, nothing pushed for
    // the Market, and no popup: the place is not on this map.
    json expected = view_of(states[0]);
    expected["history"] = {"Harbour"};
    expected["back"] = true;
    EXPECT_EQ(view_of(after), expected);
    EXPECT_TRUE(after["selected_location"].is_null());
    EXPECT_EQ(after["popup"]["visible"], false);
    EXPECT_EQ(after["flags"]["PopupShown"], false);
    EXPECT_EQ(after["images"], json({"Harbour", "Old Town"}));
}

TEST_F(FindDialog, TheDialogShowsOliveLabelsOnYellowAndTheChoiceInANavyBar) {
    TempDir work;
    const auto run = app_test::run_script(kHarbour, app_test::script_file("find-looks.txt"), "", "", work.path());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const Screen first = read_screen(work.file("first.png"));
    const Screen second = read_screen(work.file("second.png"));
    const Screen info = read_screen(work.file("info.png"));
    // "Find Within" on the ground just below the navigation bar, at the
    // dialog's right edge nothing but ground.
    for (const Screen* screen : {&first, &info}) {
        EXPECT_EQ(screen->at(236, 30), kYellow);
        EXPECT_GT(screen->count(26, 40, kOlive), 40);
        EXPECT_GT(screen->count(26, 40, kYellow), 2000);
    }
    // One row of the place list is selected: the first, then the one below
    // it, and what was selected turns back to blue text on white.
    const std::vector<int> bar = first.navy_rows();
    const std::vector<int> moved = second.navy_rows();
    ASSERT_GE(bar.size(), 10u);
    ASSERT_EQ(moved.size(), bar.size());
    EXPECT_EQ(bar.back() - bar.front() + 1, static_cast<int>(bar.size()));
    EXPECT_EQ(moved.front(), bar.back() + 1);
    EXPECT_GT(second.blue_ink(bar.front(), bar.back() + 1), 100);
    EXPECT_EQ(second.count(bar.front(), bar.back() + 1, kNavy), 0);
    EXPECT_GT(first.blue_ink(moved.front(), moved.back() + 1), 100);
    // Information has no list box and no selection bar.
    EXPECT_TRUE(info.navy_rows().empty());
}

}  // namespace
