#include "tests/platform/window_recorder.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace window_tests;
namespace headless = platform::headless;
using Log = std::vector<std::string>;

namespace {

class WindowManager : public ::testing::Test {
protected:
    void SetUp() override { start_over(); }
};

constexpr RECT kDefault{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};

HWND make_main(const std::string& name = "main") {
    return CreateWindowExW(0, u"Recorder", u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, nullptr, const_cast<char*>(name.c_str()));
}

TEST_F(WindowManager, CreationSendsItsMessagesInOrderAndFillsTheSpaceBelowTheNavigationBar) {
    HWND main = make_main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(g_log, (Log{"main WM_NCCREATE", "main WM_CREATE", "main WM_SIZE", "main WM_MOVE", "main WM_SHOWWINDOW",
                          "main WM_ACTIVATE", "main WM_SETFOCUS"}));
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 320);
    EXPECT_EQ(GetFocus(), main);

    // The program then makes room for its menu bar, without repainting.
    MoveWindow(main, r.left, r.top, r.right - r.left, (r.bottom - 26) - r.top, FALSE);
    GetWindowRect(main, &r);
    EXPECT_EQ(r.bottom - r.top, 268);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 268);

    g_log.clear();
    HWND child = make_window("child", WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{10, 20, 60, 50}, main);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(g_log, (Log{"child WM_NCCREATE", "child WM_CREATE", "child WM_SIZE", "child WM_MOVE",
                          "child WM_SHOWWINDOW"}));
    EXPECT_EQ(GetParent(child), main);
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 46);
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 48);  // a border of one pixel on each side
    EXPECT_EQ(client.bottom, 28);
    POINT p{15, 50};
    ScreenToClient(child, &p);
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, 3);
}

TEST_F(WindowManager, ScreenSizeFollowsTheHeadlessScreen) {
    start_over(SIZE{480, 640});
    HWND main = make_main();
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_EQ(r.right, 480);
    EXPECT_EQ(r.bottom, 640);
    EXPECT_EQ(r.top, 26);
}

TEST_F(WindowManager, RefusedCreationLeavesNoWindow) {
    on("bad", WM_CREATE, [](HWND, WPARAM, LPARAM) { return LRESULT{-1}; });
    HWND bad = make_window("bad", WS_VISIBLE, RECT{0, 30, 50, 50});
    EXPECT_EQ(bad, nullptr);
    EXPECT_EQ(g_log, (Log{"bad WM_NCCREATE", "bad WM_CREATE", "bad WM_DESTROY", "bad WM_NCDESTROY"}));

    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    // A child needs a parent that exists.
    EXPECT_EQ(make_window("orphan", WS_CHILD, RECT{0, 0, 5, 5}, reinterpret_cast<HWND>(0x1230)), nullptr);

    WNDCLASSW again{};
    again.lpfnWndProc = DefWindowProcW;
    again.lpszClassName = u"RECORDER";  // class names ignore case
    EXPECT_EQ(RegisterClassW(&again), 0);
}

