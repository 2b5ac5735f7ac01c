// The dialogs' menu bars, with the program run in this process on the
// headless screen: the buttons and their tool tips, and a dialog whose bar
// cannot be made, which Escape and Enter still close.
#include "app/main_window_state.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
#include "platform/testing/dialog_controls.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/app/dialog_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace headless = platform::headless;

namespace {

using testing_support::to_u8;

const std::u16string kHarbour = testing_support::to_u16(std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour");

class DialogMenuBar : public app_test::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        headless::reset();
        g_mainState = MainWindowState{};
        platform::set_module_directory(kHarbour);
        RegisterProgramResources();
    }
    void TearDown() override {
        headless::set_idle_handler(nullptr);
        g_mainState.ForgetMaps();
        FreeAllMaps();
        platform::set_module_directory(u"");
        headless::reset();
        RegisterProgramResources();
        DialogTest::TearDown();
    }
    // Runs the entry point, one step each time the program is idle with no
    // message box up; boxes are written down and answered with Enter. The
    // program is told to quit after the last step.
    void run(const std::vector<std::function<void()>>& steps) {
        std::size_t next = 0;
        headless::set_idle_handler([&] {
            if (auto box = headless::message_box()) {
                boxes.push_back(to_u8(box->caption + u": " + box->text));
                headless::press_key(VK_RETURN);
                return true;
            }
            if (next < steps.size()) {
                steps[next++]();
            } else {
                PostQuitMessage(0);
            }
            return true;
        });
        EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 0);
        EXPECT_EQ(next, steps.size());
    }
    static void command(WPARAM id) { PostMessageW(g_mainWindow, WM_COMMAND, id, 0); }

    std::vector<std::string> boxes;
};

struct Button {
    std::string tip;
    int command;
    bool operator==(const Button&) const = default;
};

std::vector<Button> buttons_on_screen() {
    std::vector<Button> buttons;
    for (const headless::MenuBarButton& b : headless::menu_bar_buttons()) {
        if (!b.hidden) buttons.push_back(Button{to_u8(b.tip), b.command});
    }
    return buttons;
}

std::string location_name() {
    return g_mainState.selectedLocation ? to_u8(g_mainState.selectedLocation->name) : "";
}

TEST_F(DialogMenuBar, TheDialogsButtonsCarryTheirToolTips) {
    std::vector<Button> find;
    std::vector<Button> info;
    std::vector<RECT> rects;
    run({
        [] { command(40090); },
        [&] {
            find = buttons_on_screen();
            for (const auto& b : headless::menu_bar_buttons()) {
                if (!b.hidden) rects.push_back(b.rect);
            }
            headless::press_key(VK_ESCAPE);
        },
        [] { command(40098); },
        [&] {
            info = buttons_on_screen();
            headless::press_key(VK_ESCAPE);
        },
    });
    EXPECT_EQ(find, (std::vector<Button>{{"Cancel", IDM_DIALOG_CANCEL}, {"OK", IDM_DIALOG_OK}}));
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_LT(rects[0].right, rects[1].left + 1);
    EXPECT_EQ(info, (std::vector<Button>{{"Close", IDM_DIALOG_CANCEL}}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DialogMenuBar, WithoutTheirBarEscapeAndEnterStillCloseTheDialogs) {
    // Every resource but the dialogs' menu bar.
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(IDM_MAIN_MENUBAR), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(program, found)));
    std::vector<std::uint8_t> mainBar(bytes, bytes + SizeofResource(program, found));
    platform::clear_resources();
    RegisterButtonBitmaps();
    RegisterDialogTemplates();
    RegisterProgramIcon();
    RegisterSounds();
    platform::add_resource(RT_RCDATA, MAKEINTRESOURCEW(IDM_MAIN_MENUBAR), mainBar);

    struct Seen {
        bool dialog = false;
        std::string title;
        std::string location;
        std::size_t buttons = 0;
        bool popup = false;
    };
    std::vector<Seen> seen;
    auto note = [&seen] {
        seen.push_back(Seen{platform::testing::front_dialog() != nullptr, to_u8(headless::navigation_bar_text()),
                            location_name(), buttons_on_screen().size(), g_mainState.Has(PopupShown)});
    };
    run({
        [] { command(40090); },
        [&] { note(); headless::press_key(VK_ESCAPE); },
        [&] { note(); command(40090); },
        [&] { note(); headless::press_key(VK_RETURN); },
        [&] { note(); command(40098); },
        [&] { note(); headless::press_key(VK_ESCAPE); },
        [&] { note(); },
    });
    EXPECT_EQ(boxes, std::vector<std::string>(3, "Error: Create Menu Bar Failed"));
    ASSERT_EQ(seen.size(), 6u);
    // Find up without a button; Escape cancels it.
    EXPECT_TRUE(seen[0].dialog);
    EXPECT_EQ(seen[0].title, "Find");
    EXPECT_EQ(seen[0].buttons, 0u);
    EXPECT_FALSE(seen[1].dialog);
    EXPECT_EQ(seen[1].title, "Harbour");
    EXPECT_EQ(seen[1].location, "");
    // Enter is OK: the first place of the first category, with its popup.
    EXPECT_TRUE(seen[2].dialog);
    EXPECT_FALSE(seen[3].dialog);
    EXPECT_EQ(seen[3].location, "Quay Cafe");
    EXPECT_TRUE(seen[3].popup);
    // Escape is Information's close button, which stores the topic.
    EXPECT_TRUE(seen[4].dialog);
    EXPECT_EQ(seen[4].title, "Information");
    EXPECT_FALSE(seen[5].dialog);
    EXPECT_EQ(seen[5].title, "Harbour");
    const auto topic = app_test::stored_value("Harbour Info Category");
    ASSERT_TRUE(topic.has_value());
    EXPECT_EQ(topic->bytes, app_test::text_bytes(std::u16string(u"About") + u'\0'));
    const auto place = app_test::stored_value("Harbour Find Location");
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(place->bytes, app_test::text_bytes(std::u16string(u"Quay") + u'\0'));
}

