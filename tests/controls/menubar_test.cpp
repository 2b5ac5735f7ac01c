#include "tests/controls/controls_support.h"

#include "platform/controls/menu_bar_window.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace controls_test;
namespace headless = platform::headless;

namespace {

constexpr int kQuit = 40004, kFind = 40090, kInformation = 40098, kZoomIn = 40102, kZoomOut = 40103,
              kHome = 40091, kBack = 40100, kForward = 40101, kCancel = 40057, kOk = 1001;

LPCWSTR kTips[] = {u"", u"Quit", u"Find", u"Information", u"Zoom In", u"Zoom Out", u"Home", u"", u"Back", u"Forward"};

// The main window's bar, built step by step as the program builds it.
HWND make_main_bar(HWND main) {
    SHMENUBARINFO info{};
    info.cbSize = 32;
    info.hwndParent = main;
    info.dwFlags = SHCMBF_HIDESIPBUTTON;
    info.nToolBarId = IDM_MAIN_MENUBAR;
    info.hInstRes = GetModuleHandleW(nullptr);
    if (!SHCreateMenuBar(&info)) return nullptr;
    EXPECT_EQ(CommandBar_AddBitmap(info.hwndMB, info.hInstRes, IDB_MAIN_BUTTONS, 9, 16, 16), 0);
    const TBBUTTON buttons[] = {
        {0, kQuit, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {1, kFind, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {2, kInformation, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {3, kZoomIn, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {4, kZoomOut, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {5, kHome, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {6, 0, 0, TBSTYLE_BUTTON, {}, 0, 0},
        {7, kBack, 0, TBSTYLE_BUTTON, {}, 0, 0},
        {8, kForward, 0, TBSTYLE_BUTTON, {}, 0, 0},
    };
    EXPECT_TRUE(SendMessageW(info.hwndMB, TB_ADDBUTTONSW, 9, reinterpret_cast<LPARAM>(buttons)));
    EXPECT_TRUE(SendMessageW(info.hwndMB, TB_SETTOOLTIPS, 10, reinterpret_cast<LPARAM>(kTips)));
    UpdateWindow(info.hwndMB);
    return info.hwndMB;
}

HWND make_dialog_bar(HWND dialog, int bitmap, int images, const std::vector<TBBUTTON>& buttons) {
    SHMENUBARINFO info{};
    info.cbSize = 32;
    info.hwndParent = dialog;
    info.nToolBarId = IDM_DIALOG_MENUBAR;
    info.hInstRes = GetModuleHandleW(nullptr);
    if (!SHCreateMenuBar(&info)) return nullptr;
    CommandBar_AddBitmap(info.hwndMB, info.hInstRes, bitmap, images, 16, 16);
    SendMessageW(info.hwndMB, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    return info.hwndMB;
}

// The screen rectangle of the button with a command.
RECT button_rect(HWND bar, int command) {
    RECT r{};
    SendMessageW(bar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&r));
    POINT origin{0, 0};
    ClientToScreen(bar, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

POINT centre(RECT r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void tap_button(HWND bar, int command) {
    const POINT p = centre(button_rect(bar, command));
    headless::tap(p.x, p.y);
    settle();
}

bool saturated(std::uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return std::max({r, g, b}) - std::min({r, g, b}) > 80;
}

class MenuBar : public ::testing::Test {
protected:
    void SetUp() override {
        start_over();
        main = make_main();
        bar = make_main_bar(main);
        ASSERT_NE(bar, nullptr);
        settle();
    }
    HWND main = nullptr;
    HWND bar = nullptr;
};

TEST_F(MenuBar, NineButtonsFollowTheHiddenMenuButtonInOrderAlongTheBottom) {
    RECT r = screen_rect(bar);
    EXPECT_EQ(r.top, 294);
    EXPECT_EQ(r.bottom, 320);
    EXPECT_EQ(r.right - r.left, 240);
    ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 10);
    TBBUTTON hiddenButton{};
    SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&hiddenButton));
    EXPECT_EQ(hiddenButton.idCommand, IDM_MAIN_MENU_BUTTON);
    EXPECT_EQ(hiddenButton.fsState, TBSTATE_ENABLED | TBSTATE_HIDDEN);
    const RECT hiddenRect = button_rect(bar, IDM_MAIN_MENU_BUTTON);
    EXPECT_EQ(hiddenRect.right, hiddenRect.left) << "a hidden button takes no room";

    const int order[] = {kQuit, kFind, kInformation, kZoomIn, kZoomOut, kHome, 0, kBack, kForward};
    int left = hiddenRect.left;
    for (int i = 0; i < 9; ++i) {
        TBBUTTON b{};
        SendMessageW(bar, TB_GETBUTTON, i + 1, reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ(b.idCommand, order[i]);
        EXPECT_EQ(b.iBitmap, i);
        if (order[i] == 0) continue;
        const RECT br = button_rect(bar, order[i]);
        EXPECT_GE(br.left, left);
        EXPECT_GE(br.right - br.left, 16);
        left = br.right;
    }
    EXPECT_LE(left, 240);
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, kBack, 0), 0);
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, kForward, 0), 0);
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 12345, 0), -1);
}

TEST_F(MenuBar, ButtonImagesShowAndDisabledOnesAreGreyed) {
    const RECT quit = button_rect(bar, kQuit);
    EXPECT_GT(count(quit, [](std::uint32_t p) { return is(p, RGB(224, 32, 32)); }), 40) << "the red disc";
    EXPECT_GT(count(quit, [](std::uint32_t p) { return is(p, RGB(255, 255, 255)); }), 12) << "its white cross";
    const RECT back = button_rect(bar, kBack);
    EXPECT_EQ(count(back, saturated), 0) << "a disabled button has no colour";
    EXPECT_GT(count(back, [](std::uint32_t p) { return !is(p, RGB(189, 190, 189)); }), 60) << "but is still drawn";

    // Enabled by command: the blue disc shows. The whole state is replaced.
    EXPECT_TRUE(SendMessageW(bar, TB_SETSTATE, kBack, TBSTATE_ENABLED));
    settle();
    EXPECT_GT(count(back, [](std::uint32_t p) { return is(p, RGB(40, 90, 220)); }), 40);
    SendMessageW(bar, TB_SETSTATE, kBack, 0);
    settle();
    EXPECT_EQ(count(back, saturated), 0);
}

TEST_F(MenuBar, TapsOnEnabledButtonsSendTheirCommandsToTheParent) {
    tap_button(bar, kFind);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].window, main);
    EXPECT_EQ(g_commands[0].id, kFind);

