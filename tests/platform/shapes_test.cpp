#include "gdi_support.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using gdi_test::MemoryBitmap;
using gdi_test::SurfaceDc;

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGrey = RGB(128, 128, 128);

HBRUSH stock_brush(int index) { return static_cast<HBRUSH>(GetStockObject(index)); }

// The columns [left, right) and rows [top, bottom) where colour appears.
RECT extent_of(const SurfaceDc& s, COLORREF color) {
    RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < s.surface.height(); ++y)
        for (int x = 0; x < s.surface.width(); ++x)
            if (s.at(x, y) == color) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

TEST(Shapes, FillRectIsRightAndBottomExclusiveAndKeepsToTheClipRegion) {
    SurfaceDc s(20, 20);
    RECT r;
    SetRect(&r, 2, 3, 12, 9);
    EXPECT_TRUE(FillRect(s.dc, &r, stock_brush(GRAY_BRUSH)));
    EXPECT_EQ(s.count(kGrey), 10 * 6);
    EXPECT_EQ(s.at(11, 8), kGrey);
    EXPECT_EQ(s.at(12, 8), kWhite);
    EXPECT_EQ(s.at(11, 9), kWhite);
    // Hollow brushes and empty or inverted rectangles fill nothing.
    RECT all{0, 0, 20, 20}, inverted{10, 10, 5, 5};
    FillRect(s.dc, &all, stock_brush(NULL_BRUSH));
    FillRect(s.dc, &inverted, stock_brush(BLACK_BRUSH));
    EXPECT_EQ(s.count(kWhite), 400 - 60);

    // Exclude two overlapping rectangles, then fill everything.
    EXPECT_EQ(ExcludeClipRect(s.dc, 0, 0, 5, 5), COMPLEXREGION);
    ExcludeClipRect(s.dc, 3, 3, 8, 8);
    FillRect(s.dc, &all, stock_brush(BLACK_BRUSH));
    EXPECT_EQ(s.count(kBlack), 400 - 25 - 25 + 4);
    EXPECT_EQ(s.at(1, 1), kWhite);
    EXPECT_EQ(s.at(4, 4), kGrey);  // the earlier fill, protected by the exclusions
    EXPECT_EQ(s.at(7, 7), kGrey);
    EXPECT_EQ(s.at(8, 8), kBlack);
    // A clip region that excludes everything leaves a null region.
    EXPECT_EQ(ExcludeClipRect(s.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX), NULLREGION);
    SelectClipRgn(s.dc, nullptr);
    EXPECT_EQ(IntersectClipRect(s.dc, 15, 15, 17, 30), SIMPLEREGION);
    FillRect(s.dc, &all, stock_brush(WHITE_BRUSH));
    EXPECT_EQ(s.count(kWhite, RECT{15, 15, 17, 20}), 10);
}

TEST(Shapes, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    SurfaceDc s(40, 40);
    HPEN red = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ oldPen = SelectObject(s.dc, red);
    HGDIOBJ oldBrush = SelectObject(s.dc, GetStockObject(GRAY_BRUSH));
    EXPECT_TRUE(Rectangle(s.dc, 5, 5, 15, 12));
    RECT red_extent = extent_of(s, kRed);
    EXPECT_EQ(red_extent.left, 5);
    EXPECT_EQ(red_extent.top, 5);
    EXPECT_EQ(red_extent.right, 15);  // right and bottom exclusive
    EXPECT_EQ(red_extent.bottom, 12);
    EXPECT_EQ(s.count(kRed), 2 * 10 + 2 * 5);
    EXPECT_EQ(s.count(kGrey), 8 * 5);
    // Corners given in the other order draw the same.
    SurfaceDc t(40, 40);
    SelectObject(t.dc, red);
    SelectObject(t.dc, GetStockObject(GRAY_BRUSH));
    Rectangle(t.dc, 15, 12, 5, 5);
    EXPECT_EQ(t.count(kRed), 30);
    // With the null pen the fill stops one pixel short on the right and bottom.
    SelectObject(t.dc, GetStockObject(NULL_PEN));
    Rectangle(t.dc, 20, 20, 30, 25);
    EXPECT_EQ(t.count(kGrey, RECT{20, 20, 30, 25}), 9 * 4);
    SelectObject(s.dc, oldPen);
    SelectObject(s.dc, oldBrush);
    SelectObject(t.dc, oldPen);
    DeleteObject(red);
}

