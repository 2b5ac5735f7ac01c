#include "gdi_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

namespace {

using gdi_test::SurfaceDc;

const COLORREF kWhite = RGB(255, 255, 255);

SIZE extent(HDC dc, const std::u16string& text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size));
    return size;
}

HFONT system_variant(LONG weight, BYTE italic = 0, BYTE underline = 0) {
    LOGFONTW lf{};
    EXPECT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf), 92);
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    return CreateFontIndirectW(&lf);
}

// Pixels that are not white.
int ink(const SurfaceDc& s, RECT area) {
    return (area.right - area.left) * (area.bottom - area.top) - s.count(kWhite, area);
}

TEST(Text, SystemFontFitsTheDialogLayouts) {
    SurfaceDc s(10, 10);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(s.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 14);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(tm.tmAveCharWidth, 7);
    EXPECT_EQ(GetDialogBaseUnits(), MAKELONG(7, 14));
    const RECT dialog = platform::gdi::dialog_rect_to_pixels(RECT{0, 0, 138, 156});
    EXPECT_EQ(dialog.right, 240);
    EXPECT_EQ(dialog.bottom, 268);
    EXPECT_EQ(platform::gdi::dialog_x_to_pixels(-69), -120);
    EXPECT_EQ(platform::gdi::dialog_y_to_pixels(INT_MAX), INT_MAX);
    LOGFONTW lf{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"System");
    EXPECT_EQ(lf.lfHeight, 14);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
}

