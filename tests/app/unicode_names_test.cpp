// Names outside Latin-1 as the user meets them: sorted among the letters
// they belong to, and matched without regard to case in the settings and by
// mapfolio-script's select.
#include "tests/app/dialog_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using app_test::DialogTest;
using app_test::states_of;
using app_test::store_text;
using nlohmann::json;

using UnicodeNames = DialogTest;

TEST_F(UnicodeNames, TheDemoGuidesAsianCitiesSortAccentedNamesAmongTheirLetters) {
    const auto states =
        states_of(MAPFOLIO_DEMO_GUIDE, "button Find\nselect map Asia\nselect category Cities over 5 million\nstate\n");
    ASSERT_EQ(states.size(), 1u);
    const std::vector<std::string> items = states[0]["dialog"]["items"];
    const struct {
        const char* before;
        const char* name;
        const char* after;
    } cases[] = {
        {"Nanyang", "Ōsaka", "Prayagraj"},
        {"Karachi", "Kāshān", "Kolkāta"},
        {"Surabaya", "Sūrat", "Suzhou"},
    };
    for (const auto& c : cases) {
        const auto at = std::find(items.begin(), items.end(), c.name);
        ASSERT_TRUE(at != items.end() && at != items.begin() && at + 1 != items.end()) << c.name;
        EXPECT_EQ(at[-1], c.before);
        EXPECT_EQ(at[1], c.after);
    }
}

// The settings are named after the home map. Values stored under its name
// in capitals are the home map's; the remembered texts in capitals select
// their category and place; select finds items given in capitals; OK writes
// over the same values, which keep the case they were first written in.
TEST_F(UnicodeNames, NamesThatDifferOnlyInCaseShareSettingsAndAreSelected) {
    const struct {
        std::string home, homeCaps;
        std::string first, firstPlace;                // the first category in the file, its place
        std::string second, secondFirst, secondLast;  // the second category, its places
        std::string storedCategory, storedPlace;      // in capitals
        std::string chosenCategory, chosenPlace;      // what select is given
    } cases[] = {
        {"Αθήνα", "ΑΘΉΝΑ", "Μουσεία", "Μπενάκη", "Πάρκα", "Άλσος", "Ζάππειο", "ΠΆΡΚΑ", "ΖΆΠΠΕΙΟ", "ΜΟΥΣΕΊΑ", "μπενάκη"},
        {"Москва", "МОСКВА", "Музеи", "Пушкинский", "Парки", "Горький", "Сокольники", "ПАРКИ", "СОКОЛЬНИКИ", "МУЗЕИ",
         "пушкинский"},
    };
    const std::string image = testing_support::read_file(std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour/island.twk");
    json settings = json::object();  // the cases share one settings store
    for (const auto& c : cases) {
        SCOPED_TRACE(c.home);
        testing_support::TempDir guide;
        guide.write("island.twk", image);
        guide.write("MAIN.DAB", app_test::small_database("Main"));
        guide.write("HOME.DAB", "\xEF\xBB\xBF" + app_test::small_database(c.home) +
                                    app_test::category_section(c.first, {"10,10," + c.firstPlace}) +
                                    app_test::category_section(c.second, {"20,20," + c.secondFirst, "30,30," + c.secondLast}));
        store_text(c.homeCaps + " Find Category", platform::from_utf8(c.storedCategory));
        store_text(c.homeCaps + " Find Location", platform::from_utf8(c.storedPlace));

        const auto states = states_of(guide.path(), "button Find\nstate\nselect category " + c.chosenCategory +
                                                        "\nselect item " + c.chosenPlace + "\nbutton OK\nstate\n");
        ASSERT_EQ(states.size(), 2u);
        EXPECT_EQ(states[0]["dialog"]["category"], c.second);
        EXPECT_EQ(states[0]["dialog"]["item"], c.secondLast);
        EXPECT_EQ(states[1]["selected_location"], c.firstPlace);
        settings[c.homeCaps + " Find Category"] = c.first;
        settings[c.homeCaps + " Find Location"] = c.firstPlace;
        EXPECT_EQ(states[1]["settings"], settings);
    }
}

}  // namespace