TEST_F(WindowManager, DestroyTellsParentsFirstAndFreesChildrenFirst) {
    HWND main = make_main();
    HWND a = make_window("a", WS_CHILD | WS_VISIBLE, RECT{0, 0, 20, 20}, main);
    HWND a1 = make_window("a1", WS_CHILD | WS_VISIBLE, RECT{0, 0, 5, 5}, a);
    HWND b = make_window("b", WS_CHILD, RECT{30, 0, 50, 20}, main);
    HWND owned = make_window("owned", WS_POPUP | WS_VISIBLE, RECT{20, 100, 200, 200}, main);
    ASSERT_TRUE(a && a1 && b && owned);
    bool childrenAliveDuringParentDestroy = false;
    on("main", WM_DESTROY, [&](HWND, WPARAM, LPARAM) {
        childrenAliveDuringParentDestroy = IsWindow(a) && IsWindow(a1) && IsWindow(b);
        PostQuitMessage(3);
        return LRESULT{0};
    });
    SetTimer(a, 7, 100, nullptr);
    PostMessageW(b, WM_USER, 0, 0);

    g_log.clear();
    EXPECT_TRUE(DestroyWindow(main));
    EXPECT_EQ(logged({WM_DESTROY, WM_NCDESTROY}),
              (Log{"owned WM_DESTROY", "owned WM_NCDESTROY", "main WM_DESTROY", "a WM_DESTROY", "a1 WM_DESTROY",
                   "b WM_DESTROY", "a1 WM_NCDESTROY", "a WM_NCDESTROY", "b WM_NCDESTROY", "main WM_NCDESTROY"}));
    EXPECT_TRUE(childrenAliveDuringParentDestroy);
    for (HWND w : {main, a, a1, b, owned}) EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(DestroyWindow(main));

    // The dead windows' timer and posted message are gone; the quit remains.
    headless::advance_clock(500);
    g_log.clear();
    MSG msg{};
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(WindowManager, CloseDestroysThroughTheDefaultProcedureAndEndsTheLoop) {
    HWND main = make_main();
    on("main", WM_DESTROY, [](HWND, WPARAM, LPARAM) {
        PostQuitMessage(0);
        return LRESULT{0};
    });
    headless::run_until_idle();
    headless::close_window();
    MSG msg{};
    int dispatched = 0;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++dispatched;
    }
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(logged({WM_CLOSE, WM_DESTROY}), (Log{"main WM_CLOSE", "main WM_DESTROY"}));
}

TEST_F(WindowManager, PaintComesOnceWhenTheQueueIsOtherwiseEmpty) {
    HWND main = make_main();
    HWND child = make_window("child", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, main);
    SetTimer(main, 1, 10, nullptr);
    headless::advance_clock(10);
    PostMessageW(main, WM_USER, 0, 0);
    // Three invalidations make one paint.
    InvalidateRect(main, nullptr, FALSE);
    InvalidateRect(main, nullptr, FALSE);
    g_log.clear();
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_USER, WM_PAINT, WM_TIMER}),
              (Log{"main WM_USER", "main WM_PAINT", "child WM_PAINT", "main WM_TIMER"}));
    (void)child;
}

TEST_F(WindowManager, APaintHandlerThatInvalidatesItselfDoesNotPaintForever) {
    HWND main = make_main();
    int paints = 0;
    on("main", WM_PAINT, [&](HWND w, WPARAM, LPARAM) {
        PAINTSTRUCT ps{};
        BeginPaint(w, &ps);
        ++paints;
        InvalidateRect(w, nullptr, FALSE);  // as a repaint routine ending in an invalidation does
        EndPaint(w, &ps);
        InvalidateRect(w, nullptr, FALSE);
        return LRESULT{0};
    });
    headless::run_until_idle();
    headless::run_until_idle();
    EXPECT_EQ(paints, 1);

    // The same routine called from any other handler does bring one paint.
    on("main", WM_USER, [](HWND w, WPARAM, LPARAM) {
        InvalidateRect(w, nullptr, FALSE);
        return LRESULT{0};
    });
    PostMessageW(main, WM_USER, 0, 0);
    headless::run_until_idle();
    EXPECT_EQ(paints, 2);

    // A handler that never validates is not asked again and again either.
    on("main", WM_PAINT, [&](HWND, WPARAM, LPARAM) {
        ++paints;
        return LRESULT{0};
    });
    InvalidateRect(main, nullptr, FALSE);
    headless::run_until_idle();
    EXPECT_EQ(paints, 3);
}

