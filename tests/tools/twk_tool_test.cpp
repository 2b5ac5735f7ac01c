#include "tests/support/decoded_image.h"
#include "tests/support/test_files.h"
#include "tools/png_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

using testing_support::as_map_image;
using testing_support::decode_image;
using testing_support::DecodedImage;
using testing_support::read_file;
using testing_support::run_command;
using testing_support::shell_quote;
using testing_support::TempDir;

std::string tool(const std::string& args) { return std::string(MAPFOLIO_TOOL_PATH) + " " + args; }
std::string corpus(const std::string& name) { return std::string(MAPFOLIO_TEST_DATA) + "/images/gif/" + name; }

int encode(const std::string& in, const std::string& out, const std::string& flags = "") {
    return run_command(tool("twk encode " + shell_quote(in) + " " + shell_quote(out) + flags) + " >/dev/null 2>&1").exitCode;
}

Rgb colour_of(const DecodedImage& d, int x, int y) {
    const RGBQUAD& q = d.colours[d.pixel(x, y)];
    return Rgb{q.rgbRed, q.rgbGreen, q.rgbBlue};
}

// The LZW minimum code size byte of a file the encoder wrote (no extension).
int min_code_size(const std::string& twk) {
    const std::size_t colours = std::size_t{2} << (static_cast<std::uint8_t>(twk[10]) & 7);
    return static_cast<std::uint8_t>(twk[13 + 3 * colours + 10]);
}

TEST(TwkTool, EncodeKeepsAPalettePngsIndicesAndColours) {
    TempDir dir;
    IndexedImage image;
    image.width = 7;
    image.height = 5;
    image.palette = {{200, 10, 10}, {10, 200, 10}, {1, 2, 250}};
    for (int i = 0; i < 35; ++i) image.pixels.push_back(static_cast<std::uint8_t>((i * i + i / 7) % 3));
    std::string error;
    ASSERT_TRUE(write_png(dir.file("in.png"), image, &error)) << error;
    ASSERT_EQ(encode(dir.file("in.png"), dir.file("out.twk")), 0);
    EXPECT_EQ(min_code_size(read_file(dir.file("out.twk"))), 2);  // three colours need no more
    DecodedImage d = decode_image(dir.file("out.twk"));
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(d.picture(), image.pixels);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(colour_of(d, i, 0), image.palette[image.at(i, 0)]);
}

RgbImage gradient(int width, int height) {
    RgbImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.pixels.push_back(Rgb{static_cast<std::uint8_t>(x * 255 / (width - 1)), static_cast<std::uint8_t>(y * 255 / (height - 1)),
                                       static_cast<std::uint8_t>((x + y) * 127 / (width + height - 2))});
        }
    }
    return image;
}

TEST(TwkTool, EncodeRoundTripsATrueColourPngOfUpTo256Colours) {
    TempDir dir;
    const RgbImage colours = gradient(16, 16);  // 256 distinct colours
    RgbImage image;
    image.width = 13;
    image.height = 20;
    for (int i = 0; i < 13 * 20; ++i) image.pixels.push_back(colours.pixels[static_cast<std::size_t>(i * 7 % 256)]);
    std::string error;
    ASSERT_TRUE(write_png(dir.file("in.png"), image, &error)) << error;
    ASSERT_EQ(encode(dir.file("in.png"), dir.file("out.twk")), 0);
    DecodedImage d = decode_image(dir.file("out.twk"));
    ASSERT_EQ(d.result, ImageOk);
    ASSERT_EQ(d.width, 13);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 13; ++x) ASSERT_EQ(colour_of(d, x, y), image.at(x, y)) << x << "," << y;
    }
}

TEST(TwkTool, EncodeReducesMoreThan256ColoursAndDithersOnRequest) {
    TempDir dir;
    RgbImage image = gradient(96, 96);
    std::string error;
    ASSERT_TRUE(write_png(dir.file("in.png"), image, &error)) << error;
    ASSERT_EQ(encode(dir.file("in.png"), dir.file("plain.twk")), 0);
    ASSERT_EQ(encode(dir.file("in.png"), dir.file("dither.twk"), " --dither"), 0);
    DecodedImage plain = decode_image(dir.file("plain.twk"));
    DecodedImage dither = decode_image(dir.file("dither.twk"));
    ASSERT_EQ(plain.result, ImageOk);
    ASSERT_EQ(dither.result, ImageOk);
    EXPECT_NE(plain.picture(), dither.picture());
    // Each pixel stays near its colour; dithering keeps 8 x 8 areas nearer
    // their true mean than plain rounding does.
    double pixelError = 0;
    double blockError[2] = {0, 0};
    for (int by = 0; by < 96; by += 8) {
        for (int bx = 0; bx < 96; bx += 8) {
            int sum[3][3] = {};
            for (int y = by; y < by + 8; ++y) {
                for (int x = bx; x < bx + 8; ++x) {
                    const Rgb want = image.at(x, y);
                    const Rgb got[2] = {colour_of(plain, x, y), colour_of(dither, x, y)};
                    pixelError += std::abs(got[0].r - want.r) + std::abs(got[0].g - want.g) + std::abs(got[0].b - want.b);
                    sum[0][0] += want.r, sum[0][1] += want.g, sum[0][2] += want.b;
                    for (int k = 0; k < 2; ++k) sum[k + 1][0] += got[k].r, sum[k + 1][1] += got[k].g, sum[k + 1][2] += got[k].b;
                }
            }
            for (int k = 0; k < 2; ++k) {
                for (int c = 0; c < 3; ++c) blockError[k] += std::abs(sum[k + 1][c] - sum[0][c]) / 64.0;
            }
        }
    }
    EXPECT_LT(pixelError / (96 * 96 * 3), 4.0);
    EXPECT_LT(blockError[1], blockError[0]);
}

