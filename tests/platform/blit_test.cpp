#include "gdi_support.h"
#include "platform/gdi/palette_expander.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

namespace {

using gdi_test::MemoryBitmap;
using gdi_test::ramp;
using gdi_test::SurfaceDc;

const COLORREF kWhite = RGB(255, 255, 255);

// A palettised image whose every pixel tells where it came from: index
// (x % 16) + 16 * (y % 16).
BYTE coded(int x, int y) { return static_cast<BYTE>((x % 16) + 16 * (y % 16)); }

TEST(Blit, BitBltCopiesPalettisedPixelsInEitherRowOrder) {
    for (gdi_test::Rows rows : {gdi_test::Rows::BottomUp, gdi_test::Rows::TopDown}) {
        MemoryBitmap m(16, 16, coded, ramp, rows);
        SurfaceDc s(20, 20);
        EXPECT_TRUE(BitBlt(s.dc, 2, 3, 10, 8, m.dc, 4, 5, SRCCOPY));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool inside = x >= 2 && x < 12 && y >= 3 && y < 11;
                ASSERT_EQ(s.at(x, y), inside ? ramp(coded(x - 2 + 4, y - 3 + 5)) : kWhite) << x << "," << y;
            }
    }
}

TEST(Blit, OnlySourcePixelsInsideTheBitmapAreCopied) {
    MemoryBitmap m(8, 8, coded, ramp);
    SurfaceDc s(20, 20);
    // The source rectangle hangs over the bitmap's top-left corner.
    BitBlt(s.dc, 0, 0, 10, 10, m.dc, -3, -2, SRCCOPY);
    EXPECT_EQ(s.at(2, 5), kWhite);
    EXPECT_EQ(s.at(5, 1), kWhite);
    EXPECT_EQ(s.at(3, 2), ramp(coded(0, 0)));
    EXPECT_EQ(s.at(9, 9), ramp(coded(6, 7)));
    EXPECT_EQ(s.count(kWhite, RECT{0, 0, 10, 10}), 100 - 7 * 8);
    // Entirely outside: nothing happens, and it is not an error.
    EXPECT_TRUE(BitBlt(s.dc, 0, 0, 10, 10, m.dc, 100, 100, SRCCOPY));
    EXPECT_TRUE(StretchBlt(s.dc, 0, 0, 10, 10, m.dc, -50, 0, 20, 8, SRCCOPY));
    EXPECT_EQ(s.at(0, 0), kWhite);
    // Sizes must be positive; an 8-bit bitmap is not a destination.
    EXPECT_FALSE(BitBlt(s.dc, 0, 0, 0, 10, m.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(StretchBlt(s.dc, 0, 0, 10, 10, m.dc, 0, 0, -8, 8, SRCCOPY));
    EXPECT_FALSE(BitBlt(m.dc, 0, 0, 2, 2, s.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(s.dc, 0, 0, 2, 2, m.dc, 0, 0, 0x00440328u));  // only copies
}

TEST(Blit, ClipRegionAndHardClipBoundTheCopy) {
    MemoryBitmap m(32, 32, coded, ramp);
    SurfaceDc s(40, 40, POINT{4, 4}, RECT{4, 4, 36, 36});
    ExcludeClipRect(s.dc, 10, 10, 20, 20);
    StretchBlt(s.dc, -10, -10, 60, 60, m.dc, 0, 0, 30, 30, SRCCOPY);
    EXPECT_EQ(s.count(kWhite, RECT{14, 14, 24, 24}), 100);  // the excluded square
    EXPECT_EQ(s.count(kWhite), 40 * 40 - 32 * 32 + 100);    // the frame outside the hard clip
}

// Source columns a stretch picks for destination columns 0..n-1.
std::vector<int> picked_columns(int srcWidth, int dstWidth, int srcX = 0) {
    MemoryBitmap m(srcX + srcWidth, 1, [](int x, int) { return RGB(x % 256, x / 256, 0); });
    SurfaceDc s(dstWidth, 1);
    StretchBlt(s.dc, 0, 0, dstWidth, 1, m.dc, srcX, 0, srcWidth, 1, SRCCOPY);
    std::vector<int> columns;
    for (int x = 0; x < dstWidth; ++x) columns.push_back(GetRValue(s.at(x, 0)) + 256 * GetGValue(s.at(x, 0)) - srcX);
    return columns;
}

TEST(Blit, StretchPicksTheSourcePixelUnderEachDestinationCentre) {
    EXPECT_EQ(picked_columns(2, 5), (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_EQ(picked_columns(3, 2), (std::vector<int>{0, 2}));
    EXPECT_EQ(picked_columns(4, 2), (std::vector<int>{1, 3}));
    EXPECT_EQ(picked_columns(4, 1), (std::vector<int>{2}));
    EXPECT_EQ(picked_columns(5, 5), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(picked_columns(3, 9), (std::vector<int>{0, 0, 0, 1, 1, 1, 2, 2, 2}));
}

TEST(Blit, EveryZoomOfTheMapViewTakesEvenlySpreadSourcePixels) {
    // Window 240 wide: the source width at each zoom is 240 * 100 / zoom.
    struct Zoom {
        int percent, srcWidth;
    } zooms[] = {{250, 96}, {200, 120}, {150, 160}, {100, 240}, {50, 480}, {35, 685}, {25, 960}};
    for (const Zoom& z : zooms) {
        const std::vector<int> cols = picked_columns(z.srcWidth, 240, 7);
        // Each destination pixel is the source pixel under its centre.
        for (int i = 0; i < 240; ++i) {
            const double centre = (i + 0.5) * z.srcWidth / 240.0;
            EXPECT_LE(cols[i], centre + 1e-9) << z.percent << "% column " << i;
            EXPECT_GT(cols[i] + 1, centre - 1e-9) << z.percent << "% column " << i;
        }
        // Enlarging repeats every source pixel; reducing never repeats one.
        if (z.percent >= 100) {
            EXPECT_EQ(cols.front(), 0);
            EXPECT_EQ(cols.back(), z.srcWidth - 1);
            for (int i = 1; i < 240; ++i) EXPECT_LE(cols[i] - cols[i - 1], 1);
        } else {
            for (int i = 1; i < 240; ++i) EXPECT_GT(cols[i], cols[i - 1]);
        }
    }
    // 200 % doubles exactly, 50 % keeps every second pixel from the second,
    // 25 % every fourth from the third.
    const std::vector<int> twice = picked_columns(120, 240);
    for (int i = 0; i < 240; ++i) EXPECT_EQ(twice[i], i / 2);
    const std::vector<int> half = picked_columns(480, 240);
    for (int i = 0; i < 240; ++i) EXPECT_EQ(half[i], 2 * i + 1);
    const std::vector<int> quarter = picked_columns(960, 240);
    for (int i = 0; i < 240; ++i) EXPECT_EQ(quarter[i], 4 * i + 2);
}

TEST(Blit, TwoAxesStretchIndependently) {
    // The 250 % view of a 240 x 268 window: 96 x 107 source pixels.
    MemoryBitmap m(200, 200, coded, ramp);
    SurfaceDc s(240, 268);
    StretchBlt(s.dc, 0, 0, 240, 268, m.dc, 32, 48, 96, 107, SRCCOPY);
    for (int y = 0; y < 268; ++y) {
        const int sy = 48 + (2 * y + 1) * 107 / (2 * 268);
        for (int x = 0; x < 240; x += 7) {
            const int sx = 32 + (2 * x + 1) * 96 / (2 * 240);
            ASSERT_EQ(s.at(x, y), ramp(coded(sx, sy))) << x << "," << y;
        }
    }
}

TEST(Blit, ThirtyTwoBitSourcesAndDestinations) {
    MemoryBitmap src(10, 10, [](int x, int y) { return RGB(x * 20, y * 20, 7); });
    MemoryBitmap dst(20, 20, [](int, int) { return RGB(1, 1, 1); }, gdi_test::Rows::TopDown);
    EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, 20, 20, src.dc, 0, 0, 10, 10, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 19, 0), RGB(180, 0, 7));
    EXPECT_EQ(GetPixel(dst.dc, 3, 5), RGB(20, 40, 7));
    // A window surface is a source too (a screen capture).
    SurfaceDc s(10, 10);
    BitBlt(s.dc, 0, 0, 10, 10, src.dc, 0, 0, SRCCOPY);
    MemoryBitmap copy(10, 10, [](int, int) { return RGB(0, 0, 0); });
    BitBlt(copy.dc, 0, 0, 10, 10, s.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(copy.dc, 9, 9), RGB(180, 180, 7));
}

TEST(Blit, OverlappingCopyWithinOneSurfaceReadsTheOriginal) {
    SurfaceDc s(30, 1);
    MemoryBitmap m(30, 1, [](int x, int) { return RGB(x, 0, 0); });
    BitBlt(s.dc, 0, 0, 30, 1, m.dc, 0, 0, SRCCOPY);
    BitBlt(s.dc, 5, 0, 20, 1, s.dc, 0, 0, SRCCOPY);
    for (int x = 5; x < 25; ++x) EXPECT_EQ(GetRValue(s.at(x, 0)), x - 5);
    StretchBlt(s.dc, 0, 0, 30, 1, s.dc, 0, 0, 15, 1, SRCCOPY);
    EXPECT_EQ(GetRValue(s.at(29, 0)), 9);  // column 14 of the copy above
}

TEST(Blit, FillingRasterOperations) {
    SurfaceDc s(10, 10);
    HBRUSH brush = CreateSolidBrush(RGB(0, 128, 0));
    HGDIOBJ old = SelectObject(s.dc, brush);
    EXPECT_TRUE(BitBlt(s.dc, 0, 0, 5, 5, nullptr, 0, 0, PATCOPY));
    EXPECT_TRUE(BitBlt(s.dc, 5, 5, 5, 5, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(s.count(RGB(0, 128, 0)), 25);
    EXPECT_EQ(s.count(RGB(0, 0, 0)), 25);
    EXPECT_FALSE(BitBlt(s.dc, 0, 0, 5, 5, nullptr, 0, 0, SRCCOPY));
    SelectObject(s.dc, old);
    DeleteObject(brush);
}

TEST(Blit, HostileRectanglesNeitherEscapeNorStall) {
    MemoryBitmap m(64, 64, coded, ramp);
    SurfaceDc s(48, 48, POINT{8, 8}, RECT{8, 8, 40, 40});
    const int values[] = {INT_MIN, INT_MIN / 2, -100000, -1, 0, 1, 33, 100000, INT_MAX / 2, INT_MAX};
    for (int a : values)
        for (int b : values) {
            StretchBlt(s.dc, a, b, INT_MAX, INT_MAX, m.dc, b, a, INT_MAX, 3, SRCCOPY);
            StretchBlt(s.dc, a, a, 1000, 1000, m.dc, b, b, INT_MAX, INT_MAX, SRCCOPY);
            StretchBlt(s.dc, -5, -5, INT_MAX, 7, m.dc, a, b, 1, INT_MAX, SRCCOPY);
            BitBlt(s.dc, a, b, INT_MAX, INT_MAX, m.dc, a, b, SRCCOPY);
            BitBlt(s.dc, b, a, 40, 40, m.dc, INT_MAX, INT_MIN, SRCCOPY);
        }
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            if (x >= 8 && x < 40 && y >= 8 && y < 40) continue;
            ASSERT_EQ(s.at(x, y), kWhite) << x << "," << y;
        }
    EXPECT_LT(s.count(kWhite), 48 * 48);
}

}  // namespace

namespace {

// Every blit from a palettised bitmap, drawn once through the vector palette
// lookup and once through the plain one, must give the same pixels: widths
// that leave any tail, source windows cut by the bitmap's edge, every
// reduction and enlargement the program uses and odd ones, clip holes.
TEST(Blit, VectorAndPlainPaletteLookupsAgree) {
    if (!platform::gdi::testing::use_vector_palette(true)) {
        GTEST_SKIP() << "this processor has no vector palette lookup";
    }
    std::mt19937 random(20261208);
    std::vector<COLORREF> colors(256);
    for (COLORREF& c : colors) c = random() & 0xFFFFFF;
    const auto palette = [&](int k) { return colors[static_cast<std::size_t>(k)]; };
    const auto pattern = [](int x, int y) { return static_cast<BYTE>((x * 37 + y * 101 + (x * y) % 7) & 0xFF); };
    for (int round = 0; round < 300; ++round) {
        const int bw = 1 + static_cast<int>(random() % 700), bh = 1 + static_cast<int>(random() % 40);
        MemoryBitmap m(bw, bh, pattern, palette, round % 2 ? gdi_test::Rows::TopDown : gdi_test::Rows::BottomUp);
        const int dw = 1 + static_cast<int>(random() % 300), dh = 1 + static_cast<int>(random() % 30);
        int sw = 1 + static_cast<int>(random() % 1100), sh = 1 + static_cast<int>(random() % 60);
        if (round % 4 == 0) sw = dw;  // plain copies too
        const int sx = static_cast<int>(random() % (bw + 40)) - 20, sy = static_cast<int>(random() % (bh + 10)) - 5;
        const int hole = static_cast<int>(random() % 100);
        SurfaceDc vector(320, 40), plain(320, 40);
        for (SurfaceDc* s : {&vector, &plain}) {
            platform::gdi::testing::use_vector_palette(s == &vector);
            ExcludeClipRect(s->dc, hole, 3, hole + 17, 9);
            StretchBlt(s->dc, 5, 2, dw, dh, m.dc, sx, sy, sw, sh, SRCCOPY);
        }
        platform::gdi::testing::use_vector_palette(true);
        ASSERT_EQ(std::memcmp(vector.surface.pixels(), plain.surface.pixels(), 320 * 40 * 4), 0)
            << "round " << round << ": " << bw << "x" << bh << " source " << sx << "," << sy << " " << sw << "x" << sh
            << " onto " << dw << "x" << dh;
    }
}

}  // namespace
