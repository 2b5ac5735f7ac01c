#include "platform/gdi/bitmap.h"
#include "platform/system/memory.h"
#include "tests/support/decoded_image.h"
#include "tests/support/test_files.h"
#include "tests/support/twk_builder.h"
#include "tools/twk_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using testing_support::code_stream;
using testing_support::decode_bytes;
using testing_support::DecodedImage;
using testing_support::TempDir;
using testing_support::TwkBuilder;

int live_bitmaps() { return platform::gdi::live_object_count(platform::gdi::ObjectKind::Bitmap); }

// Decodes bytes and checks that a failure leaves nothing open or allocated.
ImageResult result_of(const std::string& bytes) {
    const int files = platform::open_file_count();
    const int bitmaps = live_bitmaps();
    ImageResult result = decode_bytes(bytes).result;
    EXPECT_EQ(platform::open_file_count(), files);
    EXPECT_EQ(live_bitmaps(), bitmaps);
    return result;
}

// A 2 x 2 picture of colours 1, 2 / 3, 0 with minimum code size 2.
TwkBuilder two_by_two() {
    TwkBuilder b;
    b.width = 2;
    b.height = 2;
    b.screenFlags = 0x81;  // four colours
    b.data = code_stream(2, {4, 1, 2, 3, 0, 5});
    return b;
}

std::vector<std::uint8_t> picture_of(const DecodedImage& d) { return d.picture(); }

TEST(ImageHeader, SignatureAndOpenFailures) {
    EXPECT_EQ(result_of(two_by_two().bytes()), ImageOk);
    EXPECT_EQ(result_of("TWK89"), ImageBadSignature);  // five bytes
    EXPECT_EQ(result_of(""), ImageBadSignature);
    TwkBuilder gif = two_by_two();
    gif.signature = "GIF89a";
    EXPECT_EQ(result_of(gif.bytes()), ImageBadSignature);
    TwkBuilder version = two_by_two();
    version.signature = std::string("TWK\xff\x00z", 6);  // the version is not examined
    EXPECT_EQ(result_of(version.bytes()), ImageOk);

    TempDir dir;
    std::u16string missing = testing_support::to_u16(dir.file("missing.twk"));
    std::u16string directory = testing_support::to_u16(dir.path());
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    EXPECT_EQ(DecodeMapImage(missing.c_str(), &bitmap), ImageOpenFailed);
    EXPECT_EQ(DecodeMapImage(directory.c_str(), &bitmap), ImageOpenFailed);
    EXPECT_EQ(bitmap, reinterpret_cast<HBITMAP>(1));  // written only on success
}

TEST(ImageHeader, LayoutErrorsAreUnsupported) {
    const std::string good = two_by_two().bytes();
    for (std::size_t cut : {6u, 12u, 13u, 20u, 24u, 28u, 29u}) {
        EXPECT_EQ(result_of(good.substr(0, cut)), ImageUnsupported) << "cut at " << cut;
    }
    TwkBuilder noTable = two_by_two();
    noTable.screenFlags = 0x01;
    EXPECT_EQ(result_of(noTable.bytes()), ImageUnsupported);
    TwkBuilder localTable = two_by_two();
    localTable.imageFlags = 0x80;
    EXPECT_EQ(result_of(localTable.bytes()), ImageUnsupported);
    TwkBuilder noSeparator = two_by_two();
    noSeparator.beforeImage = ";";
    EXPECT_EQ(result_of(noSeparator.bytes()), ImageUnsupported);
    for (int size : {1, 12}) {
        TwkBuilder b = two_by_two();
        b.minCodeSize = size;
        EXPECT_EQ(result_of(b.bytes()), ImageUnsupported) << "minimum code size " << size;
    }
    for (auto [w, h] : {std::pair{0, 2}, std::pair{2, 0}}) {
        TwkBuilder b = two_by_two();
        b.width = w;
        b.height = h;
        EXPECT_EQ(result_of(b.bytes()), ImageUnsupported) << w << " x " << h;
    }
}