    g_commands.clear();
    tap_button(bar, kForward);
    tap_button(bar, kBack);
    const RECT home = button_rect(bar, kHome);
    const RECT back = button_rect(bar, kBack);
    headless::tap((home.right + back.left) / 2, centre(home).y);  // the spacer
    settle();
    EXPECT_TRUE(g_commands.empty()) << "disabled buttons and the spacer do nothing";

    SendMessageW(bar, TB_SETSTATE, kForward, TBSTATE_ENABLED);
    tap_button(bar, kForward);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].id, kForward);

    // Sliding off a button before lifting the stylus presses nothing.
    g_commands.clear();
    const POINT p = centre(button_rect(bar, kZoomIn));
    headless::stylus_down(p.x, p.y);
    headless::stylus_move(p.x, p.y - 40);
    headless::stylus_up(p.x, p.y - 40);
    settle();
    EXPECT_TRUE(g_commands.empty());
}

TEST_F(MenuBar, HoldingAButtonShowsItsTipAndThenDoesNotPressIt) {
    const POINT p = centre(button_rect(bar, kInformation));
    headless::stylus_down(p.x, p.y);
    settle();
    headless::advance_clock(300);
    settle();
    EXPECT_EQ(platform::controls::tool_tip_window(), nullptr) << "not before half a second";
    headless::advance_clock(250);
    settle();
    HWND tip = platform::controls::tool_tip_window();
    ASSERT_NE(tip, nullptr);
    const RECT tipRect = screen_rect(tip);
    EXPECT_LE(tipRect.bottom, 294) << "above the bar";
    EXPECT_GT(count(tipRect, dark), 20) << "with its text";
    EXPECT_GT(count(tipRect, [](std::uint32_t px) { return is(px, RGB(255, 255, 225)); }), 100);
    headless::stylus_up(p.x, p.y);
    settle();
    EXPECT_EQ(platform::controls::tool_tip_window(), nullptr);
    EXPECT_TRUE(g_commands.empty()) << "a hold as long as the tip delay does not press";

    // The hidden menu button's empty tip and the spacer's show nothing.
    const RECT home = button_rect(bar, kHome);
    headless::stylus_down(home.right + 3, centre(home).y);
    headless::advance_clock(600);
    settle();
    EXPECT_EQ(platform::controls::tool_tip_window(), nullptr);
    headless::stylus_up(home.right + 3, centre(home).y);
    settle();
}

