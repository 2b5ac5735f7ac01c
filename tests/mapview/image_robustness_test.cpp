// Hostile files: every prefix of a few files, every single-byte change of
// them, and fuzzer-made GIFs. Each must give a result code, hand out a
// bitmap only on ImageOk, leave the padding of its rows untouched and keep
// nothing open; the sanitizer build watches every read and write.
#include "platform/gdi/object_table.h"
#include "tests/support/decoded_image.h"
#include "tests/support/test_files.h"
#include "tools/twk_encoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

using testing_support::as_map_image;
using testing_support::DecodedImage;

class HostileFiles : public ::testing::Test {
protected:
    // Decodes bytes and checks what every decode must satisfy; returns the
    // result.
    ImageResult check(const std::string& bytes, const std::string& label) {
        const int files = platform::open_file_count();
        const int bitmaps = platform::gdi::live_object_count(platform::gdi::ObjectKind::Bitmap);
        const DecodedImage d = testing_support::decode_bytes(bytes);
        EXPECT_EQ(platform::open_file_count(), files) << label;
        EXPECT_EQ(platform::gdi::live_object_count(platform::gdi::ObjectKind::Bitmap), bitmaps) << label;
        EXPECT_GE(d.result, ImageOk) << label;
        EXPECT_LE(d.result, ImageNoMemory) << label;
        if (d.result == ImageOk) {
            EXPECT_GT(d.width, 0) << label;
            EXPECT_GT(d.height, 0) << label;
            for (int y = 0; y < d.height; ++y) {
                for (int x = d.width; x < d.stride; ++x) {
                    if (d.pixel(x, y) != 0) {
                        ADD_FAILURE() << label << ": padding written in row " << y;
                        return d.result;
                    }
                }
            }
        }
        return d.result;
    }

    static std::string data(const std::string& name) {
        return testing_support::read_file(std::string(MAPFOLIO_TEST_DATA) + "/images/" + name);
    }
    // A few small files with different traits: interlaced, an extension,
    // two colours, and a full code table kept without a clear code.
    static std::vector<std::pair<std::string, std::string>> samples() {
        std::vector<std::pair<std::string, std::string>> out = {
            {"treescap-interlaced", as_map_image(data("gif/giflib/treescap-interlaced.gif"))},
            {"pjw-thumbnail", as_map_image(data("gif/wuffs/pjw-thumbnail.gif"))},
            {"sample_1", as_map_image(data("gif/image-gif/sample_1.gif"))},
        };
        IndexedImage noise;
        noise.width = 37;
        noise.height = 41;
        noise.palette.resize(8);
        std::mt19937 random(3);
        for (int i = 0; i < 37 * 41; ++i) noise.pixels.push_back(static_cast<std::uint8_t>(random() % 8));
        TwkEncodeOptions options;
        options.clearWhenFull = false;
        options.blockSize = 50;
        out.emplace_back("noise", *encode_twk(noise, options));
        return out;
    }
};

TEST_F(HostileFiles, EveryPrefixGivesAResult) {
    for (const auto& [name, bytes] : samples()) {
        ASSERT_EQ(check(bytes, name), ImageOk);
        for (std::size_t n = 0; n < bytes.size(); ++n) check(bytes.substr(0, n), name + " cut at " + std::to_string(n));
    }
}

TEST_F(HostileFiles, EverySingleByteChangeGivesAResult) {
    for (const auto& [name, bytes] : samples()) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<std::uint8_t>(bytes[i]);
            for (std::uint8_t v : {std::uint8_t{0}, std::uint8_t{0xFF}, static_cast<std::uint8_t>(b ^ 0x01),
                                   static_cast<std::uint8_t>(b ^ 0x80), static_cast<std::uint8_t>(b + 1)}) {
                std::string changed = bytes;
                changed[i] = static_cast<char>(v);
                check(changed, name + " byte " + std::to_string(i) + " = " + std::to_string(v));
            }
        }
    }
}

TEST_F(HostileFiles, FuzzerMadeGifs) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(MAPFOLIO_TEST_DATA) + "/images/nocrash")) {
        check(as_map_image(testing_support::read_file(entry.path().string())), entry.path().filename().string());
        ++files;
    }
    EXPECT_GT(files, 20);
}

}  // namespace
