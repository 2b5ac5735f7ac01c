// The main window's paint in this process on the headless screen: white
// before the maps load and after a failed load, with keys and the stylus
// ignored; and a paint
// that leaves nothing to paint after it, so that an idle program does no
// work.
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/program_start.h"
#include "mapdb/map_catalogue.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "tests/app/script_run.h"

#include <gtest/gtest.h>

#include <string>

namespace headless = platform::headless;

namespace {

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

class MainWindowPaint : public ::testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        g_mainState = MainWindowState{};
    }
    void TearDown() override {
        g_mainState.ForgetMaps();
        FreeAllMaps();
        platform::set_module_directory(u"");
        headless::reset();
        RegisterProgramResources();
    }
    // Makes the main window on the guide as the entry point does; the
    // command that loads the maps waits in the queue.
    void create(const std::string& guide) {
        std::string error;
        ASSERT_TRUE(PrepareProgram(guide, &error)) << error;
        g_instance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(InitHtmlViewer(g_instance));
        ASSERT_TRUE(CreateMainWindow(g_instance));
    }
    // Also runs the program until the maps have loaded (or failed to) and
    // it is idle.
    void start(const std::string& guide) {
        create(guide);
        headless::run_until_idle();
    }
    // What reaches the window from a drag, a held press and keys, sent to
    // it directly: with no maps, none of it may leave a trace.
    static void send_input() {
        SendMessageW(g_mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
        for (int x : {140, 180, 220}) SendMessageW(g_mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 100));
        SendMessageW(g_mainWindow, WM_TIMER, 1, 0);
        SendMessageW(g_mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(220, 100));
        for (WPARAM key : {WPARAM{VK_DOWN}, WPARAM{VK_RETURN}, WPARAM{'A'}})
            SendMessageW(g_mainWindow, WM_KEYDOWN, key, 0);
    }
    static void expect_no_trace() {
        EXPECT_EQ(headless::next_timer_due(), platform::backend::kNoTimeout);
        EXPECT_EQ(g_mainState.tapTimer, 0u);
        EXPECT_FALSE(g_mainState.pendingDrag);
        EXPECT_FALSE(g_mainState.firstMoveAfterPress);
        EXPECT_EQ(g_mainState.lastPointerX, 0);
        EXPECT_EQ(g_mainState.lastPointerY, 0);
        EXPECT_EQ(g_mainState.UiFlags, 0u);
        EXPECT_EQ(g_mainState.currentMap, nullptr);
        EXPECT_TRUE(headless::sounds().empty());
    }
    // Blackens a 50 x 50 corner of the main window.
    static void draw_black_corner() {
        HDC dc = GetDC(g_mainWindow);
        RECT corner{0, 0, 50, 50};
        FillRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(g_mainWindow, dc);
    }
    // How many pixels of the main window's own surface are not white.
    static int not_white() {
        const platform::Surface pixels = headless::window_pixels(g_mainWindow);
        int count = 0;
        for (int y = 0; y < pixels.height(); ++y) {
            for (int x = 0; x < pixels.width(); ++x) count += (pixels.row(y)[x] & 0xFFFFFF) != 0xFFFFFF;
        }
        return count;
    }
};

TEST_F(MainWindowPaint, WithoutMapsTheWindowPaintsWhiteAndIgnoresKeysAndTheStylus) {
    app_test::GuideCopy guide;
    guide.remove("HOME.DAB");
    start(guide.path());
    ASSERT_EQ(g_mapCatalogue.homeMap, nullptr);
    ASSERT_EQ(headless::window_pixels(g_mainWindow).width(), 240);
    ASSERT_EQ(headless::window_pixels(g_mainWindow).height(), 268);
    EXPECT_EQ(not_white(), 0);

    // Whatever is drawn over it, a paint makes it white again.
    draw_black_corner();
    ASSERT_EQ(not_white(), 2500);
    const int paints = headless::paint_count(g_mainWindow);
    InvalidateRect(g_mainWindow, nullptr, FALSE);
    EXPECT_EQ(headless::run_until_idle(), 1);
    EXPECT_EQ(headless::paint_count(g_mainWindow), paints + 1);
    EXPECT_EQ(not_white(), 0);

    // The log lies over the window; the input goes to the window directly.
    send_input();
    expect_no_trace();
    EXPECT_EQ(headless::run_until_idle(), 0);
    EXPECT_EQ(not_white(), 0);
}

TEST_F(MainWindowPaint, BeforeTheMapsLoadTheWindowPaintsWhiteAndIgnoresKeysAndTheStylus) {
    create(kHarbour);
    ASSERT_EQ(g_mapCatalogue.homeMap, nullptr);
    draw_black_corner();
    ASSERT_EQ(not_white(), 2500);
    // The new window is due for its first paint.
    UpdateWindow(g_mainWindow);
    ASSERT_EQ(headless::paint_count(g_mainWindow), 1);
    EXPECT_EQ(not_white(), 0);
    send_input();
    expect_no_trace();
    // Then the maps load, and the map is drawn; the input before left
    // nothing selected.
    headless::run_until_idle();
    ASSERT_NE(g_mapCatalogue.homeMap, nullptr);
    EXPECT_GT(not_white(), 240 * 268 / 2);
    EXPECT_EQ(g_mainState.selectedLocation, nullptr);
    EXPECT_EQ(g_mainState.UiFlags, static_cast<std::uint32_t>(ViewActive));
    EXPECT_TRUE(headless::sounds().empty());
}

TEST_F(MainWindowPaint, APaintLeavesNothingToPaintAfterIt) {
    start(kHarbour);
    ASSERT_NE(g_mapCatalogue.homeMap, nullptr);
    ASSERT_EQ(headless::run_until_idle(), 0);
    const int paints = headless::paint_count(g_mainWindow);

    // A tap on Harbour Master (window 110, 134; the window starts 26
    // pixels down the screen): its repaint asks for one paint, and that
    // paint for none.
    headless::stylus_down(110, 160);
    headless::run_until_idle();
    headless::advance_clock(50);
    headless::stylus_up(110, 160);
    headless::run_until_idle();
    ASSERT_NE(g_mainState.selectedLocation, nullptr);
    EXPECT_EQ(headless::paint_count(g_mainWindow), paints + 1);
    EXPECT_EQ(headless::run_until_idle(), 0);

    // The paint handler itself, outside the platform's paint delivery,
    // leaves the window with nothing due. It shows the popup again, which
    // then paints itself, once.
    SendMessageW(g_mainWindow, WM_PAINT, 0, 0);
    HWND popup = headless::find_child(g_mainWindow, u"DISPLAYCLASS");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(IsWindowVisible(popup));
    const int popupPaints = headless::paint_count(popup);
    headless::run_until_idle();
    EXPECT_EQ(headless::paint_count(g_mainWindow), paints + 1);
    EXPECT_EQ(headless::paint_count(popup), popupPaints + 1);
    EXPECT_EQ(headless::run_until_idle(), 0);
}

TEST(IdleProgram, ThePaintCountStandsStillWhileNothingHappens) {
    auto run =
        app_test::run_script(kHarbour, "tap 110 134\nstate\nwait 5000\nstate\nkey UP\nstate\nwait 5000\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 4u);
    EXPECT_EQ(run.states[1]["paints"], run.states[0]["paints"]);
    EXPECT_EQ(run.states[3]["paints"], run.states[2]["paints"]);
    EXPECT_GT(run.states[2]["paints"].get<int>(), run.states[1]["paints"].get<int>());
}

}  // namespace