TEST_F(WindowManager, PaintCoversTheUnionOfInvalidationsAndWaitsForVisibility) {
    HWND main = make_main();
    headless::run_until_idle();
    RECT painted{};
    BOOL erase = -1;
    on("main", WM_PAINT, [&](HWND w, WPARAM, LPARAM) {
        PAINTSTRUCT ps{};
        BeginPaint(w, &ps);
        painted = ps.rcPaint;
        erase = ps.fErase;
        EndPaint(w, &ps);
        return LRESULT{0};
    });
    RECT a{10, 10, 20, 20};
    RECT b{50, 5, 60, 15};
    InvalidateRect(main, &a, FALSE);
    InvalidateRect(main, &b, TRUE);
    g_log.clear();
    headless::run_until_idle();
    EXPECT_EQ(painted.left, 10);
    EXPECT_EQ(painted.top, 5);
    EXPECT_EQ(painted.right, 60);
    EXPECT_EQ(painted.bottom, 20);
    // An erase was asked for and the class has no brush: left to the painter.
    EXPECT_EQ(erase, TRUE);
    EXPECT_EQ(logged({WM_ERASEBKGND}), (Log{"main WM_ERASEBKGND"}));

    ShowWindow(main, SW_HIDE);
    InvalidateRect(main, nullptr, FALSE);
    g_log.clear();
    headless::run_until_idle();
    EXPECT_TRUE(logged({WM_PAINT}).empty());
    ShowWindow(main, SW_SHOW);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_PAINT}), (Log{"main WM_PAINT"}));

    // UpdateWindow paints at once, and only when something is due.
    g_log.clear();
    UpdateWindow(main);
    EXPECT_TRUE(logged({WM_PAINT}).empty());
    InvalidateRect(main, nullptr, FALSE);
    UpdateWindow(main);
    EXPECT_EQ(logged({WM_PAINT}), (Log{"main WM_PAINT"}));
}

TEST_F(WindowManager, TimersRunOnTheVirtualClock) {
    HWND main = make_main();
    headless::run_until_idle();
    DWORD start = GetTickCount();
    EXPECT_EQ(SetTimer(main, 1, 300, nullptr), 1u);
    g_log.clear();
    headless::advance_clock(299);
    headless::run_until_idle();
    EXPECT_TRUE(logged({WM_TIMER}).empty());
    headless::advance_clock(1);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_TIMER}), (Log{"main WM_TIMER"}));

    // A loop that comes round late gets one WM_TIMER for all it missed.
    g_log.clear();
    headless::advance_clock(2000);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_TIMER}).size(), 1u);

    // Setting the same timer again restarts it.
    headless::advance_clock(200);
    SetTimer(main, 1, 300, nullptr);
    headless::advance_clock(200);
    g_log.clear();
    headless::run_until_idle();
    EXPECT_TRUE(logged({WM_TIMER}).empty());

    EXPECT_TRUE(KillTimer(main, 1));
    EXPECT_FALSE(KillTimer(main, 1));
    headless::advance_clock(5000);
    headless::run_until_idle();
    EXPECT_TRUE(logged({WM_TIMER}).empty());
    EXPECT_EQ(GetTickCount() - start, 299u + 1 + 2000 + 200 + 200 + 5000);
}

TEST_F(WindowManager, WaitingForAMessageLetsVirtualTimeRunToTheNextTimer) {
    HWND main = make_main();
    headless::run_until_idle();
    DWORD start = GetTickCount();
    SetTimer(main, 1, 300, nullptr);
    auto realStart = std::chrono::steady_clock::now();
    MSG msg{};
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.hwnd, main);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(GetTickCount() - start, 300u);

    // Sleep costs no real time either.
    Sleep(100000);
    EXPECT_EQ(GetTickCount() - start, 100300u);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(5));
}

TEST_F(WindowManager, WaitingWithNothingToComeAbortsInsteadOfHanging) {
    make_main();
    headless::run_until_idle();
    MSG msg{};
    EXPECT_DEATH(GetMessageW(&msg, nullptr, 0, 0), "waits for input");
}

TEST_F(WindowManager, TimerProceduresAndLoopTimers) {
    static int calls = 0;
    calls = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
    EXPECT_NE(id, 0u);
    headless::advance_clock(50);
    headless::run_until_idle();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x5550), 1, 10, nullptr), 0u);
}