TEST(Text, ExtentsAddUpUnitByUnit) {
    SurfaceDc s(10, 10);
    const SIZE empty = extent(s.dc, u"");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, 14);
    const SIZE label = extent(s.dc, u" 35% ");
    EXPECT_GT(label.cx, 20);
    EXPECT_LT(label.cx, 60);
    EXPECT_EQ(extent(s.dc, u"Harbour").cx + extent(s.dc, u" Quay").cx, extent(s.dc, u"Harbour Quay").cx);
    EXPECT_GT(extent(s.dc, u"WWW").cx, extent(s.dc, u"iii").cx);

    const std::u16string text = u"Old Market";
    int partial[10] = {};
    int fit = -1;
    SIZE size;
    ASSERT_TRUE(GetTextExtentExPointW(s.dc, text.c_str(), 10, 30, &fit, partial, &size));
    EXPECT_EQ(partial[9], size.cx);
    for (int i = 1; i < 10; ++i) EXPECT_GT(partial[i], partial[i - 1]);
    ASSERT_GT(fit, 0);
    EXPECT_LE(partial[fit - 1], 30);
    EXPECT_GT(partial[fit], 30);
    ASSERT_TRUE(GetTextExtentExPointW(s.dc, text.c_str(), 10, INT_MAX, &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 10);
    ASSERT_TRUE(GetTextExtentExPointW(s.dc, text.c_str(), 10, -1, &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 0);
    // A surrogate pair is one character: its width goes to the first unit.
    const char16_t pair[] = {u'a', 0xD83D, 0xDDFA, u'b'};
    int units[4];
    GetTextExtentExPointW(s.dc, pair, 4, 0, nullptr, units, &size);
    EXPECT_EQ(units[1], units[2]);
    EXPECT_GT(units[1], units[0]);
    EXPECT_FALSE(GetTextExtentPoint32W(s.dc, nullptr, 3, &size));
    EXPECT_FALSE(GetTextExtentPoint32W(s.dc, u"x", -1, &size));
}

TEST(Text, BoldIsWiderAndDarker) {
    SurfaceDc s(200, 40);
    const SIZE normal = extent(s.dc, u"Find Location");
    TextOutW(s.dc, 0, 0, u"Find Location", 13);
    HFONT bold = system_variant(FW_BOLD);
    HGDIOBJ old = SelectObject(s.dc, bold);
    const SIZE heavy = extent(s.dc, u"Find Location");
    TextOutW(s.dc, 0, 20, u"Find Location", 13);
    SelectObject(s.dc, old);
    EXPECT_GT(heavy.cx, normal.cx);
    EXPECT_EQ(heavy.cy, normal.cy);
    EXPECT_GT(ink(s, RECT{0, 20, 200, 34}), ink(s, RECT{0, 0, 200, 14}) * 5 / 4);
    TEXTMETRICW tm;
    SelectObject(s.dc, bold);
    GetTextMetricsW(s.dc, &tm);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    SelectObject(s.dc, old);
    DeleteObject(bold);
}

TEST(Text, OpaqueLabelFillsItsRectangleAndBlendsTheText) {
    // The zoom label: ETO_OPAQUE over a rectangle 2 pixels larger all round.
    SurfaceDc s(120, 60);
    RECT bg{0, 0, 120, 60};
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    FillRect(s.dc, &bg, green);
    SetBkColor(s.dc, RGB(255, 255, 0));
    SetTextColor(s.dc, RGB(0, 0, 255));
    const SIZE size = extent(s.dc, u" 35% ");
    const int x = 60 - size.cx / 2, y = 30 - size.cy / 2;
    RECT r{x - 2, y - 2, x + size.cx + 2, y + size.cy + 2};
    ASSERT_TRUE(ExtTextOutW(s.dc, x, y, ETO_OPAQUE, &r, u" 35% ", 5, nullptr));
    int text = 0, background = 0;
    for (int py = r.top; py < r.bottom; ++py)
        for (int px = r.left; px < r.right; ++px) {
            const COLORREF c = s.at(px, py);
            // Every pixel is the background, the text colour or a blend of them.
            ASSERT_EQ(GetRValue(c), GetGValue(c)) << px << "," << py;
            ASSERT_EQ(GetRValue(c) + GetBValue(c), 255) << px << "," << py;
            text += GetBValue(c) >= 224;  // mostly text colour
            background += c == RGB(255, 255, 0);
        }
    EXPECT_GT(text, 15);
    EXPECT_GT(background, (r.right - r.left) * (r.bottom - r.top) / 2);
    EXPECT_EQ(s.count(RGB(0, 160, 0)), 120 * 60 - (r.right - r.left) * (r.bottom - r.top));
    DeleteObject(green);
}

TEST(Text, BackgroundModeAndClippingDecideWhatIsTouched) {
    SurfaceDc s(100, 40);
    RECT all{0, 0, 100, 40};
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(s.dc, &all, grey);
    SetTextColor(s.dc, RGB(0, 0, 0));
    // Opaque: the text's cell takes the background colour.
    TextOutW(s.dc, 0, 0, u"Quay", 4);
    const SIZE quay = extent(s.dc, u"Quay");
    EXPECT_EQ(s.count(RGB(128, 128, 128), RECT{0, 0, quay.cx, 14}), 0);
    EXPECT_GT(s.count(kWhite, RECT{0, 0, quay.cx, 14}), 0);
    // Transparent: only the glyphs.
    SetBkMode(s.dc, TRANSPARENT);
    TextOutW(s.dc, 0, 20, u"Quay", 4);
    EXPECT_EQ(s.count(kWhite, RECT{0, 20, 100, 40}), 0);
    EXPECT_GT(s.count(RGB(128, 128, 128), RECT{0, 20, quay.cx, 34}), quay.cx * 14 / 2);
    // ETO_CLIPPED keeps everything inside its rectangle.
    FillRect(s.dc, &all, grey);
    SetBkMode(s.dc, OPAQUE);
    RECT clip{5, 0, 15, 40};
    ExtTextOutW(s.dc, 0, 0, ETO_CLIPPED, &clip, u"WWWW", 4, nullptr);
    EXPECT_EQ(s.count(RGB(128, 128, 128), RECT{5, 0, 15, 14}), 0);
    EXPECT_EQ(s.count(RGB(128, 128, 128)), 100 * 40 - 10 * 14);
    // An excluded rectangle is not drawn into either.
    FillRect(s.dc, &all, grey);
    ExcludeClipRect(s.dc, 0, 0, 10, 40);
    TextOutW(s.dc, 0, 0, u"WWWW", 4);
    EXPECT_EQ(s.count(RGB(128, 128, 128), RECT{0, 0, 10, 40}), 400);
    DeleteObject(grey);
}

TEST(Text, UnderlineRunsUnderTheWholeText) {
    SurfaceDc s(100, 20);
    HFONT font = system_variant(FW_NORMAL, 0, 1);
    HGDIOBJ old = SelectObject(s.dc, font);
    SetBkMode(s.dc, TRANSPARENT);
    TextOutW(s.dc, 0, 0, u"a b", 3);
    const SIZE size = extent(s.dc, u"a b");
    bool found = false;
    for (int y = 0; y < 20; ++y) found = found || s.count(RGB(0, 0, 0), RECT{0, y, size.cx, y + 1}) == size.cx;
    EXPECT_TRUE(found);
    SelectObject(s.dc, old);
    DeleteObject(font);
}

TEST(Text, DrawTextLaysOutLines) {
    SurfaceDc s(200, 200);
    const std::u16string text = u"A longer description of the place that wraps";
    RECT calc{0, 0, 100, 0};
    const int height = DrawTextW(s.dc, text.c_str(), -1, &calc, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(height % 14, 0);
    EXPECT_GE(height, 3 * 14);
    EXPECT_EQ(calc.bottom, height);
    EXPECT_LE(calc.right, 100);
    EXPECT_EQ(s.count(kWhite), 200 * 200);  // measuring draws nothing
    // Single line: the rectangle becomes the text's extent.
    RECT one{10, 10, 10, 10};
    EXPECT_EQ(DrawTextW(s.dc, u"Harbour", 7, &one, DT_SINGLELINE | DT_CALCRECT), 14);
    EXPECT_EQ(one.right - one.left, extent(s.dc, u"Harbour").cx);
    // '&' marks a mnemonic and takes no room; "&&" is one '&'.
    RECT prefixed{0, 0, 0, 0}, plain{0, 0, 0, 0}, amp{0, 0, 0, 0};
    DrawTextW(s.dc, u"&Find", -1, &prefixed, DT_SINGLELINE | DT_CALCRECT);
    DrawTextW(s.dc, u"Find", -1, &plain, DT_SINGLELINE | DT_CALCRECT);
    DrawTextW(s.dc, u"A&&B", -1, &amp, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(prefixed.right, plain.right);
    EXPECT_EQ(amp.right, extent(s.dc, u"A&B").cx);
    // Line ends break lines even without DT_WORDBREAK.
    RECT lines{0, 0, 200, 0};
    EXPECT_EQ(DrawTextW(s.dc, u"one\r\ntwo\nthree", -1, &lines, DT_CALCRECT), 3 * 14);
    // A word wider than the rectangle is broken between letters.
    RECT narrow{0, 0, 20, 0};
    EXPECT_GT(DrawTextW(s.dc, u"WWWWWWWW", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), 14);
    EXPECT_LE(narrow.right, 20);
}

TEST(Text, DrawTextCentresAndClips) {
    SurfaceDc s(200, 60);
    SetBkMode(s.dc, TRANSPARENT);
    RECT box{50, 10, 150, 50};
    const int offset = DrawTextW(s.dc, u"Home", -1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_EQ(offset, (40 - 14) / 2 + 14);
    // The ink is centred in the box, within a couple of pixels.
    int left = 200, right = 0, top = 60, bottom = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (s.at(x, y) != kWhite) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    EXPECT_NEAR((left + right) / 2.0, 100, 2.5);
    EXPECT_NEAR((top + bottom) / 2.0, 30, 3.5);
    // Text longer than the box is clipped to it.
    SurfaceDc t(200, 60);
    RECT small{20, 20, 60, 34};
    DrawTextW(t.dc, u"A very long name for one line", -1, &small, DT_SINGLELINE);
    EXPECT_EQ(ink(t, RECT{0, 0, 200, 60}), ink(t, small));
    EXPECT_GT(ink(t, small), 0);
}

TEST(Text, HostileInputsAreSafe) {
    SurfaceDc s(32, 32, POINT{8, 8}, RECT{8, 8, 24, 24});
    const int values[] = {INT_MIN, -100000, -3, 0, 5, 100000, INT_MAX};
    RECT r;
    for (int a : values)
        for (int b : values) {
            r = RECT{a, b, b, a};
            ExtTextOutW(s.dc, a, b, ETO_OPAQUE | ETO_CLIPPED, &r, u"WMW", 3, nullptr);
            DrawTextW(s.dc, u"Tower Bridge and more", -1, &r, DT_WORDBREAK | DT_CENTER);
            DrawTextW(s.dc, u"Tower", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        }
    const int dx[3] = {INT_MAX, INT_MIN, INT_MAX};
    ExtTextOutW(s.dc, 0, 0, 0, nullptr, u"abc", 3, dx);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (x < 8 || x >= 24 || y < 8 || y >= 24) {
                ASSERT_EQ(s.at(x, y), kWhite) << x << "," << y;
            }
        }
    }
    // Absurd font sizes are bounded; an unknown face still draws.
    for (LONG height : {INT_MIN, -1, INT_MAX}) {
        LOGFONTW lf{};
        lf.lfHeight = height;
        lf.lfWeight = INT_MAX;
        std::u16string name = u"No Such Face Anywhere";
        std::copy(name.begin(), name.end(), lf.lfFaceName);
        HFONT font = CreateFontIndirectW(&lf);
        HGDIOBJ old = SelectObject(s.dc, font);
        SIZE size;
        EXPECT_TRUE(GetTextExtentPoint32W(s.dc, u"x", 1, &size));
        EXPECT_GT(size.cy, 0);
        EXPECT_LE(size.cy, 1200);
        TextOutW(s.dc, 0, 0, u"x", 1);
        SelectObject(s.dc, old);
        DeleteObject(font);
    }
    // A face name without a terminator is cut, not overrun.
    LOGFONTW lf{};
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), u'A');
    HFONT font = CreateFontIndirectW(&lf);
    LOGFONTW back{};
    GetObjectW(font, sizeof back, &back);
    EXPECT_EQ(back.lfFaceName[LF_FACESIZE - 1], 0);
    DeleteObject(font);
}

int open_files() {
    int n = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

TEST(Text, FontsAtManySizesHoldNoFilesOpen) {
    SurfaceDc s(60, 60);
    const int files = open_files();
    const int objects = gdi_test::live_objects();
    int previous = 0;
    for (LONG height = 1; height <= 300; ++height) {
        LOGFONTW lf{};
        lf.lfHeight = -height;
        lf.lfWeight = (height % 2) ? FW_BOLD : FW_NORMAL;
        HFONT font = CreateFontIndirectW(&lf);
        HGDIOBJ old = SelectObject(s.dc, font);
        SIZE size;
        GetTextExtentPoint32W(s.dc, u"M", 1, &size);
        TextOutW(s.dc, 0, 0, u"M", 1);
        if (height % 2 == 0) {
            EXPECT_GE(size.cx, previous) << height;  // larger fonts are not narrower
            previous = size.cx;
        }
        SelectObject(s.dc, old);
        DeleteObject(font);
    }
    EXPECT_EQ(open_files(), files);
    EXPECT_EQ(gdi_test::live_objects(), objects);
}

}  // namespace
