#include "platform/gdi/object_table.h"
#include "tests/support/test_files.h"
#include "tests/platform/window_recorder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace window_tests;
namespace headless = platform::headless;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;

class Screen : public ::testing::Test {
protected:
    void SetUp() override { start_over(); }
};

void fill_client(HWND window, COLORREF colour) {
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    RECT client{};
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

// An idle program presents again and again; the screen is composed only
// when something may have changed: drawing through a DC, a window moved,
// shown, hidden or restacked. What was drawn always reaches the screen,
// also through a DC kept open across a present.
TEST_F(Screen, AScreenIsComposedAgainOnlyWhenSomethingChanged) {
    HWND window = make_window("w", WS_VISIBLE, RECT{0, 40, 120, 140});
    headless::run_until_idle();
    fill_client(window, RGB(255, 0, 0));
    headless::run_until_idle();
    const int presented = headless::present_count();
    for (int i = 0; i < 5; ++i) headless::run_until_idle();
    EXPECT_EQ(headless::present_count(), presented);
    EXPECT_EQ(headless::pixel(10, 50), kRed);

    HDC held = GetDC(window);
    headless::run_until_idle();
    RECT part{0, 0, 10, 10};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(held, &part, blue);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(5, 45), kBlue);
    ReleaseDC(window, held);
    DeleteObject(blue);

    MoveWindow(window, 100, 40, 120, 100, FALSE);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(10, 50), kWhite);
    EXPECT_EQ(headless::pixel(110, 50), kRed);
    ShowWindow(window, SW_HIDE);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(110, 50), kWhite);
}

TEST_F(Screen, WindowsAreComposedInZOrderAndChildrenAreClippedByTheirParent) {
    HWND back = make_window("back", WS_VISIBLE, RECT{0, 40, 120, 140});
    HWND front = make_window("front", WS_VISIBLE | WS_BORDER, RECT{60, 80, 180, 180});
    HWND child = make_window("child", WS_CHILD | WS_VISIBLE, RECT{100, 10, 200, 40}, front);
    headless::run_until_idle();
    fill_client(back, RGB(255, 0, 0));
    fill_client(front, RGB(0, 0, 255));
    fill_client(child, RGB(0, 255, 0));
    headless::run_until_idle();

    EXPECT_EQ(headless::pixel(10, 50), kRed);
    EXPECT_EQ(headless::pixel(70, 90), kBlue);     // front covers back
    EXPECT_EQ(headless::pixel(60, 80), 0x000000u); // front's border
    EXPECT_EQ(headless::pixel(165, 95), kGreen);   // child inside front's client area
    EXPECT_EQ(headless::pixel(179, 95), 0x000000u); // front's right border, not the child
    EXPECT_EQ(headless::pixel(185, 95), kWhite);   // the part of the child outside front is not shown
    EXPECT_EQ(headless::pixel(150, 150), kBlue);

    // A tap on the back window brings it to the front.
    headless::tap(10, 100);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(70, 90), kRed);
    EXPECT_EQ(headless::pixel(150, 150), kBlue);

    ShowWindow(child, SW_HIDE);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(165, 95), kBlue);
    DestroyWindow(back);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(10, 50), kWhite);
    EXPECT_EQ(headless::pixel(70, 90), kBlue);
}

TEST_F(Screen, DrawingStaysUntilDrawnOverAndMovingKeepsIt) {
    HWND main = make_window("main", WS_VISIBLE, RECT{0, 26, 240, 320});
    headless::run_until_idle();
    fill_client(main, RGB(0, 0, 255));
    HDC dc = GetDC(main);
    RECT spot{10, 10, 20, 20};
    FillRect(dc, &spot, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    ReleaseDC(main, dc);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(15, 26 + 15), 0x808080u);

    // Shorter by the menu bar's height, without repainting: the top stays,
    // and the empty menu bar shows below.
    MoveWindow(main, 0, 26, 240, 268, FALSE);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(15, 41), 0x808080u);
    EXPECT_EQ(headless::pixel(100, 293), kBlue);
    EXPECT_EQ(headless::pixel(100, 294), 0x808080u);  // the bar's top edge
    EXPECT_EQ(headless::pixel(100, 310), 0xBDBEBDu);

    // A window partly off the screen is cut by it.
    MoveWindow(main, -100, 200, 240, 268, FALSE);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(0, 210), kBlue);
    EXPECT_EQ(headless::pixel(139, 319), kBlue);
}

TEST_F(Screen, PaintDrawsOnlyWhatIsDue) {
    HWND main = make_window("main", WS_VISIBLE, RECT{0, 26, 240, 320});
    COLORREF colour = RGB(255, 0, 0);
    on("main", WM_PAINT, [&](HWND w, WPARAM, LPARAM) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(w, &ps);
        RECT client{};
        GetClientRect(w, &client);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(w, &ps);
        return LRESULT{0};
    });
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(100, 100), kRed);
    colour = RGB(0, 255, 0);
    RECT due{0, 0, 50, 50};
    InvalidateRect(main, &due, FALSE);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(10, 30), kGreen);
    EXPECT_EQ(headless::pixel(60, 30), kRed);
    EXPECT_EQ(headless::pixel(10, 26 + 50), kRed);
}

