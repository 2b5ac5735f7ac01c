#include "gdi_support.h"
#include "platform/system/memory.h"

#include <gtest/gtest.h>

namespace {

using gdi_test::MemoryBitmap;
using gdi_test::SurfaceDc;

TEST(DeviceContext, WindowDcStartsInTheDefaultState) {
    SurfaceDc s(40, 30);
    ASSERT_NE(s.dc, nullptr);
    EXPECT_EQ(GetTextColor(s.dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(s.dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(s.dc), OPAQUE);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    LOGFONTW lf{};
    lf.lfHeight = 20;
    HFONT font = CreateFontIndirectW(&lf);
    EXPECT_EQ(SelectObject(s.dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(s.dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(s.dc, font), GetStockObject(SYSTEM_FONT));
    // Selected objects cannot be deleted; once replaced they can.
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(s.dc, GetStockObject(NULL_PEN)), pen);
    EXPECT_EQ(SelectObject(s.dc, GetStockObject(NULL_BRUSH)), brush);
    EXPECT_EQ(SelectObject(s.dc, GetStockObject(SYSTEM_FONT)), font);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(SetBkMode(s.dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(s.dc, 7), 0);  // not a mode
    EXPECT_EQ(SetTextColor(s.dc, RGB(255, 0, 0)), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(s.dc), RGB(255, 0, 0));
    EXPECT_FALSE(DeleteDC(s.dc));  // a window DC is released, not deleted
}

TEST(DeviceContext, OriginAndHardClipPlaceAndBoundTheDrawing) {
    // A client area at (5, 8) of its window surface, clipped to (5, 8)-(25, 20).
    SurfaceDc s(30, 24, POINT{5, 8}, RECT{5, 8, 25, 20});
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RECT all{-1000, -1000, 1000, 1000};
    FillRect(s.dc, &all, black);
    EXPECT_EQ(s.count(RGB(0, 0, 0)), 20 * 12);
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{5, 8, 25, 20}), 20 * 12);
    SurfaceDc t(30, 24, POINT{5, 8}, RECT{0, 0, 30, 24});
    RECT one{0, 0, 1, 1};
    FillRect(t.dc, &one, black);
    EXPECT_EQ(t.at(5, 8), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(t.dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(t.dc, -5, -8), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(t.dc, -6, 0), CLR_INVALID);  // outside the surface
    RECT box;
    EXPECT_EQ(GetClipBox(s.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 12);
}

TEST(DeviceContext, MemoryDcHoldsOneBitmapAtATime) {
    const int before = gdi_test::live_objects();
    {
        MemoryBitmap a(4, 4, [](int, int) -> BYTE { return 1; }, gdi_test::ramp);
        MemoryBitmap b(4, 4, [](int, int) { return RGB(9, 9, 9); });
        ASSERT_NE(a.previous, nullptr);  // the stock 1 x 1 bitmap
        BITMAP bm{};
        ASSERT_EQ(GetObjectW(a.previous, sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmWidth, 1);
        EXPECT_FALSE(DeleteObject(a.previous));
        // a's bitmap is in a's DC: it cannot go into b's as well, nor be deleted.
        EXPECT_EQ(SelectObject(b.dc, a.bitmap), nullptr);
        EXPECT_FALSE(DeleteObject(a.bitmap));
        EXPECT_EQ(GetPixel(a.dc, 2, 2), gdi_test::ramp(1));
        EXPECT_EQ(GetPixel(b.dc, 3, 3), RGB(9, 9, 9));
        // Putting the stock bitmap back frees a's bitmap for b's DC.
        EXPECT_EQ(SelectObject(a.dc, a.previous), a.bitmap);
        EXPECT_EQ(SelectObject(b.dc, a.bitmap), b.bitmap);
        EXPECT_EQ(SelectObject(b.dc, b.bitmap), a.bitmap);
        EXPECT_EQ(SelectObject(a.dc, a.bitmap), a.previous);
    }
    EXPECT_EQ(gdi_test::live_objects(), before);
}

TEST(DeviceContext, StaleAndForeignHandlesAreRefused) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
    EXPECT_TRUE(DeleteObject(brush));
    RECT r{0, 0, 1, 1};
    EXPECT_FALSE(FillRect(dc, &r, brush));
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    int local = 0;
    EXPECT_EQ(SelectObject(dc, &local), nullptr);
    EXPECT_FALSE(DeleteObject(dc));  // a DC goes through DeleteDC
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
    platform::gdi::release_surface_dc(dc);  // unknown: ignored
}

TEST(DeviceContext, StockObjectsDescribeThemselvesAndStay) {
    struct {
        int index;
        COLORREF color;
    } brushes[] = {{WHITE_BRUSH, RGB(255, 255, 255)},
                   {LTGRAY_BRUSH, RGB(192, 192, 192)},
                   {GRAY_BRUSH, RGB(128, 128, 128)},
                   {BLACK_BRUSH, RGB(0, 0, 0)}};
    for (auto b : brushes) {
        LOGBRUSH lb{};
        ASSERT_EQ(GetObjectW(GetStockObject(b.index), sizeof lb, &lb), static_cast<int>(sizeof lb));
        EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(lb.lbColor, b.color);
        EXPECT_FALSE(DeleteObject(GetStockObject(b.index)));
    }
    LOGBRUSH hollow{};
    GetObjectW(GetStockObject(NULL_BRUSH), sizeof hollow, &hollow);
    EXPECT_EQ(hollow.lbStyle, static_cast<UINT>(BS_NULL));
    LOGPEN pen{};
    GetObjectW(GetStockObject(WHITE_PEN), sizeof pen, &pen);
    EXPECT_EQ(pen.lopnColor, RGB(255, 255, 255));
    EXPECT_EQ(pen.lopnWidth.x, 1);
    GetObjectW(GetStockObject(NULL_PEN), sizeof pen, &pen);
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_NULL));
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(CreatePen(PS_SOLID, -1, 0), nullptr);
}

TEST(DeviceContext, NothingLeaksAcrossAFullDrawingCycle) {
    const int before = gdi_test::live_objects();
    for (int i = 0; i < 3; ++i) {
        SurfaceDc s(50, 50);
        MemoryBitmap map(20, 20, [](int x, int y) -> BYTE { return static_cast<BYTE>(x + y); }, gdi_test::ramp);
        HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
        HBRUSH brush = CreateSolidBrush(RGB(255, 255, 192));
        LOGFONTW lf{};
        GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
        lf.lfWeight = FW_BOLD;
        HFONT font = CreateFontIndirectW(&lf);
        HGDIOBJ oldPen = SelectObject(s.dc, pen);
        HGDIOBJ oldBrush = SelectObject(s.dc, brush);
        HGDIOBJ oldFont = SelectObject(s.dc, font);
        StretchBlt(s.dc, 0, 0, 50, 50, map.dc, 0, 0, 20, 20, SRCCOPY);
        ExcludeClipRect(s.dc, 0, 0, 10, 10);
        Rectangle(s.dc, 5, 5, 40, 40);
        TextOutW(s.dc, 2, 2, u"Map", 3);
        SelectObject(s.dc, oldPen);
        SelectObject(s.dc, oldBrush);
        SelectObject(s.dc, oldFont);
        EXPECT_TRUE(DeleteObject(pen));
        EXPECT_TRUE(DeleteObject(brush));
        EXPECT_TRUE(DeleteObject(font));
    }
    EXPECT_EQ(gdi_test::live_objects(), before);
}

TEST(DeviceContext, InjectedFaultsRefuseOnlyTheirOwnCall) {
    using platform::AllocKind;
    namespace faults = platform::faults;
    faults::fail_allocations(AllocKind::DeviceContext, 1, 1);
    HDC first = CreateCompatibleDC(nullptr);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    DeleteDC(first);

    // Selection refuses bitmaps only; brushes and the stock bitmap go in.
    MemoryBitmap picture(4, 4, [](int, int) { return RGB(1, 2, 3); });
    SelectObject(picture.dc, picture.previous);
    faults::fail_allocations(AllocKind::Selection, 0, 1);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    EXPECT_NE(SelectObject(dc, brush), nullptr);
    EXPECT_EQ(SelectObject(dc, picture.bitmap), nullptr);
    HGDIOBJ stock = SelectObject(dc, picture.bitmap);
    EXPECT_NE(stock, nullptr);
    EXPECT_EQ(SelectObject(dc, stock), picture.bitmap);

    // Description refuses to fill a buffer, not to tell the size.
    faults::fail_allocations(AllocKind::Description, 0, 1);
    BITMAP bm{};
    EXPECT_EQ(GetObjectW(picture.bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(GetObjectW(picture.bitmap, sizeof bm, &bm), 0);
    EXPECT_EQ(GetObjectW(picture.bitmap, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 4);
    faults::clear_allocation_faults();
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
    DeleteDC(dc);
    picture.previous = SelectObject(picture.dc, picture.bitmap);
}

}  // namespace