TEST_F(WindowManager, StylusReachesTheWindowItWentDownOnAndMovesOnlyWhileDown) {
    HWND main = make_main();
    HWND child = make_window("child", WS_CHILD | WS_VISIBLE, RECT{100, 100, 140, 140}, main);
    headless::run_until_idle();
    std::vector<std::pair<int, int>> points;
    for (UINT m : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}) {
        on("child", m, [&, m](HWND, WPARAM w, LPARAM l) {
            points.emplace_back(static_cast<SHORT>(LOWORD(l)), static_cast<SHORT>(HIWORD(l)));
            if (m != WM_LBUTTONUP) {
                EXPECT_EQ(w, static_cast<WPARAM>(MK_LBUTTON));
            }
            return LRESULT{0};
        });
    }
    g_log.clear();
    headless::stylus_move(110, 130);  // no stylus on the glass: nothing
    headless::stylus_down(105, 130);  // child's client (5, 4)
    headless::stylus_move(90, 120);   // off the child: still the child's
    headless::stylus_up(90, 120);
    headless::stylus_move(110, 130);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}),
              (Log{"child WM_LBUTTONDOWN", "child WM_MOUSEMOVE", "child WM_LBUTTONUP"}));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0], std::make_pair(5, 4));
    EXPECT_EQ(points[1], std::make_pair(-10, -6));

    // Taps on the main window outside the child go to the main window.
    g_log.clear();
    headless::tap(10, 40);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_LBUTTONDOWN, WM_LBUTTONUP}), (Log{"main WM_LBUTTONDOWN", "main WM_LBUTTONUP"}));
    (void)child;
}

TEST_F(WindowManager, CaptureTakesEveryPressAndAPopupThatDoesNotActivateLeavesTheFocus) {
    HWND main = make_main();
    HWND child = make_window("child", WS_CHILD | WS_VISIBLE, RECT{10, 40, 60, 80}, main);
    headless::run_until_idle();
    SetFocus(child);
    g_log.clear();
    HWND popup = make_window("popup", WS_POPUP | WS_VISIBLE | WS_BORDER, RECT{100, 100, 200, 200}, main,
                             WS_EX_NOACTIVATE);
    headless::tap(150, 150);
    headless::run_until_idle();
    EXPECT_EQ(GetFocus(), child);
    EXPECT_TRUE(logged({WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS}).empty());
    EXPECT_EQ(logged({WM_LBUTTONDOWN, WM_LBUTTONUP}), (Log{"popup WM_LBUTTONDOWN", "popup WM_LBUTTONUP"}));

    // With the capture, a press anywhere is the popup's, in its own client
    // coordinates.
    std::pair<int, int> at{};
    on("popup", WM_LBUTTONDOWN, [&](HWND, WPARAM, LPARAM l) {
        at = {static_cast<SHORT>(LOWORD(l)), static_cast<SHORT>(HIWORD(l))};
        return LRESULT{0};
    });
    EXPECT_EQ(SetCapture(popup), nullptr);
    EXPECT_EQ(GetCapture(), popup);
    g_log.clear();
    headless::tap(20, 50);  // on the main window
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_LBUTTONDOWN, WM_LBUTTONUP}), (Log{"popup WM_LBUTTONDOWN", "popup WM_LBUTTONUP"}));
    EXPECT_EQ(at, std::make_pair(20 - 101, 50 - 101));
    g_log.clear();
    EXPECT_EQ(SetCapture(child), popup);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(logged({WM_CAPTURECHANGED}), (Log{"popup WM_CAPTURECHANGED", "child WM_CAPTURECHANGED"}));
    EXPECT_EQ(GetCapture(), nullptr);
    // A capture window that goes away takes the capture with it.
    SetCapture(popup);
    DestroyWindow(popup);
    EXPECT_EQ(GetCapture(), nullptr);
    g_log.clear();
    headless::tap(20, 80);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_LBUTTONDOWN}), (Log{"child WM_LBUTTONDOWN"}));

    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    headless::key_down(VK_SHIFT);
    headless::run_until_idle();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    headless::key_up(VK_SHIFT);
    headless::run_until_idle();
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

