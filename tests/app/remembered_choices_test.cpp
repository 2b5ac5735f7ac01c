// What the dialogs remember: the settings store read and written directly,
// the first-word cut, and through mapfolio-script the value names that
// follow the home map's name and the stored values of every length, type
// and size the dialogs must cope with.
#include "dialogs/dialog_common.h"
#include "dialogs/settings_store.h"
#include "tests/app/dialog_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using app_test::append_to;
using app_test::category_section;
using app_test::DialogTest;
using app_test::GuideCopy;
using app_test::LiveRun;
using app_test::states_of;
using app_test::store_value;
using app_test::stored_value;
using app_test::text_bytes;
using nlohmann::json;
using testing_support::read_file;

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

std::u16string cut(std::u16string text) {
    text.push_back(0);
    CutAtFirstWord(text.data());
    return std::u16string(text.c_str());
}

TEST(FirstWordCut, EndsBeforeTheFirstSpaceAfterTheFirstWord) {
    EXPECT_EQ(cut(u"Tower Bridge"), u"Tower");
    EXPECT_EQ(cut(u"Tower of London"), u"Tower");
    EXPECT_EQ(cut(u"Tower "), u"Tower");
    EXPECT_EQ(cut(u"Tower"), u"Tower");
    // Spaces before the first word stay with it.
    EXPECT_EQ(cut(u" Tower Bridge"), u" Tower");
    EXPECT_EQ(cut(u"   Tower  Bridge"), u"   Tower");
    // Spaces only, and nothing, stay whole.
    EXPECT_EQ(cut(u"   "), u"   ");
    EXPECT_EQ(cut(u""), u"");
    // Only U+0020 is a space.
    EXPECT_EQ(cut(u"Tower\tBridge Road"), u"Tower\tBridge");
    EXPECT_EQ(cut(u"\tTower Bridge"), u"\tTower");
    EXPECT_EQ(cut(u"Caf\u00E9\u00A0Royal Hotel"), u"Caf\u00E9\u00A0Royal");
}

using SettingsStore = DialogTest;

TEST_F(SettingsStore, AccessSettingReadsWithinTheCapacityAndWritesWhatItIsGiven) {
    WCHAR buffer[200];
    DWORD type = REG_SZ;
    DWORD size = sizeof buffer;
    // A read of nothing fails, and makes the key all the same.
    EXPECT_EQ(AccessSetting(SettingRead, u"Harbour Find Category", &type, buffer, &size), 0);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);

    type = REG_BINARY;
    size = 12;
    EXPECT_EQ(AccessSetting(SettingWrite, u"Harbour Find Category", &type, const_cast<char16_t*>(u"Tower"), &size), 1);
    const auto stored = stored_value("Harbour Find Category");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(stored->bytes.size(), 12u);
    // Read with room for exactly its bytes, then one byte less; the name in
    // other letters.
    type = REG_SZ;
    size = 12;
    EXPECT_EQ(AccessSetting(SettingRead, u"HARBOUR FIND category", &type, buffer, &size), 1);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(std::u16string(buffer), u"Tower");
    size = 11;
    EXPECT_EQ(AccessSetting(SettingRead, u"Harbour Find Category", &type, buffer, &size), 0);
}