// Find that cannot show its dialog, its template missing or cut short: one
// beep, the popup and link frame of the tap before it gone, and the map, the
// title and Back as they were.
TEST_F(DialogMenuBar, FindThatCannotOpenBeepsOnceAndTakesAwayTheTapsPopupAndFrame) {
    struct Case {
        const char* what;
        bool registered;  // else no Find template at all
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {{"missing", false, {}}, {"cut short", true, {0x01, 0x00, 0xFF, 0xFF}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::clear_resources();
        RegisterButtonBitmaps();
        RegisterMenuBars();
        RegisterProgramIcon();
        RegisterSounds();
        if (c.registered) {
            RegisterDialogTemplates();
            platform::add_resource(RT_DIALOG, MAKEINTRESOURCEW(IDD_FIND), c.bytes);
        }
        struct Seen {
            std::uint32_t flags = 0;
            std::string map;
            std::string title;
            std::size_t beeps = 0;
        };
        auto note = [](std::vector<Seen>& into) {
            std::size_t beeps = 0;
            for (const auto& sound : headless::sounds()) beeps += sound.kind == platform::backend::SoundRecord::Kind::Beep;
            into.push_back(Seen{g_mainState.UiFlags, to_u8(g_mainState.currentMap->MapName()),
                                to_u8(headless::navigation_bar_text()), beeps});
        };
        std::vector<Seen> seen;
        // To the Market, then a tap on its corner that links to the Old
        // Town (client pixel 10, 24, below the 26-pixel navigation bar).
        run({
            [] { headless::tap(220, 150 + 26); },
            [] { command(40101); },
            [] { headless::tap(10, 24 + 26); },
            [&] { note(seen); command(40090); },
            [&] { note(seen); },
        });
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].flags, PopupShown | ViewActive | LinkHighlighted | BackAvailable);
        EXPECT_EQ(seen[1].flags, ViewActive | BackAvailable);
        EXPECT_EQ(seen[1].beeps, seen[0].beeps + 1);
        EXPECT_EQ(seen[1].map, "Market");
        EXPECT_EQ(seen[0].title, "Market");
        EXPECT_EQ(seen[1].title, "Market");
        EXPECT_TRUE(boxes.empty());
        g_mainState.ForgetMaps();
        FreeAllMaps();
        headless::reset();
        g_mainState = MainWindowState{};
    }
}

}  // namespace
