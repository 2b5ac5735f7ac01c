#include "tests/controls/controls_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace controls_test;
namespace headless = platform::headless;

namespace {

constexpr COLORREF kOlive = RGB(128, 128, 0);
constexpr COLORREF kLightYellow = RGB(255, 255, 192);

HBRUSH g_labelBrush = nullptr;
int g_questions = 0;

// Answers as the program's dialogs do: olive text, transparent, on the
// dialog's light yellow.
LRESULT CALLBACK label_parent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC && g_labelBrush != nullptr) {
        ++g_questions;
        SetTextColor(reinterpret_cast<HDC>(wParam), kOlive);
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(g_labelBrush);
    }
    if (message == WM_COMMAND) {
        g_commands.push_back(Command{window, LOWORD(wParam), HIWORD(wParam)});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Olive ink blended into the yellow ground, in any proportion.
bool olive_on_yellow(std::uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const int expectedBlue = 192 - (192 * (255 - r) + 63) / 127;
    return std::abs(r - g) <= 1 && r >= 127 && std::abs(b - expectedBlue) <= 3;
}

bool olive(std::uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r > 100 && r < 200 && g > 100 && g < 200 && b < 120;
}

class Static : public ::testing::Test {
protected:
    void SetUp() override {
        start_over();
        WNDCLASSW wc{};
        wc.lpfnWndProc = label_parent;
        wc.lpszClassName = u"LabelParent";
        RegisterClassW(&wc);
        parent = CreateWindowExW(0, u"LabelParent", u"", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr,
                                 nullptr);
        g_labelBrush = CreateSolidBrush(kLightYellow);
        g_questions = 0;
    }
    void TearDown() override {
        DestroyWindow(parent);
        DeleteObject(g_labelBrush);
        g_labelBrush = nullptr;
    }
    HWND label(const char16_t* text, DWORD style, int y, int id = 1010) {
        return CreateWindowExW(0, WC_STATIC, text, WS_CHILD | WS_VISIBLE | style, 2, y, 122, 14, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    HWND parent = nullptr;
};

TEST_F(Static, TheColourAnswerGivesTheTextColourAndTheBrushFillsTheWholeLabel) {
    HWND find = label(u"Find Within", SS_LEFT | WS_GROUP, 2);
    settle();
    EXPECT_GE(g_questions, 1);
    const RECT r = screen_rect(find);
    const int inked = count(r, [](std::uint32_t p) { return !is(p, kLightYellow); });
    EXPECT_GT(inked, 20);
    // Every pixel is the yellow ground or olive ink blended into it: nothing
    // white behind the letters, since the background is transparent.
    EXPECT_EQ(count(r, [](std::uint32_t p) { return !olive_on_yellow(p); }), 0);
    EXPECT_GT(count(r, olive), 10);
    const auto [first, last] = columns(r, [](std::uint32_t p) { return !is(p, kLightYellow); });
    EXPECT_LE(first, r.left + 2);  // left-aligned
    EXPECT_LT(last, r.left + 100);

    // Without an answer: the system's black on white.
    DeleteObject(g_labelBrush);
    g_labelBrush = nullptr;
    InvalidateRect(find, nullptr, FALSE);
    settle();
    EXPECT_GT(count(r, [](std::uint32_t p) { return is(p, RGB(255, 255, 255)); }), 100);
    EXPECT_GT(count(r, dark), 10);
}

// A disabled label writes grey whatever colour its parent answers, and takes
// the parent's colour again once enabled.
TEST_F(Static, ADisabledLabelIsGreyOverTheParentsColourUntilEnabledAgain) {
    HWND find = label(u"Find Within", SS_LEFT, 2);
    const RECT r = screen_rect(find);
    auto grey = [](std::uint32_t p) { return is(p, RGB(128, 128, 128)); };
    const struct {
        BOOL enabled;
        bool greyInk;
    } steps[] = {{TRUE, false}, {FALSE, true}, {TRUE, false}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.enabled ? "enabled" : "disabled");
        EnableWindow(find, step.enabled);
        InvalidateRect(find, nullptr, FALSE);
        settle();
        if (step.greyInk) {
            EXPECT_GT(count(r, grey), 5);
            EXPECT_EQ(count(r, olive), 0);
        } else {
            EXPECT_EQ(count(r, grey), 0);
            EXPECT_GT(count(r, olive), 10);
        }
    }
}

TEST_F(Static, TheBoldFontSetByTheProgramAndTheAlignments) {
    HWND plain = label(u"Category", SS_LEFT, 2);
    HWND bold = label(u"Category", SS_LEFT, 20);
    LOGFONTW logfont{};
    ASSERT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), sizeof logfont, &logfont), static_cast<int>(sizeof logfont));
    logfont.lfWeight = FW_BOLD;
    HFONT boldFont = CreateFontIndirectW(&logfont);
    SendMessageW(bold, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont), TRUE);
    EXPECT_EQ(SendMessageW(bold, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(boldFont));
    settle();
    const auto inked = [](HWND w) { return count(screen_rect(w), [](std::uint32_t p) { return !is(p, kLightYellow); }); };
    EXPECT_GT(inked(bold), inked(plain) * 6 / 5);

    HWND right = label(u"Info", SS_RIGHT, 40);
    HWND centred = label(u"Info", SS_CENTER, 60);
    settle();
    const auto ink = [](std::uint32_t p) { return !is(p, kLightYellow); };
    const RECT rr = screen_rect(right);
    EXPECT_GE(columns(rr, ink).second, rr.right - 3);
    const RECT cr = screen_rect(centred);
    const auto [from, to] = columns(cr, ink);
    EXPECT_NEAR((from + to) / 2, (cr.left + cr.right) / 2, 2);

    // New text shows at once; a tap notifies only with SS_NOTIFY.
    SetWindowTextW(plain, u"Item");
    settle();
    EXPECT_LT(inked(plain), inked(bold) / 2);
    HWND notifying = label(u"Tap", SS_NOTIFY, 80, 1020);
    settle();
    g_commands.clear();
    const RECT nr = screen_rect(notifying);
    headless::tap(nr.left + 5, nr.top + 5);
    headless::tap(screen_rect(plain).left + 5, screen_rect(plain).top + 5);
    settle();
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].id, 1020);
    EXPECT_EQ(g_commands[0].code, STN_CLICKED);
    DestroyWindow(bold);
    DeleteObject(boldFont);
}

}  // namespace