TEST_F(WindowManager, DoubleTapsOnlyOnDoubleClickClasses) {
    HWND main = CreateWindowExW(0, u"RecorderDbl", u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, const_cast<char*>("main"));
    HWND plain = make_window("plain", WS_CHILD | WS_VISIBLE, RECT{0, 200, 100, 260}, main);
    headless::run_until_idle();
    g_log.clear();
    headless::tap(50, 50);
    headless::advance_clock(100);
    headless::tap(52, 53);  // quick and close: a double tap
    headless::advance_clock(100);
    headless::tap(52, 53);  // a third starts over
    headless::advance_clock(600);
    headless::tap(52, 53);  // too slow for a double
    headless::advance_clock(100);
    headless::tap(80, 53);  // too far
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (Log{"main WM_LBUTTONDOWN", "main WM_LBUTTONDBLCLK", "main WM_LBUTTONDOWN", "main WM_LBUTTONDOWN",
                   "main WM_LBUTTONDOWN"}));

    g_log.clear();
    headless::tap(20, 250);
    headless::advance_clock(50);
    headless::tap(20, 250);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (Log{"plain WM_LBUTTONDOWN", "plain WM_LBUTTONDOWN"}));
    (void)plain;
}

TEST_F(WindowManager, ADoubleTapMayTakeExactlyTheDoubleTapTimeAndSlop) {
    CreateWindowExW(0, u"RecorderDbl", u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    nullptr, nullptr, nullptr, const_cast<char*>("main"));
    headless::run_until_idle();
    // Each pair starts well after the last, so no tap pairs with the one before.
    auto pair = [](int dt, int dx, int dy) {
        headless::advance_clock(5000);
        headless::tap(100, 100);
        headless::advance_clock(static_cast<std::uint64_t>(dt));
        headless::tap(100 + dx, 100 + dy);
        headless::run_until_idle();
    };
    struct Case {
        int dt, dx, dy;
        bool isDouble;
    } cases[] = {
        {500, 0, 0, true},  {501, 0, 0, false},  // 500 ms
        {0, 4, -4, true},   {0, 5, 0, false},    // 4 pixels either way
        {0, -4, 4, true},   {0, 0, -5, false},
        {500, 4, 4, true},
    };
    for (const Case& c : cases) {
        g_log.clear();
        pair(c.dt, c.dx, c.dy);
        EXPECT_EQ(logged({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
                  (Log{"main WM_LBUTTONDOWN", c.isDouble ? "main WM_LBUTTONDBLCLK" : "main WM_LBUTTONDOWN"}))
            << c.dt << " ms, " << c.dx << "," << c.dy;
    }
}

TEST_F(WindowManager, KeyMessagesCarryTheRepeatCountAndTheStateBits) {
    make_main();
    headless::run_until_idle();
    std::vector<std::pair<UINT, LPARAM>> got;
    for (UINT m : {WM_KEYDOWN, WM_KEYUP}) {
        on("main", m, [&, m](HWND, WPARAM, LPARAM l) {
            got.emplace_back(m, l);
            return LRESULT{0};
        });
    }
    headless::key_down(VK_DOWN);
    headless::key_down(VK_DOWN, true);  // held: the key repeats
    headless::key_up(VK_DOWN);
    headless::run_until_idle();
    ASSERT_EQ(got.size(), 3u);
    // Win32: bits 0-15 the repeat count, bit 30 the key was down before,
    // bit 31 the key is being released.
    EXPECT_EQ(got[0], std::make_pair(UINT{WM_KEYDOWN}, LPARAM{0x00000001}));
    EXPECT_EQ(got[1], std::make_pair(UINT{WM_KEYDOWN}, LPARAM{0x40000001}));
    EXPECT_EQ(got[2], std::make_pair(UINT{WM_KEYUP}, LPARAM{0xC0000001}));
    for (const auto& [message, l] : got) {
        EXPECT_EQ(LOWORD(l), 1) << "one keystroke each";
    }
    EXPECT_EQ((got[0].second >> 30) & 1, 0);
    EXPECT_EQ((got[1].second >> 30) & 1, 1);
    EXPECT_EQ((got[2].second >> 30) & 1, 1);
    EXPECT_EQ((got[0].second >> 31) & 1, 0);
    EXPECT_EQ((got[1].second >> 31) & 1, 0);
    EXPECT_EQ((got[2].second >> 31) & 1, 1);
}

TEST_F(WindowManager, KeysGoToTheFocusAndEnterTypesACarriageReturn) {
    HWND main = make_main();
    HWND edit = make_window("edit", WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 20}, main);
    headless::run_until_idle();
    WPARAM typed = 0;
    on("main", WM_CHAR, [&](HWND, WPARAM w, LPARAM) {
        typed = w;
        return LRESULT{0};
    });
    g_log.clear();
    headless::press_key(VK_LEFT);
    headless::press_key(VK_RETURN);
    MSG msg{};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(logged({WM_KEYDOWN, WM_KEYUP, WM_CHAR}),
              (Log{"main WM_KEYDOWN", "main WM_KEYUP", "main WM_KEYDOWN", "main WM_CHAR", "main WM_KEYUP"}));
    EXPECT_EQ(typed, static_cast<WPARAM>(u'\r'));

    g_log.clear();
    EXPECT_EQ(SetFocus(edit), main);
    EXPECT_EQ(logged({WM_KILLFOCUS, WM_SETFOCUS}), (Log{"main WM_KILLFOCUS", "edit WM_SETFOCUS"}));
    g_log.clear();
    headless::press_key(VK_DOWN);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_KEYDOWN, WM_KEYUP}), (Log{"edit WM_KEYDOWN", "edit WM_KEYUP"}));

    // The focus window going away leaves keys with the active window.
    DestroyWindow(edit);
    EXPECT_EQ(GetFocus(), nullptr);
    g_log.clear();
    headless::press_key(VK_UP);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_KEYDOWN}), (Log{"main WM_KEYDOWN"}));
}