TEST(Shapes, WidePensAreCentredOnTheOutline) {
    for (int width = 1; width <= 6; ++width) {
        SurfaceDc s(60, 60);
        HPEN pen = CreatePen(PS_SOLID, width, RGB(0, 0, 255));
        SelectObject(s.dc, pen);
        SelectObject(s.dc, GetStockObject(NULL_BRUSH));
        Rectangle(s.dc, 20, 20, 40, 40);
        const RECT e = extent_of(s, RGB(0, 0, 255));
        // The outline runs through columns 20 and 39; the pen covers
        // width pixels across it, the extra one of an even width outwards.
        EXPECT_EQ(e.left, 20 - width / 2) << width;
        EXPECT_EQ(e.right, 39 - width / 2 + width) << width;
        EXPECT_EQ(e.top, 20 - width / 2) << width;
        EXPECT_EQ(s.count(RGB(0, 0, 255), RECT{30, 0, 31, 60}), 2 * width) << width;
        EXPECT_EQ(s.at(30, 30), kWhite) << width;  // the hollow inside
        SelectObject(s.dc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }
    // The highlight of a map rectangle (10, 10)-(20, 20) at 100 %, pen 2:
    // Rectangle(11, 11, 20, 20) stays inside columns and rows 10..20.
    SurfaceDc s(30, 30);
    HPEN blue = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
    SelectObject(s.dc, blue);
    SelectObject(s.dc, GetStockObject(NULL_BRUSH));
    Rectangle(s.dc, 11, 11, 20, 20);
    const RECT e = extent_of(s, RGB(0, 0, 255));
    EXPECT_GE(e.left, 10);
    EXPECT_LE(e.right, 21);
    EXPECT_EQ(s.at(10, 15), RGB(0, 0, 255));
    SelectObject(s.dc, GetStockObject(BLACK_PEN));
    DeleteObject(blue);
}

TEST(Shapes, OverviewFrameKeepsThePartInViewThroughTheExclusion) {
    // The overview frame: a white part-in-view with a red outline, excluded,
    // then the grey frame with a black outline drawn around it.
    SurfaceDc s(60, 40);
    HPEN red = CreatePen(PS_SOLID, 1, kRed);
    HPEN black = CreatePen(PS_SOLID, 1, kBlack);
    SelectObject(s.dc, GetStockObject(WHITE_BRUSH));
    HGDIOBJ oldPen = SelectObject(s.dc, red);
    Rectangle(s.dc, 5, 4, 20, 12);
    ExcludeClipRect(s.dc, 5, 4, 20, 12);
    SelectObject(s.dc, GetStockObject(LTGRAY_BRUSH));
    SelectObject(s.dc, black);
    Rectangle(s.dc, 0, 0, 43, 21);
    EXPECT_EQ(s.count(kRed), 2 * 15 + 2 * 6);
    EXPECT_EQ(s.count(kWhite, RECT{6, 5, 19, 11}), 13 * 6);
    EXPECT_EQ(s.at(0, 0), kBlack);
    EXPECT_EQ(s.at(42, 20), kBlack);
    EXPECT_EQ(s.at(43, 20), kWhite);
    EXPECT_EQ(s.at(30, 10), RGB(192, 192, 192));
    SelectObject(s.dc, oldPen);
    DeleteObject(red);
    DeleteObject(black);
}

TEST(Shapes, ThinLinesLeaveOutTheirLastPixel) {
    SurfaceDc s(30, 30);
    POINT h[] = {{2, 5}, {10, 5}};
    Polyline(s.dc, h, 2);
    EXPECT_EQ(s.count(kBlack), 8);
    EXPECT_EQ(s.at(2, 5), kBlack);
    EXPECT_EQ(s.at(10, 5), kWhite);
    // A corner: the shared point is drawn once, the last point not at all.
    SurfaceDc t(30, 30);
    POINT corner[] = {{3, 3}, {3, 10}, {12, 10}};
    Polyline(t.dc, corner, 3);
    EXPECT_EQ(t.count(kBlack), 7 + 9);
    EXPECT_EQ(t.at(3, 10), kBlack);
    EXPECT_EQ(t.at(12, 10), kWhite);
    // Diagonals go one pixel per step; lines run the same both ways.
    SurfaceDc d(30, 30);
    POINT diag[] = {{20, 2}, {2, 20}};
    Polyline(d.dc, diag, 2);
    EXPECT_EQ(d.count(kBlack), 18);
    for (int i = 0; i < 18; ++i) EXPECT_EQ(d.at(20 - i, 2 + i), kBlack);
    SurfaceDc a(30, 30), b(30, 30);
    POINT slope[] = {{1, 1}, {25, 8}}, back[] = {{25, 8}, {1, 1}};
    Polyline(a.dc, slope, 2);
    Polyline(b.dc, back, 2);
    for (int x = 2; x < 25; ++x)
        for (int y = 0; y < 30; ++y) EXPECT_EQ(a.at(x, y), b.at(x, y)) << x << "," << y;
    // MoveToEx / LineTo draw the same as a two-point polyline.
    SurfaceDc m(30, 30);
    MoveToEx(m.dc, 2, 5, nullptr);
    LineTo(m.dc, 10, 5);
    EXPECT_EQ(m.count(kBlack), 8);
    POINT last;
    MoveToEx(m.dc, 0, 0, &last);
    EXPECT_EQ(last.x, 10);
}

TEST(Shapes, WideLinesCoverTheirWidthWithRoundEnds) {
    for (int width : {2, 3, 5}) {
        SurfaceDc s(60, 140);
        HPEN pen = CreatePen(PS_SOLID, width, RGB(64, 64, 64));
        SelectObject(s.dc, pen);
        // The location popup's leader line: vertical, from y 42 to 100.
        POINT leader[] = {{30, 42}, {30, 100}};
        Polyline(s.dc, leader, 2);
        EXPECT_EQ(s.count(RGB(64, 64, 64), RECT{0, 70, 60, 71}), width) << width;
        const RECT e = extent_of(s, RGB(64, 64, 64));
        EXPECT_EQ(e.left, 30 - width / 2) << width;
        EXPECT_EQ(e.right - e.left, width) << width;
        // Round ends reach about half the width beyond each end point.
        EXPECT_LE(std::abs(e.top - (42 - width / 2)), 1) << width;
        EXPECT_LE(std::abs(e.bottom - (101 + (width - 1) / 2)), 1) << width;
        SelectObject(s.dc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }
    // A diagonal wide line is width x sqrt(2) pixels across each row, in
    // one run.
    SurfaceDc s(120, 120);
    HPEN pen = CreatePen(PS_SOLID, 4, kRed);
    SelectObject(s.dc, pen);
    POINT diag[] = {{10, 10}, {110, 110}};
    Polyline(s.dc, diag, 2);
    for (int y = 15; y < 105; ++y) {
        const RECT row{0, y, 120, y + 1};
        const int n = s.count(kRed, row);
        EXPECT_TRUE(n == 5 || n == 6) << y;
        EXPECT_EQ(s.count(kRed, RECT{y - 4, y, y + 4, y + 1}), n) << y;
    }
    SelectObject(s.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(Shapes, PixelsOfPalettisedBitmapsReadBackAsTheirColours) {
    MemoryBitmap m(8, 4, [](int x, int y) -> BYTE { return static_cast<BYTE>(x * 10 + y); }, gdi_test::ramp);
    EXPECT_EQ(GetPixel(m.dc, 0, 0), gdi_test::ramp(0));
    EXPECT_EQ(GetPixel(m.dc, 7, 3), gdi_test::ramp(73));
    EXPECT_EQ(GetPixel(m.dc, 8, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(m.dc, 0, -1), CLR_INVALID);
    // A colour not in the palette is stored as the nearest entry.
    EXPECT_EQ(SetPixel(m.dc, 1, 1, RGB(100, 150, 60)), gdi_test::ramp(104));
    EXPECT_EQ(static_cast<BYTE*>(m.bits)[(4 - 1 - 1) * 8 + 1], 104);
    EXPECT_EQ(SetPixel(m.dc, 9, 9, kRed), CLR_INVALID);
    // Fills work on palettised bitmaps too.
    RECT r{0, 0, 2, 2};
    HBRUSH b = CreateSolidBrush(gdi_test::ramp(200));
    FillRect(m.dc, &r, b);
    EXPECT_EQ(GetPixel(m.dc, 1, 1), gdi_test::ramp(200));
    DeleteObject(b);
}

TEST(Shapes, HostileCoordinatesStayInsideTheHardClip) {
    // A window whose client area is the middle of its surface: nothing may
    // reach the frame around it, whatever the coordinates.
    SurfaceDc s(64, 64, POINT{16, 16}, RECT{16, 16, 48, 48});
    HPEN thin = CreatePen(PS_SOLID, 1, kRed);
    HPEN wide = CreatePen(PS_SOLID, 7, kRed);
    SelectObject(s.dc, GetStockObject(BLACK_BRUSH));
    const int extremes[] = {INT_MIN, INT_MIN + 1, -1000000, -17, 0, 15, 31, 1000000, INT_MAX - 1, INT_MAX};
    for (int a : extremes)
        for (int b : extremes) {
            RECT r{a, b, b, a};
            FillRect(s.dc, &r, stock_brush(GRAY_BRUSH));
            RECT r2{a, a, b, b};
            FillRect(s.dc, &r2, stock_brush(GRAY_BRUSH));
            for (HPEN pen : {thin, wide}) {
                SelectObject(s.dc, pen);
                Rectangle(s.dc, a, b, b, a);
                Rectangle(s.dc, a, a, b, b);
                POINT line[] = {{a, b}, {b, a}, {a, a}, {b, b}};
                Polyline(s.dc, line, 4);
            }
            SetPixel(s.dc, a, b, kRed);
            ExcludeClipRect(s.dc, a, b, a / 2, b / 2);
        }
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            if (x >= 16 && x < 48 && y >= 16 && y < 48) continue;
            ASSERT_EQ(s.at(x, y), kWhite) << x << "," << y;
        }
    EXPECT_LT(s.count(kWhite), 64 * 64);  // and the client area was drawn into
    SelectObject(s.dc, GetStockObject(BLACK_PEN));
    DeleteObject(thin);
    DeleteObject(wide);
    // A DC whose origin is near the end of the coordinate range.
    SurfaceDc far(8, 8, POINT{INT_MAX, INT_MIN}, RECT{0, 0, 8, 8});
    RECT r{INT_MIN, 0, 0, INT_MAX};
    FillRect(far.dc, &r, stock_brush(BLACK_BRUSH));
    POINT line[] = {{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}};
    Polyline(far.dc, line, 2);
    EXPECT_EQ(GetPixel(far.dc, 0, 0), CLR_INVALID);
}

}  // namespace