TEST_F(SettingsStore, ARememberedTextEndsAtItsFirstZeroOrAfter199Characters) {
    const std::u16string x198(198, u'x');
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> bytes;
        std::u16string text;
    };
    auto with_zero = [](const std::u16string& text) {
        std::vector<BYTE> bytes = text_bytes(text);
        bytes.insert(bytes.end(), {0, 0});
        return bytes;
    };
    std::vector<BYTE> odd = text_bytes(u"Sights");
    odd.push_back('x');
    const std::vector<Case> cases = {
        {"199 characters", REG_SZ, with_zero(x198 + u"B"), x198 + u"B"},
        {"200 characters", REG_SZ, with_zero(x198 + u"BC"), u""},
        {"400 bytes without a zero", REG_SZ, text_bytes(x198 + u"BC"), x198 + u"B"},
        {"the terminator alone", REG_SZ, {0, 0}, u""},
        {"no bytes", REG_SZ, {}, u""},
        {"one byte", REG_SZ, {'S'}, u""},
        {"an odd size", REG_SZ, odd, u"Sights"},
        {"another type", REG_DWORD, text_bytes(u"Si"), u"Si"},
        {"a zero inside", REG_BINARY, with_zero(u"Sights" + std::u16string(1, u'\0') + u"Transport"), u"Sights"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store_value("Harbour Find Category", c.type, c.bytes);
        WCHAR text[RememberedTextLength + 1];
        std::fill(std::begin(text), std::end(text), u'#');
        ReadRememberedText(u"Harbour Find Category", text);
        EXPECT_EQ(std::u16string(text), c.text);
    }
    WCHAR text[RememberedTextLength + 1];
    std::fill(std::begin(text), std::end(text), u'#');
    ReadRememberedText(u"Harbour Find Location", text);
    EXPECT_EQ(std::u16string(text), u"");
}

TEST_F(SettingsStore, ARememberedTextIsWrittenWithItsTerminator) {
    WriteRememberedText(u"Harbour Info Category", u"");
    auto stored = stored_value("Harbour Info Category");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored->bytes, (std::vector<BYTE>{0, 0}));
    WriteRememberedText(u"harbour info CATEGORY", u"Opening");
    stored = stored_value("Harbour Info Category");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->bytes.size(), 16u);
    EXPECT_EQ(stored->bytes, text_bytes(std::u16string(u"Opening") + u'\0'));
}

using RememberedChoices = DialogTest;

TEST_F(RememberedChoices, ValueNamesFollowTheHomeMapsNameWhicheverMapIsCurrent) {
    GuideCopy guide;
    // The Old Town is the home map and the harbour the main one.
    guide.rename("HOME.DAB", "SWAP.DAB");
    guide.rename("MAIN.DAB", "HOME.DAB");
    guide.rename("SWAP.DAB", "MAIN.DAB");
    const auto states = states_of(guide.path(), "button Find\nselect map Harbour\nbutton OK\n"
                                                "button Find\nselect category Sights\nselect item Lighthouse\n"
                                                "button OK\nbutton Information\nbutton Close\nstate\n");
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0]["current_map"], "Harbour");
    EXPECT_EQ(states[0]["settings"], json({{"Old Town Find Category", "Sights"},
                                           {"Old Town Find Location", "Lighthouse"},
                                           {"Old Town Info Category", "About"}}));
}

TEST_F(RememberedChoices, HomeMapNamesDifferingOnlyInCaseShareTheirValues) {
    auto renamed = [](GuideCopy& guide, const std::string& name) {
        std::string home = read_file(guide.file("HOME.DAB"));
        home.replace(home.find("Harbour,Harbour district"), 7, name);
        guide.write("HOME.DAB", home);
    };
    GuideCopy upper;
    renamed(upper, "HARBOUR");
    GuideCopy longer;
    renamed(longer, "Harbour Town");
    states_of(kHarbour, "button Find\nselect category Sights\nselect item Lighthouse\nbutton OK\n");
    const auto shared = states_of(upper.path(), "button Find\nstate\nselect category Transport\nbutton OK\nstate\n");
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_EQ(shared[0]["dialog"]["category"], "Sights");
    EXPECT_EQ(shared[0]["dialog"]["item"], "Lighthouse");
    // The values keep the name they were first stored under.
    EXPECT_EQ(shared[1]["settings"],
              json({{"Harbour Find Category", "Transport"}, {"Harbour Find Location", "Ferry"}}));
    // Another home map name starts from nothing.
    const auto fresh = states_of(longer.path(), "button Find\nstate\n");
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0]["dialog"]["category"], "Cafes");
    EXPECT_EQ(fresh[0]["dialog"]["item"], "Quay Cafe");
}