TEST(ImageHeader, OneEightByteExtensionIsSkippedAndNothingElse) {
    const std::string control("\x21\xF9\x04\x01\x02\x03\x04\x00", 8);
    TwkBuilder one = two_by_two();
    one.beforeImage = control;
    EXPECT_EQ(result_of(one.bytes()), ImageOk);
    TwkBuilder junk = two_by_two();
    junk.beforeImage = "!whatevr";  // its bytes are not examined
    EXPECT_EQ(result_of(junk.bytes()), ImageOk);
    TwkBuilder two = two_by_two();
    two.beforeImage = control + control;
    EXPECT_EQ(result_of(two.bytes()), ImageUnsupported);
    TwkBuilder longer = two_by_two();
    longer.beforeImage = std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    EXPECT_EQ(result_of(longer.bytes()), ImageUnsupported);
}

TEST(ImageHeader, ScreenSizeAndImagePositionPlayNoPart) {
    TwkBuilder b = two_by_two();
    DecodedImage plain = decode_bytes(b.bytes());
    b.screenWidth = 640;
    b.screenHeight = 1;
    b.left = 300;
    b.top = 9;
    DecodedImage moved = decode_bytes(b.bytes());
    ASSERT_EQ(moved.result, ImageOk);
    EXPECT_EQ(moved.width, 2);
    EXPECT_EQ(moved.height, 2);
    EXPECT_EQ(moved.memory, plain.memory);
}