TEST_F(MenuBar, TheBarAtTheBottomIsTheFrontWindowsAndTakesNoTapsUnderAModalBox) {
    HWND dialog = make_dialog(main);
    SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
    ASSERT_TRUE(SHInitDialog(&init));
    RECT r = screen_rect(dialog);
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.bottom, 294);
    EXPECT_EQ(r.right - r.left, 240);
    settle();
    EXPECT_FALSE(IsWindowVisible(bar)) << "the dialog owns the bottom bar now";

    HWND dialogBar = make_dialog_bar(dialog, IDB_FIND_BUTTONS, 2,
                                     {{0, kCancel, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
                                      {1, kOk, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0}});
    ASSERT_NE(dialogBar, nullptr);
    settle();
    EXPECT_TRUE(IsWindowVisible(dialogBar));
    EXPECT_GT(count(button_rect(dialogBar, kOk), [](std::uint32_t p) { return is(p, RGB(40, 90, 220)); }), 40);
    tap_button(dialogBar, kOk);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].window, dialog);
    EXPECT_EQ(g_commands[0].id, kOk);

    SHDoneButton(dialog, SHDB_HIDE);
    DestroyWindow(dialog);
    settle();
    EXPECT_FALSE(IsWindow(dialogBar)) << "a bar goes with its window";
    EXPECT_TRUE(IsWindowVisible(bar));

    // While a message box is up the main window takes no input, nor its bar.
    g_commands.clear();
    const POINT quit = centre(button_rect(bar, kQuit));
    bool tapped = false;
    headless::set_idle_handler([&] {
        if (tapped) {
            headless::press_key(VK_RETURN);
            return true;
        }
        tapped = true;
        headless::tap(quit.x, quit.y);
        return true;
    });
    MessageBoxW(main, u"Quit the application?", u"Mapfolio", MB_YESNO);
    headless::set_idle_handler(nullptr);
    settle();
    EXPECT_TRUE(g_commands.empty());
}

TEST_F(MenuBar, CreationFailsWithoutItsResourceOrWithABrokenRecord) {
    SHMENUBARINFO info{};
    info.cbSize = 32;
    info.hwndParent = main;
    info.nToolBarId = 999;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(info.hwndMB, nullptr);
    info.nToolBarId = IDM_MAIN_MENUBAR;
    info.cbSize = 0;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    info.cbSize = 32;
    info.hwndParent = nullptr;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_FALSE(SHCreateMenuBar(nullptr));

    // A truncated menu bar resource is refused too.
    platform::add_resource(RT_RCDATA, MAKEINTRESOURCEW(998), {0xE6, 0x03, 0x05, 0x00, 0x01});
    info.hwndParent = main;
    info.nToolBarId = 998;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 12345, 2, 16, 16), -1);
    EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, IDB_MAIN_BUTTONS, 1, 20, 16), -1) << "one image size per bar";
}

