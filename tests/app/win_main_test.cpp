// The entry point run in this process on the headless screen, for the
// start-up failures a guide cannot cause: a main window that cannot be
// made and a menu bar whose resource is missing.
#include "app/command_bar.h"
#include "app/main_window_state.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
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

}  // namespace