TEST(ImageBitmap, RowsAreBottomUpPaddedAndColoursConverted) {
    TwkBuilder b;
    b.width = 5;
    b.height = 2;
    b.screenFlags = 0x80;  // N = 0: two colours
    b.colourTable = {10, 20, 30, 200, 100, 50};
    b.data = code_stream(2, {4, 1, 0, 1, 1, 0, 0, 0, 1, 0, 1, 5});
    DecodedImage d = decode_bytes(b.bytes());
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(d.stride, 8);
    // The top row is the last in memory; padding bytes stay zero.
    EXPECT_EQ(d.memory, (std::vector<std::uint8_t>{0, 0, 1, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(d.colours[0].rgbRed, 10);
    EXPECT_EQ(d.colours[0].rgbGreen, 20);
    EXPECT_EQ(d.colours[0].rgbBlue, 30);
    EXPECT_EQ(d.colours[1].rgbRed, 200);
    EXPECT_EQ(d.colours[1].rgbBlue, 50);
    for (int i = 2; i < 256; ++i) {
        EXPECT_EQ(d.colours[i].rgbRed | d.colours[i].rgbGreen | d.colours[i].rgbBlue | d.colours[i].rgbReserved, 0) << i;
    }

    TwkBuilder one;
    one.width = 1;
    one.height = 3;
    one.data = code_stream(2, {4, 1, 1, 1, 5});
    DecodedImage narrow = decode_bytes(one.bytes());
    ASSERT_EQ(narrow.result, ImageOk);
    EXPECT_EQ(narrow.stride, 4);
    EXPECT_EQ(narrow.memory, (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
}

TEST(ImageBitmap, ALargeBitmapStartsZeroed) {
    // Large enough to come from the system rather than the heap; a stream
    // of a few pixels leaves the rest of it as it was made.
    TwkBuilder b;
    b.width = 2101;
    b.height = 2003;
    b.data = code_stream(2, {4, 3, 2, 5});
    DecodedImage d = decode_bytes(b.bytes());
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(d.pixel(0, 0), 3);
    EXPECT_EQ(d.pixel(1, 0), 2);
    d.memory[static_cast<std::size_t>(d.height - 1) * d.stride] = 0;
    d.memory[static_cast<std::size_t>(d.height - 1) * d.stride + 1] = 0;
    EXPECT_EQ(std::count(d.memory.begin(), d.memory.end(), 0), static_cast<std::ptrdiff_t>(d.memory.size()));
}

TEST(ImageCodes, StringsGrowAndRepeatThemselves) {
    // 6 = "1 2"; 8 arrives as the next free code: "1 2" and its own first
    // pixel. Codes 8 and up are four bits wide once entry 7 is defined.
    TwkBuilder b;
    b.width = 5;
    b.height = 2;
    b.screenFlags = 0x81;
    b.data = code_stream(2, {4, 1, 2, 6, 8, 0, 3, 3, 5});
    DecodedImage d = decode_bytes(b.bytes());
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(picture_of(d), (std::vector<std::uint8_t>{1, 2, 1, 2, 1, 2, 1, 0, 3, 3}));
}

TEST(ImageCodes, ClearCodeStartsAfreshAndAFirstCodeNeedNotBeClear) {
    TwkBuilder b;
    b.width = 4;
    b.height = 2;
    b.screenFlags = 0x81;
    // After the clear code: three bits again, 3 is one pixel defining
    // nothing, and 6 is then the next free code: "3 3".
    b.data = code_stream(2, {1, 2, 6, 4, 3, 6, 0, 5});
    DecodedImage d = decode_bytes(b.bytes());
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(picture_of(d), (std::vector<std::uint8_t>{1, 2, 1, 2, 3, 3, 3, 0}));
}

TEST(ImageCodes, CodesWithoutAStringAreRefused) {
    TwkBuilder b = two_by_two();
    b.data = code_stream(2, {4, 6, 5});  // nothing is defined after a clear code
    EXPECT_EQ(result_of(b.bytes()), ImageUnsupported);
    b.data = code_stream(2, {7, 5});  // nor at the start
    EXPECT_EQ(result_of(b.bytes()), ImageUnsupported);
    b.data = code_stream(2, {4, 1, 7, 5});  // beyond the next free code, 6 by then
    EXPECT_EQ(result_of(b.bytes()), ImageUnsupported);
}

TEST(ImageCodes, WideMinimumCodeSizesTakeTheLiteralsLowByte) {
    TwkBuilder b;
    b.width = 3;
    b.height = 1;
    b.screenFlags = 0x87;
    b.minCodeSize = 11;  // 12-bit codes from the start
    b.data = code_stream(11, {2048, 0x1FF, 0x005, 2050, 2049});
    DecodedImage d = decode_bytes(b.bytes());
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(picture_of(d), (std::vector<std::uint8_t>{0xFF, 0x05, 0xFF}));
}

TEST(ImageCodes, PixelCountsThatDoNotFit) {
    TwkBuilder more = two_by_two();
    more.data = code_stream(2, {4, 1, 2, 3, 0, 3, 3, 1, 5});  // extra pixels are dropped
    DecodedImage d = decode_bytes(more.bytes());
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(d.memory, (std::vector<std::uint8_t>{3, 0, 0, 0, 1, 2, 0, 0}));

    TwkBuilder fewer = two_by_two();
    fewer.data = code_stream(2, {4, 1, 2, 5});  // the rest stays colour 0
    d = decode_bytes(fewer.bytes());
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(picture_of(d), (std::vector<std::uint8_t>{1, 2, 0, 0}));

    TwkBuilder noEnd = two_by_two();
    noEnd.data = code_stream(2, {4, 1, 2, 3});  // the zero-length block ends it
    d = decode_bytes(noEnd.bytes());
    ASSERT_EQ(d.result, ImageOk);
    EXPECT_EQ(picture_of(d), (std::vector<std::uint8_t>{1, 2, 3, 0}));

    // Wide rows, where strings are copied a chunk at a time.
    for (bool endCode : {true, false}) {
        TwkBuilder wide;
        wide.width = 37;
        wide.height = 2;
        wide.screenFlags = 0x81;
        wide.data = endCode ? code_stream(2, {4, 1, 2, 6, 3, 5}) : code_stream(2, {4, 1, 2, 6, 3});
        d = decode_bytes(wide.bytes());
        ASSERT_EQ(d.result, ImageOk);
        std::vector<std::uint8_t> want(74, 0);
        want[0] = 1, want[1] = 2, want[2] = 1, want[3] = 2, want[4] = 3;
        EXPECT_EQ(picture_of(d), want) << "end code: " << endCode;
    }
}

TEST(ImageCodes, AFileCutBeforeTheEndCodeIsRefusedAfterItIsNot) {
    TwkBuilder cut = two_by_two();
    cut.data = code_stream(2, {4, 1, 2, 3});
    cut.terminator = false;
    cut.after = "";
    EXPECT_EQ(result_of(cut.bytes()), ImageUnsupported);
    std::string halfBlock = two_by_two().bytes();
    halfBlock.resize(halfBlock.size() - 4);  // the length byte promises more
    EXPECT_EQ(result_of(halfBlock), ImageUnsupported);

    // The end code is the last thing read: no zero-length block or trailer
    // need follow, and whatever does follow is not looked at.
    TwkBuilder ended = two_by_two();
    ended.terminator = false;
    ended.after = "";
    EXPECT_EQ(result_of(ended.bytes()), ImageOk);
    TwkBuilder trailing = two_by_two();
    trailing.terminator = false;
    trailing.after = "\x05garbage, and then a second image" + two_by_two().bytes();
    EXPECT_EQ(result_of(trailing.bytes()), ImageOk);
}

TEST(ImageCodes, FullTableWithoutClearKeepsDecoding) {
    // Noise fills the table quickly; an encoder that never clears then
    // codes on with 12-bit codes and no new entries.
    IndexedImage image;
    image.width = 203;
    image.height = 101;
    image.palette.resize(16);
    std::mt19937 random(7);
    for (int i = 0; i < image.width * image.height; ++i) image.pixels.push_back(static_cast<std::uint8_t>(random() % 16));
    for (bool clear : {true, false}) {
        TwkEncodeOptions options;
        options.clearWhenFull = clear;
        DecodedImage d = decode_bytes(*encode_twk(image, options));
        ASSERT_EQ(d.result, ImageOk);
        EXPECT_EQ(d.picture(), image.pixels) << "clear when full: " << clear;
    }
}

TEST(ImageInterlace, PassesGoToTheirRows) {
    for (int height = 1; height <= 19; ++height) {
        IndexedImage image;
        image.width = 3;
        image.height = height;
        image.palette.resize(32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < 3; ++x) image.pixels.push_back(static_cast<std::uint8_t>(y + x % 2));
        }
        TwkEncodeOptions options;
        options.interlaced = true;
        DecodedImage d = decode_bytes(*encode_twk(image, options));
        ASSERT_EQ(d.result, ImageOk);
        EXPECT_EQ(d.picture(), image.pixels) << "height " << height;
    }
}

TEST(ImageMemory, BitmapsTheMachineMustNotHoldAreRefused) {
    TwkBuilder huge = two_by_two();
    huge.width = 65535;
    huge.height = 65535;  // 4 GiB of pixels from a 40-byte file
    EXPECT_EQ(result_of(huge.bytes()), ImageNoMemory);
    platform::faults::fail_allocations(platform::AllocKind::Bitmap, 0, 1);
    EXPECT_EQ(result_of(two_by_two().bytes()), ImageNoMemory);
    platform::faults::clear_allocation_faults();
    EXPECT_EQ(result_of(two_by_two().bytes()), ImageOk);
}

TEST(ImageBlockReader, DeliversBlocksThenFillerAndReadsNoFurther) {
    TempDir dir;
    std::u16string path = testing_support::to_u16(dir.write("blocks", std::string("\x03" "abc" "\x01" "d" "\x00" "junk", 10)));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ImageBlockReader reader;
    ASSERT_TRUE(reader.Start(file));
    std::string got;
    BYTE b = 0;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(reader.NextByte(file, &b));
        got.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(got, "abcd");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(reader.NextByte(file, &b));  // filler
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 7u);       // the zero-length block and no more
    CloseHandle(file);

    path = testing_support::to_u16(dir.write("short", std::string("\x02" "ab" "\x05" "cd", 6)));
    file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(reader.Start(file));
    EXPECT_TRUE(reader.NextByte(file, &b));
    EXPECT_TRUE(reader.NextByte(file, &b));
    EXPECT_FALSE(reader.NextByte(file, &b));  // the second block comes back short
    CloseHandle(file);
}

}  // namespace