TEST_F(MenuBar, TheOkButtonOfTheNavigationBarAnswersItsDialog) {
    HWND dialog = make_dialog(main);
    SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&init);
    settle();
    const RECT okArea{200, 0, 240, 26};
    const int withOk = count(okArea, [](std::uint32_t p) { return is(p, RGB(255, 255, 255)); });
    EXPECT_GT(withOk, 30);
    headless::tap(226, 13);
    settle();
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].window, dialog);
    EXPECT_EQ(g_commands[0].id, IDOK);

    SHDoneButton(dialog, SHDB_HIDE);
    settle();
    EXPECT_EQ(count(okArea, [](std::uint32_t p) { return is(p, RGB(255, 255, 255)); }), 0);
    g_commands.clear();
    headless::tap(226, 13);
    settle();
    EXPECT_TRUE(g_commands.empty());

    SHFullScreen(dialog, SHFS_HIDETASKBAR);
    settle();
    EXPECT_FALSE(is(headless::pixel(100, 5), RGB(0, 40, 120)));
    SHFullScreen(dialog, 0x19);
    settle();
    EXPECT_TRUE(is(headless::pixel(100, 5), RGB(0, 40, 120)));
}

TEST(ButtonBitmaps, TheStripHasNineImagesOnTheLightGreyOfEntryZero) {
    start_over();
    HBITMAP strip = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MAIN_BUTTONS));
    ASSERT_NE(strip, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectW(strip, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 144);
    EXPECT_EQ(info.bmHeight, 16);
    EXPECT_EQ(info.bmBitsPixel, 8);
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(IDB_MAIN_BUTTONS), RT_BITMAP);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, resource)));
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bytes, sizeof header);
    RGBQUAD first{};
    std::memcpy(&first, bytes + header.biSize, sizeof first);
    EXPECT_EQ(first.rgbRed, 189);
    EXPECT_EQ(first.rgbGreen, 190);
    EXPECT_EQ(first.rgbBlue, 189);
    // Image 6, the spacer, is entry 0 throughout; so are the corners of the others.
    const auto* rowsStart = static_cast<const std::uint8_t*>(info.bmBits);
    for (int y = 0; y < 16; ++y) {
        for (int x = 96; x < 112; ++x) ASSERT_EQ(rowsStart[y * info.bmWidthBytes + x], 0);
        for (int k = 0; k < 9; ++k) EXPECT_EQ(rowsStart[0 * info.bmWidthBytes + k * 16], 0);
    }
    DeleteObject(strip);
    for (int id : {IDB_CLOSE_BUTTON, IDB_FIND_BUTTONS}) {
        HBITMAP b = LoadBitmapW(nullptr, MAKEINTRESOURCEW(id));
        ASSERT_NE(b, nullptr);
        GetObjectW(b, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, id == IDB_CLOSE_BUTTON ? 16 : 32);
        DeleteObject(b);
    }
}

TEST(ButtonBitmaps, BrokenBitmapResourcesAreRefused) {
    start_over();
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(IDB_MAIN_BUTTONS), RT_BITMAP);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, resource)));
    const std::vector<std::uint8_t> good(bytes, bytes + SizeofResource(nullptr, resource));
    auto load = [](const std::vector<std::uint8_t>& b) {
        HBITMAP bitmap = platform::bitmap_from_packed_dib(b.data(), b.size());
        const bool loaded = bitmap != nullptr;
        if (bitmap) DeleteObject(bitmap);
        return loaded;
    };
    EXPECT_TRUE(load(good));
    EXPECT_FALSE(load(std::vector<std::uint8_t>(good.begin(), good.end() - 1))) << "rows cut short";
    EXPECT_FALSE(load(std::vector<std::uint8_t>(good.begin(), good.begin() + 20)));
    auto patched = [&](std::size_t offset, std::int32_t value) {
        std::vector<std::uint8_t> b = good;
        std::memcpy(b.data() + offset, &value, sizeof value);
        return b;
    };
    EXPECT_FALSE(load(patched(4, 1 << 20))) << "too wide";
    EXPECT_FALSE(load(patched(4, -16)));
    EXPECT_FALSE(load(patched(8, 0)));
    EXPECT_FALSE(load(patched(0, 1 << 30))) << "header larger than the resource";
    EXPECT_FALSE(load(patched(32, 300))) << "more than 256 colours";
    std::vector<std::uint8_t> wrongDepth = good;
    wrongDepth[14] = 4;
    EXPECT_FALSE(load(wrongDepth));
    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(4242)), nullptr);
}

}  // namespace
