// mapfolio-tool render on the test town: the picture it writes at several
// zooms, with borders and pans, and how it refuses what it cannot draw.
#include "tests/support/test_files.h"
#include "tools/png_io.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::run_command;
using testing_support::shell_quote;
using testing_support::TempDir;

const std::string kTown = std::string(MAPFOLIO_TEST_DATA) + "/maps/town/TOWN.DAB";

// The map's own colours (tests/data/maps/town/README.md).
constexpr Rgb kPaper{242, 239, 233};
constexpr Rgb kRedCorner{220, 30, 30};
constexpr Rgb kMagentaCorner{200, 40, 200};
constexpr Rgb kCross{0, 0, 0};
constexpr Rgb kMargin{230, 215, 180};  // the left border's corner pixel
constexpr Rgb kLeftBorder{40, 110, 60};
constexpr Rgb kTopBorder{110, 70, 40};

class RenderTool : public ::testing::Test {
protected:
    // Runs the tool and reads the picture back as 24-bit colour.
    int render(const std::string& dab, const std::string& flags, std::string* output = nullptr) {
        const std::string png = dir.file("out.png");
        auto result = run_command(std::string(MAPFOLIO_TOOL_PATH) + " render " + shell_quote(dab) + " " +
                                  shell_quote(png) + " " + flags + " 2>&1");
        if (output) *output = result.out;
        picture = RgbImage{};
        PngContents contents;
        std::string error;
        if (result.exitCode == 0 && read_png(png, &contents, &error)) {
            if (contents.hasPalette) {
                picture.width = contents.indexed.width;
                picture.height = contents.indexed.height;
                for (std::uint8_t i : contents.indexed.pixels) picture.pixels.push_back(contents.indexed.palette[i]);
            } else {
                picture = contents.rgb;
            }
        }
        return result.exitCode;
    }
    Rgb at(int x, int y) const { return picture.at(x, y); }

    TempDir dir;
    RgbImage picture;
};

TEST_F(RenderTool, DrawsTheMapAtEachZoomAroundItsMiddle) {
    ASSERT_EQ(render(kTown, ""), 0);
    ASSERT_EQ(picture.width, 240);
    ASSERT_EQ(picture.height, 268);
    // 100 %: the cross at (300, 225) lands in the middle of the window.
    EXPECT_EQ(at(120, 134), kCross);
    EXPECT_EQ(at(120, 126), kCross);

    ASSERT_EQ(render(kTown, "--zoom 250"), 0);
    EXPECT_EQ(at(120, 134), kCross);
    EXPECT_EQ(at(120 + 13, 134), kCross);  // the bar is 21 pixels wide, now 52
    EXPECT_NE(at(120 + 27, 134), kCross);

    // 25 %: 150 x 112 at (45, 78), the borders around it.
    ASSERT_EQ(render(kTown, "--zoom 25"), 0);
    EXPECT_EQ(at(46, 79), kRedCorner);
    EXPECT_EQ(at(193, 188), kMagentaCorner);
    EXPECT_EQ(at(44, 100), kMargin);
    EXPECT_EQ(at(195, 100), kMargin);
    EXPECT_EQ(at(1, 134), kLeftBorder);
    EXPECT_EQ(at(120, 1), kTopBorder);
    EXPECT_EQ(at(120, 264), (Rgb{120, 30, 30}));
    EXPECT_EQ(at(239, 134), kMargin);  // the right border's file is missing
}

TEST_F(RenderTool, CentresAndPansLikeTheProgram) {
    ASSERT_EQ(render(kTown, "--center 0,0"), 0);
    EXPECT_EQ(at(0, 0), kCross);  // the image's one-pixel frame
    EXPECT_EQ(at(5, 5), kRedCorner);
    ASSERT_EQ(render(kTown, "--center 600,450 --size 300x200"), 0);
    ASSERT_EQ(picture.width, 300);
    ASSERT_EQ(picture.height, 200);
    EXPECT_EQ(at(295, 195), kMagentaCorner);

    // Two drag steps of 10 right at 100 %: the map moves 40 pixels, and the
    // overview frame of the view before the last step is in the corner.
    ASSERT_EQ(render(kTown, "--pan 10,0 --pan 10,0"), 0);
    EXPECT_EQ(at(120 - 40, 134), kCross);
    EXPECT_EQ(at(0, 0), kCross);
    EXPECT_EQ(at(42, 31), kCross);  // 43 x 32: the image is 600 x 450
    EXPECT_NE(at(43, 31), kCross);
    EXPECT_NE(at(42, 32), kCross);
}

TEST_F(RenderTool, RefusesWhatItCannotDraw) {
    std::string out;
    EXPECT_EQ(render(dir.file("NONE.DAB"), "", &out), 1);
    EXPECT_NE(out.find("Failed to open the database"), std::string::npos) << out;

    const std::string dab = dir.write("LOST.DAB", "<Mapfolio Version>\r\n1\r\n<Name>\r\nLost,b,c\r\n<Images>\r\nlost.twk\r\n");
    EXPECT_EQ(render(dab, "", &out), 1);
    EXPECT_NE(out.find("Failed to open " + dir.file("lost.twk")), std::string::npos) << out;

    for (const char* flags : {"--zoom 75", "--size 0x10", "--size 240", "--center 1", "--pan a,b", "--bogus"}) {
        EXPECT_EQ(render(kTown, flags, &out), 2) << flags;
        EXPECT_NE(out.find("usage:"), std::string::npos);
    }
}

}  // namespace
