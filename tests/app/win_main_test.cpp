// The entry point run in this process on the headless screen, for the
// start-up failures a guide cannot cause: a main window that cannot be
// made and a menu bar whose resource is missing.
#include "app/command_bar.h"
#include "app/main_window_state.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
#include "mapview/map_view.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace headless = platform::headless;

namespace {

const std::u16string kHarbour = testing_support::to_u16(std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour");

class EntryPoint : public ::testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        g_mainState = MainWindowState{};
        platform::set_module_directory(kHarbour);
    }
    void TearDown() override {
        headless::set_idle_handler(nullptr);
        g_mainState.ForgetMaps();
        FreeAllMaps();
        platform::set_module_directory(u"");
        headless::reset();
        RegisterProgramResources();
    }
    // Runs the entry point; every message box met is written down and
    // answered with Enter, and once the program is idle without one, check
    // runs and the program is told to quit.
    int run(const std::function<void()>& check = {}) {
        headless::set_idle_handler([this, check] {
            if (auto box = headless::message_box()) {
                boxes.push_back(testing_support::to_u8(box->caption + u": " + box->text));
                headless::press_key(VK_RETURN);
                return true;
            }
            if (!checked) {
                checked = true;
                if (check) check();
            }
            PostQuitMessage(0);
            return true;
        });
        return WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    }

    std::vector<std::string> boxes;
    bool checked = false;
};

LRESULT CALLBACK refuse_creation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return -1;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(EntryPoint, AMainWindowThatCannotBeMadeIsReported) {
    RegisterProgramResources();
    // A class of that name already taken: the window's creation then fails.
    WNDCLASSW other{};
    other.lpfnWndProc = refuse_creation;
    other.lpszClassName = u"MapfolioClass";
    ASSERT_NE(RegisterClassW(&other), 0);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error: Main window creation failed!"}));
    EXPECT_EQ(g_mapCatalogue.homeMap, nullptr);
}

TEST_F(EntryPoint, WithoutItsMenuBarTheProgramRunsOnWithoutButtons) {
    platform::clear_resources();
    RegisterButtonBitmaps();
    RegisterProgramIcon();
    RegisterSounds();
    std::optional<RECT> window;
    EXPECT_EQ(run([&] {
                  RECT r{};
                  GetWindowRect(g_mainWindow, &r);
                  window = r;
              }),
              0);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error: Create Menu Bar Failed"}));
    EXPECT_EQ(g_menuBar, nullptr);
    SetCommandButtonEnabled(40100, true);  // harmless without a bar
    // The maps loaded all the same, into a window below the navigation bar
    // made 26 pixels shorter.
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->top, 26);
    EXPECT_EQ(window->bottom - window->top, 268);
    EXPECT_EQ(window->right - window->left, 240);
    ASSERT_NE(g_mainState.currentMap, nullptr);
    EXPECT_EQ(testing_support::to_u8(g_mainState.currentMap->MapName()), "Harbour");
    EXPECT_EQ(g_mainState.UiFlags, static_cast<std::uint32_t>(ViewActive));
    EXPECT_EQ(headless::navigation_bar_text(), u"Harbour");
}

// The desktop window's wheel and keys, each a tap on its menu-bar button:
// acting only where the button is enabled, never reaching the window as a
// key, and nothing while a message box is in front.
TEST_F(EntryPoint, DesktopShortcutsTapTheirButtons) {
    using platform::DesktopKey;
    RegisterProgramResources();
    struct Seen {
        int zoom = 0;
        std::size_t sounds = 0;
        int beeps = 0;
        std::string map;
    };
    std::vector<Seen> seen;
    auto note = [&seen] {
        Seen s;
        s.zoom = g_mainState.currentMap ? g_mainState.currentMap->mapView->GetZoomPercent() : 0;
        s.sounds = headless::sounds().size();
        for (const auto& sound : headless::sounds()) s.beeps += sound.kind == platform::backend::SoundRecord::Kind::Beep;
        s.map = g_mainState.currentMap ? testing_support::to_u8(g_mainState.currentMap->MapName()) : "";
        seen.push_back(s);
    };
    // One step each time the program goes idle.
    const std::vector<std::function<void()>> steps = {
        [] { headless::desktop_key(DesktopKey::WheelUp); },
        [&] { note(); headless::desktop_key(DesktopKey::WheelDown); },
        [&] { note(); headless::desktop_key(DesktopKey::WheelDown); },
        // Back is disabled: nothing, not even a beep for an empty history.
        [&] { note(); headless::desktop_key(DesktopKey::Backspace); },
        [&] { note(); headless::desktop_key(DesktopKey::Home); },
        [&] { note(); headless::desktop_key(DesktopKey::CtrlQ); },
        // With the question up, the main bar is not on the screen.
        [&] { note(); headless::desktop_key(DesktopKey::WheelUp); },
        [&] {
            note();
            if (auto box = headless::message_box()) boxes.push_back(testing_support::to_u8(box->text));
            headless::press_key(VK_ESCAPE);  // No
        },
        [&] { note(); PostQuitMessage(0); },
    };
    std::size_t next = 0;
    headless::set_idle_handler([&] {
        if (next >= steps.size()) return false;
        steps[next++]();
        return true;
    });
    EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 0);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[0].zoom, 150);  // the wheel up is Zoom In, with its click
    EXPECT_EQ(seen[0].sounds, 1u);
    EXPECT_EQ(seen[1].zoom, 100);
    EXPECT_EQ(seen[2].zoom, 50);
    EXPECT_EQ(seen[3].sounds, seen[2].sounds);  // a disabled Back: no click, no beep
    EXPECT_EQ(seen[3].beeps, 0);
    EXPECT_EQ(seen[4].sounds, seen[3].sounds + 1);  // Home on the home map: only its click
    EXPECT_EQ(seen[4].zoom, 50);
    EXPECT_EQ(seen[6].zoom, 50);  // the wheel did nothing behind the question
    EXPECT_EQ(seen[6].sounds, seen[5].sounds);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Quit the application?"}));
    EXPECT_EQ(seen[7].map, "Harbour");  // answered No
}

}  // namespace