TEST_F(RememberedChoices, StoredValuesOfAnyLengthTypeOrSizeSelectByAtMost199Characters) {
    GuideCopy guide;
    const std::string x198(198, 'x');
    // Three categories that a text cut one character short, read whole or
    // read one character long would each select.
    append_to(guide, "HOME.DAB",
              category_section(x198 + "C long", {"300,150,Quay"}) +
                  category_section(x198 + "B long", {"300,150," + std::string(230, 'L') + " End"}) +
                  category_section(x198 + "BC long", {"300,150,Quay"}));
    const std::u16string u198(198, u'x');
    std::vector<BYTE> odd = text_bytes(u"Transport");
    odd.push_back('x');
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> bytes;
        std::string category;
    };
    const std::vector<Case> cases = {
        {"199 characters", REG_SZ, text_bytes(u198 + u"B" + u'\0'), x198 + "B long"},
        {"200 characters", REG_SZ, text_bytes(u198 + u"BC" + u'\0'), "Cafes"},
        {"400 bytes without a zero", REG_SZ, text_bytes(u198 + u"BC"), x198 + "B long"},
        {"an empty text", REG_SZ, {0, 0}, "Cafes"},
        {"an odd size", REG_SZ, odd, "Transport"},
        {"another type", REG_DWORD, text_bytes(u"Si"), "Sights"},
        {"a zero inside", REG_BINARY, text_bytes(u"Sights" + std::u16string(1, u'\0') + u"Transport"), "Sights"},
    };
    LiveRun run({guide.path()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store_value("Harbour Find Category", c.type, c.bytes);
        run.send("button Find");
        const json state = run.state();
        EXPECT_EQ(state["dialog"]["category"], c.category);
        run.send("button Cancel");
    }
    // A category and a place longer than what is remembered: the first 199
    // characters of each, with no space to cut at.
    run.send("button Find");
    run.send("select category " + x198 + "B long");
    run.send("button OK");
    const json state = run.state();
    EXPECT_EQ(run.finish(), 0);
    EXPECT_EQ(state["settings"], json({{"Harbour Find Category", x198 + "B"},
                                       {"Harbour Find Location", std::string(199, 'L')}}));
    const auto stored = stored_value("Harbour Find Location");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->bytes.size(), 400u);
}

TEST_F(RememberedChoices, AnEmptyTitleIsStoredAsItsTerminatorAlone) {
    GuideCopy guide;
    guide.write("HOME.DAB", app_test::topic_section("", "<P>Untitled.</P>") + read_file(guide.file("HOME.DAB")));
    const auto states = states_of(guide.path(), "button Information\nstate\nbutton Close\nbutton Information\nstate\n");
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0]["dialog"]["topics"], json({"", "About this guide", "Getting around"}));
    EXPECT_EQ(states[0]["dialog"]["topic"], "");
    EXPECT_EQ(states[0]["dialog"]["pane"], "Untitled.");
    const auto stored = stored_value("Harbour Info Category");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored->bytes, (std::vector<BYTE>{0, 0}));
    EXPECT_EQ(states[1]["dialog"]["topic"], "");
}

TEST_F(RememberedChoices, AStoreThatCannotBeWrittenLeavesTheDialogsWorking) {
    // The configuration directory is a file: no key can be made.
    testing_support::TempDir work;
    setenv("XDG_CONFIG_HOME", work.write("config", "not a directory").c_str(), 1);
    const auto states = states_of(kHarbour, "button Find\nstate\nselect category Transport\nbutton OK\nstate\n");
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0]["dialog"]["category"], "Cafes");
    EXPECT_EQ(states[1]["current_map"], "Harbour");
    EXPECT_EQ(app_test::unwrapped(states[1]["popup"]["text"]), "Ferry Pier - Boats to the island every hour");
    EXPECT_EQ(states[1]["settings"], json::object());
}

}  // namespace