TEST_F(Screen, ClassBrushErasesTheAreaDue) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = u"Grey";
    ASSERT_NE(RegisterClassW(&wc), 0);
    CreateWindowExW(0, u"Grey", u"", WS_VISIBLE, 0, 26, 100, 100, nullptr, nullptr, nullptr, nullptr);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(50, 60), 0x808080u);
}

TEST_F(Screen, NavigationBarShowsTheTitle) {
    HWND main = make_window("main", WS_VISIBLE, RECT{0, 26, 240, 320});
    headless::run_until_idle();
    auto count_white = []() {
        int white = 0;
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 240; ++x) white += headless::pixel(x, y) == kWhite;
        return white;
    };
    EXPECT_EQ(headless::pixel(200, 2), 0x002878u);
    EXPECT_EQ(count_white(), 0);
    EXPECT_TRUE(SHSetNavBarText(main, u"Harbour Town"));
    EXPECT_EQ(headless::navigation_bar_text(), u"Harbour Town");
    headless::run_until_idle();
    EXPECT_GT(count_white(), 30);
    // The text sits at the left of the bar.
    for (int y = 0; y < 26; ++y) EXPECT_NE(headless::pixel(235, y), kWhite);
    EXPECT_FALSE(SHSetNavBarText(reinterpret_cast<HWND>(0x7770), u"x"));
}

TEST_F(Screen, BusyPointerShowsAtOnce) {
    make_window("main", WS_VISIBLE, RECT{0, 26, 240, 320});
    headless::run_until_idle();
    int presents = headless::present_count();
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_TRUE(headless::busy_cursor());
    EXPECT_EQ(headless::present_count(), presents + 1);
    int changed = 0;
    for (int y = 140; y < 180; ++y)
        for (int x = 100; x < 140; ++x) changed += headless::pixel(x, y) != kWhite;
    EXPECT_GT(changed, 40);
    EXPECT_NE(headless::pixel(131, 160), kWhite);
    EXPECT_EQ(SetCursor(nullptr), LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_FALSE(headless::busy_cursor());
    EXPECT_EQ(headless::pixel(131, 160), kWhite);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
}

TEST_F(Screen, SleepPresentsWhatWasDrawnBeforeIt) {
    HWND main = make_window("main", WS_VISIBLE, RECT{0, 26, 240, 320});
    headless::run_until_idle();
    fill_client(main, RGB(0, 0, 255));
    EXPECT_EQ(headless::pixel(5, 30), kWhite);
    Sleep(200);
    EXPECT_EQ(headless::pixel(5, 30), kBlue);
}

TEST_F(Screen, MessageBoxIsDrawnOverTheProgram) {
    HWND main = make_window("main", WS_VISIBLE, RECT{0, 26, 240, 320});
    headless::run_until_idle();
    fill_client(main, RGB(0, 0, 255));
    platform::Surface seen;
    int step = 0;
    headless::set_idle_handler([&]() {
        if (step++ > 0) return false;
        seen = headless::frame();
        headless::press_key(VK_RETURN);
        return true;
    });
    MessageBoxW(main, u"HTML Control Initialization failed!", u"Error", MB_OK);
    ASSERT_EQ(seen.width(), 240);
    // Caption strip, white text area and the button face between blue edges.
    int caption = 0;
    int white = 0;
    int face = 0;
    for (int y = 26; y < 294; ++y) {
        for (int x = 0; x < 240; ++x) {
            std::uint32_t p = seen.row(y)[x];
            caption += p == 0x002878u;
            white += p == kWhite;
            face += p == 0xD6D3CEu;
        }
    }
    EXPECT_GT(caption, 200 * 15);
    EXPECT_GT(white, 200 * 20);
    EXPECT_GT(face, 40 * 15);
    EXPECT_EQ(seen.row(40)[5], kBlue);
    // Gone once answered.
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(120, 160), kBlue);
}

TEST_F(Screen, FrameIsWrittenAsPng) {
    HWND main = make_window("main", WS_VISIBLE, RECT{0, 26, 240, 320});
    headless::run_until_idle();
    fill_client(main, RGB(10, 20, 30));
    headless::run_until_idle();
    testing_support::TempDir dir;
    std::string error;
    ASSERT_TRUE(headless::write_png(dir.file("frame.png"), &error)) << error;
    std::string bytes = testing_support::read_file(dir.file("frame.png"));
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    auto be32 = [&](int at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(be32(16), 240);
    EXPECT_EQ(be32(20), 320);
    EXPECT_FALSE(headless::write_png(dir.file("no/such/dir/frame.png"), &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
}

TEST_F(Screen, DcsOfADestroyedWindowAreClosedWithIt) {
    HWND main = make_window("main", WS_VISIBLE, RECT{0, 26, 240, 320});
    int before = platform::gdi::live_object_count(platform::gdi::ObjectKind::DeviceContext);
    HDC dc = GetDC(main);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(platform::gdi::live_object_count(platform::gdi::ObjectKind::DeviceContext), before + 1);
    DestroyWindow(main);
    EXPECT_EQ(platform::gdi::live_object_count(platform::gdi::ObjectKind::DeviceContext), before);
    // The stale DC is refused rather than drawing into freed memory.
    RECT r{0, 0, 5, 5};
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))), 0);
    EXPECT_EQ(ReleaseDC(main, dc), 0);
}

}  // namespace