TEST_F(WindowManager, DisabledWindowsTakeNoInput) {
    HWND main = make_main();
    headless::run_until_idle();
    EnableWindow(main, FALSE);
    g_log.clear();
    headless::tap(50, 50);
    headless::press_key(VK_RETURN);
    headless::run_until_idle();
    EXPECT_TRUE(logged({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN}).empty());
    EnableWindow(main, TRUE);
    headless::tap(50, 50);
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_LBUTTONDOWN}), (Log{"main WM_LBUTTONDOWN"}));
}

TEST_F(WindowManager, PostedMessagesComeBeforeInputAndSentOnesRunAtOnce) {
    HWND main = make_main();
    headless::run_until_idle();
    g_log.clear();
    headless::press_key(VK_UP);
    PostMessageW(main, WM_USER, 1, 2);
    EXPECT_EQ(SendMessageW(main, WM_COMMAND, 40023, 0), 0);
    EXPECT_EQ(g_log, (Log{"main WM_COMMAND"}));
    headless::run_until_idle();
    EXPECT_EQ(logged({WM_USER, WM_KEYDOWN}), (Log{"main WM_USER", "main WM_KEYDOWN"}));
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x4440), WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(0x4440), WM_USER, 0, 0), 0);
}

TEST_F(WindowManager, WindowTextAndLongs) {
    HWND main = make_main();
    EXPECT_EQ(GetWindowTextLengthW(main), 4);
    WCHAR buffer[3]{};
    EXPECT_EQ(GetWindowTextW(main, buffer, 3), 2);
    EXPECT_EQ(std::u16string(buffer), u"Ma");
    SetWindowTextW(main, u"MapPDA");
    WCHAR full[16]{};
    GetWindowTextW(main, full, 16);
    EXPECT_EQ(std::u16string(full), u"MapPDA");
    int value = 5;
    SetWindowLongPtrW(main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&value));
    EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtrW(main, GWLP_USERDATA)), &value);
    HWND control = CreateWindowExW(0, u"Recorder", u"", WS_CHILD, 0, 0, 5, 5, main, reinterpret_cast<HMENU>(1005),
                                   nullptr, const_cast<char*>("control"));
    EXPECT_EQ(GetDlgItem(main, 1005), control);
    EXPECT_EQ(GetDlgCtrlID(control), 1005);
    EXPECT_FALSE(IsWindowVisible(control));
}