TEST(TwkTool, EncodeTakesAGifsFirstImageAndWritesItPlain) {
    TempDir dir;
    const std::string gif = corpus("giflib/treescap-interlaced.gif");
    ASSERT_EQ(encode(gif, dir.file("out.twk")), 0);
    DecodedImage original = decode_image(dir.write("original.twk", as_map_image(read_file(gif))));
    DecodedImage encoded = decode_image(dir.file("out.twk"));
    ASSERT_EQ(original.result, ImageOk);
    ASSERT_EQ(encoded.result, ImageOk);
    EXPECT_EQ(encoded.picture(), original.picture());
    EXPECT_EQ(std::memcmp(encoded.colours.data(), original.colours.data(), sizeof original.colours), 0);
    auto info = run_command(tool("twk info " + shell_quote(dir.file("out.twk"))));
    EXPECT_EQ(info.out, "ImageOk\nwidth 40\nheight 40\ncolours 16\ninterlaced no\n");
    EXPECT_EQ(run_command(tool("twk info " + shell_quote(dir.file("original.twk")))).out,
              "ImageOk\nwidth 40\nheight 40\ncolours 16\ninterlaced yes\n");
}

TEST(TwkTool, EncodeRefusesWhatItCannotRead) {
    TempDir dir;
    EXPECT_EQ(encode(dir.write("text.png", "not a picture"), dir.file("out.twk")), 1);
    EXPECT_EQ(encode(dir.file("missing.png"), dir.file("out.twk")), 1);
    std::string gif = read_file(corpus("giflib/treescap.gif"));
    EXPECT_EQ(encode(dir.write("cut.gif", gif.substr(0, gif.size() - 40)), dir.file("out.twk")), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.twk")));
}

TEST(TwkTool, DecodeWritesTheDecodersBitmapAsABmpFile) {
    TempDir dir;
    const std::string twk = dir.write("wedge.twk", as_map_image(read_file(corpus("image-gif/sample_1.gif"))));
    ASSERT_EQ(run_command(tool("twk decode " + shell_quote(twk) + " " + shell_quote(dir.file("out.bmp")))).exitCode, 0);
    DecodedImage d = decode_image(twk);
    ASSERT_EQ(d.result, ImageOk);
    std::string bmp = read_file(dir.file("out.bmp"));
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bmp[at]) | static_cast<std::uint8_t>(bmp[at + 1]) << 8 |
                                          static_cast<std::uint8_t>(bmp[at + 2]) << 16 | static_cast<std::uint8_t>(bmp[at + 3]) << 24);
    };
    ASSERT_EQ(bmp.size(), 14u + 40 + 1024 + d.memory.size());
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(u32(2), bmp.size());
    EXPECT_EQ(u32(10), 14u + 40 + 1024);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), static_cast<std::uint32_t>(d.width));
    EXPECT_EQ(u32(22), static_cast<std::uint32_t>(d.height));  // positive: bottom-up
    EXPECT_EQ(u32(26), 1u | 8u << 16);                          // one plane, 8 bits
    for (std::size_t at = 30; at < 54; at += 4) EXPECT_EQ(u32(at), 0u);
    EXPECT_EQ(std::memcmp(bmp.data() + 54, d.colours.data(), 1024), 0);
    EXPECT_EQ(std::memcmp(bmp.data() + 54 + 1024, d.memory.data(), d.memory.size()), 0);
}

TEST(TwkTool, DecodeWritesAPalettePngOrNamesTheFailure) {
    TempDir dir;
    const std::string twk = dir.write("hat.twk", as_map_image(read_file(corpus("wuffs/hat.gif"))));
    ASSERT_EQ(run_command(tool("twk decode " + shell_quote(twk) + " " + shell_quote(dir.file("out.png")))).exitCode, 0);
    PngContents png;
    std::string error;
    ASSERT_TRUE(read_png(dir.file("out.png"), &png, &error)) << error;
    ASSERT_TRUE(png.hasPalette);
    DecodedImage d = decode_image(twk);
    EXPECT_EQ(png.indexed.pixels, d.picture());
    for (std::size_t i = 0; i < png.indexed.palette.size(); ++i) {
        EXPECT_EQ(png.indexed.palette[i], (Rgb{d.colours[i].rgbRed, d.colours[i].rgbGreen, d.colours[i].rgbBlue}));
    }

    const std::string gif = dir.write("hat.gif", read_file(corpus("wuffs/hat.gif")));
    auto result = run_command(tool("twk decode " + shell_quote(gif) + " " + shell_quote(dir.file("no.bmp"))));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "ImageBadSignature\n");
    result = run_command(tool("twk info " + shell_quote(dir.file("missing.twk"))));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "ImageOpenFailed\n");
}

}  // namespace
