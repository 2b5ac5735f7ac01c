// The desktop icons: resampling by area, and the files the build draws from
// the program's icon resource.
#include "dist/icons/icon_scale.h"
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tools/png_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

ArgbImage program_icon() {
    RegisterProgramIcon();
    const platform::IconImage* icon =
        platform::icon_image(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM)));
    if (icon == nullptr) return {};
    return ArgbImage{icon->width, icon->height, icon->argb};
}

TEST(IconResample, WholeNumberEnlargementsKeepEveryPixelExactly) {
    // Half-transparent pixels too: their colour and alpha come back as
    // they were, not rounded through linear light.
    const ArgbImage small{3, 2, {0xFF102030u, 0x80FF8000u, 0x00000000u, 0x01FEFEFEu, 0xFFFFFFFFu, 0x7F000001u}};
    const ArgbImage large = ResampleByArea(small, 9, 6);
    ASSERT_EQ(large.pixels.size(), 54u);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(large.at(x, y), small.at(x / 3, y / 3)) << x << "," << y;

    const ArgbImage icon = program_icon();
    ASSERT_EQ(icon.width, 32);
    for (int side : {32, 64, 256}) {
        const ArgbImage scaled = ResampleByArea(icon, side, side);
        const int k = side / 32;
        int differing = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) differing += scaled.at(x, y) != icon.at(x / k, y / k);
        EXPECT_EQ(differing, 0) << side;
    }
}

TEST(IconResample, ReductionsAverageInLinearLightWeightedByAlpha) {
    // Black and white, half each: half the light, which sRGB writes as 188,
    // not the 128 a plain average of the numbers gives.
    EXPECT_EQ(ResampleByArea({2, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u}}, 1, 1).pixels,
              std::vector<std::uint32_t>{0xFFBCBCBCu});
    // A red pixel among transparent ones stays red, a quarter covered: the
    // black behind transparent pixels does not darken it.
    EXPECT_EQ(ResampleByArea({2, 2, {0xFFFF0000u, 0x00000000u, 0x00000000u, 0x00000000u}}, 1, 1).pixels,
              std::vector<std::uint32_t>{0x40FF0000u});
    // Nothing but transparency stays transparent.
    EXPECT_EQ(ResampleByArea({2, 2, {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu}}, 1, 1).pixels,
              std::vector<std::uint32_t>{0u});
    // 32 to 16 pixels: each new pixel is its 2 x 2 block.
    const ArgbImage icon = program_icon();
    const ArgbImage half = ResampleByArea(icon, 16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const ArgbImage block{2, 2, {icon.at(2 * x, 2 * y), icon.at(2 * x + 1, 2 * y), icon.at(2 * x, 2 * y + 1),
                                         icon.at(2 * x + 1, 2 * y + 1)}};
            EXPECT_EQ(half.at(x, y), ResampleByArea(block, 1, 1).at(0, 0)) << x << "," << y;
        }
}

TEST(IconResample, BetweenWholeNumbersOnlyPixelsAcrossAnOldBoundaryBlend) {
    // Two pixels to three: the middle one is half of each.
    const ArgbImage wide = ResampleByArea({2, 1, {0xFFFF0000u, 0xFF0000FFu}}, 3, 1);
    EXPECT_EQ(wide.pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFFBC00BCu, 0xFF0000FFu}));

    // 32 to 48 pixels keeps how much of the square the icon covers.
    const ArgbImage icon = program_icon();
    const ArgbImage scaled = ResampleByArea(icon, 48, 48);
    double before = 0;
    double after = 0;
    for (std::uint32_t p : icon.pixels) before += (p >> 24) / 255.0 / (32.0 * 32.0);
    for (std::uint32_t p : scaled.pixels) after += (p >> 24) / 255.0 / (48.0 * 48.0);
    EXPECT_NEAR(after, before, 0.002);
    // Every third new pixel in each direction lies inside one old pixel.
    for (int y = 0; y < 48; y += 3)
        for (int x = 0; x < 48; x += 3) EXPECT_EQ(scaled.at(x, y), icon.at(x * 2 / 3, y * 2 / 3)) << x << "," << y;
}

TEST(ProgramIcons, TheBuildDrawsEachSizeFromTheResource) {
    const ArgbImage icon = program_icon();
    for (int side : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(side);
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        PngContents png;
        std::string error;
        ASSERT_TRUE(read_png(std::string(MAPFOLIO_ICON_DIR) + "/" + size + "/apps/mapfolio.png", &png, &error))
            << error;
        ASSERT_FALSE(png.hasPalette);
        ASSERT_EQ(png.rgb.width, side);
        ASSERT_EQ(png.rgb.height, side);
        // The reader lays the icon over white; at whole-number sizes every
        // pixel is wholly transparent or wholly opaque.
        if (side % 32 != 0) continue;
        const int k = side / 32;
        int differing = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const std::uint32_t p = icon.at(x / k, y / k);
                const Rgb expected = (p >> 24) == 0 ? Rgb{255, 255, 255}
                                                    : Rgb{static_cast<std::uint8_t>(p >> 16),
                                                          static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
                differing += !(png.rgb.at(x, y) == expected);
            }
        EXPECT_EQ(differing, 0);
    }
}

// The box of the pixels that are not background, as {left, top, right, bottom}.
template <typename IsBackground>
std::array<int, 4> picture_box(int width, int height, IsBackground background) {
    std::array<int, 4> box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (background(x, y)) continue;
            box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
        }
    return box;
}

// The web app's maskable icon: the picture whole and crisp within the safe
// zone, the middle circle of 80 % of the width that every mask keeps, on a
// background that fills the square.
TEST(ProgramIcons, TheMaskableIconKeepsThePictureInTheSafeZone) {
    const std::string file = ::testing::TempDir() + "maskable.png";
    const std::string command = std::string(MAPFOLIO_RENDER_ICONS) + " --png " + file + " 512 --maskable 002878";
    ASSERT_EQ(std::system(command.c_str()), 0);
    PngContents png;
    std::string error;
    ASSERT_TRUE(read_png(file, &png, &error)) << error;
    ASSERT_EQ(png.rgb.width, 512);
    ASSERT_EQ(png.rgb.height, 512);
    const Rgb navy{0, 40, 120};
    const ArgbImage icon = program_icon();
    const auto [left, top, right, bottom] = picture_box(32, 32, [&](int x, int y) { return icon.at(x, y) >> 24 == 0; });
    const auto [x0, y0, x1, y1] = picture_box(512, 512, [&](int x, int y) { return png.rgb.at(x, y) == navy; });
    const int k = (x1 - x0) / (right - left);
    ASSERT_GE(k, 1);
    EXPECT_EQ(x1 - x0, k * (right - left));
    EXPECT_EQ(y1 - y0, k * (bottom - top));
    // Centred, within the safe zone, and as large as whole steps allow.
    EXPECT_LE(std::abs(x0 - (512 - x1)), 1);
    EXPECT_LE(std::abs(y0 - (512 - y1)), 1);
    EXPECT_LE(std::hypot(x1 - x0, y1 - y0), 0.8 * 512);
    EXPECT_GT(std::hypot((k + 1) * (right - left), (k + 1) * (bottom - top)), 0.8 * 512);
    int differing = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = icon.at(left + (x - x0) / k, top + (y - y0) / k);
            const Rgb colour{static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                             static_cast<std::uint8_t>(p)};
            const Rgb expected = (p >> 24) == 0 ? navy : colour;
            differing += !(png.rgb.at(x, y) == expected);
        }
    EXPECT_EQ(differing, 0);
}

}  // namespace