// The box's buttons sit in one centred row at its bottom.
POINT message_box_button(HWND box, int index, int count) {
    RECT r{};
    GetWindowRect(box, &r);
    int clientWidth = r.right - r.left - 2;
    int row = count * 56 + (count - 1) * 10;
    int left = (clientWidth - row) / 2;
    return POINT{r.left + 1 + left + index * 66 + 28, r.bottom - 1 - 8 - 11};
}

TEST_F(WindowManager, MessageBoxRunsAModalLoopThatKeysAndTapsAnswer) {
    HWND main = make_main();
    headless::run_until_idle();
    int step = 0;
    HWND box = nullptr;
    bool mainEnabledDuringBox = true;
    headless::set_idle_handler([&]() {
        if (step++ > 0) return false;
        box = FindWindowW(u"MapfolioMessageBox", u"Error");
        mainEnabledDuringBox = IsWindowEnabled(main);
        headless::tap(50, 50);  // the main window, disabled behind the box
        headless::press_key(VK_RETURN);
        return true;
    });
    g_log.clear();
    EXPECT_EQ(MessageBoxW(main, u"Main window creation failed!", u"Error", MB_OK), IDOK);
    EXPECT_NE(box, nullptr);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(mainEnabledDuringBox);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(GetFocus(), main);
    EXPECT_TRUE(logged({WM_LBUTTONDOWN, WM_KEYDOWN}).empty());

    // Yes and No: Escape says No, a tap on a button says what it says, and
    // a tap that slides off its button says nothing.
    step = 0;
    headless::set_idle_handler([&]() {
        if (step++ > 0) return false;
        headless::press_key(VK_ESCAPE);
        return true;
    });
    EXPECT_EQ(MessageBoxW(main, u"Quit the application?", u"Quit", MB_YESNO), IDNO);

    step = 0;
    headless::set_idle_handler([&]() {
        HWND yesNo = FindWindowW(u"MapfolioMessageBox", nullptr);
        POINT yes = message_box_button(yesNo, 0, 2);
        POINT no = message_box_button(yesNo, 1, 2);
        if (step == 0) {
            headless::stylus_down(no.x, no.y);
            headless::stylus_move(no.x, no.y - 40);
            headless::stylus_up(no.x, no.y - 40);
        } else if (step == 1) {
            headless::tap(yes.x, yes.y);
        } else {
            return false;
        }
        ++step;
        return true;
    });
    EXPECT_EQ(MessageBoxW(main, u"Quit the application?", u"Quit", MB_YESNO), IDYES);
    EXPECT_EQ(step, 2);

    // Right moves the focus to No; Enter then answers No.
    step = 0;
    headless::set_idle_handler([&]() {
        if (step++ > 0) return false;
        headless::press_key(VK_RIGHT);
        headless::press_key(VK_RETURN);
        return true;
    });
    EXPECT_EQ(MessageBoxW(nullptr, u"Sure?", u"Quit", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(main, u"x", u"y", 2 /* abort, retry, ignore */), 0);
}

TEST_F(WindowManager, TimersAndPaintsGoOnInsideAModalLoopAndQuitEndsIt) {
    HWND main = make_main();
    headless::run_until_idle();
    SetTimer(main, 1, 300, nullptr);
    on("main", WM_TIMER, [](HWND w, WPARAM, LPARAM) {
        KillTimer(w, 1);
        PostQuitMessage(9);
        return LRESULT{0};
    });
    g_log.clear();
    // Nobody answers: virtual time runs to the timer, whose handler quits.
    EXPECT_EQ(MessageBoxW(main, u"Waiting", u"Test", MB_YESNO), IDNO);
    EXPECT_EQ(logged({WM_TIMER}), (Log{"main WM_TIMER"}));
    MSG msg{};
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 9u);
}

TEST_F(WindowManager, ClosingTheDesktopWindowDuringABoxAnswersTheBox) {
    HWND main = make_main();
    headless::run_until_idle();
    int step = 0;
    headless::set_idle_handler([&]() {
        if (step++ > 0) return false;
        headless::close_window();
        return true;
    });
    EXPECT_EQ(MessageBoxW(main, u"Quit the application?", u"Quit", MB_YESNO), IDNO);
    EXPECT_TRUE(IsWindow(main));
}

}  // namespace
