// Our decoder against giflib on the same bytes: every file giflib decodes
// must come out with the same size, colours and pixels, row for row, with
// the padding of each row zero.
#include "tests/support/decoded_image.h"
#include "tests/support/test_files.h"
#include "tools/sample_images.h"
#include "tools/twk_encoder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <set>

namespace {

using testing_support::as_map_image;
using testing_support::decode_bytes;
using testing_support::DecodedImage;

struct GiflibPicture {
    bool ok = false;
    int width = 0;
    int height = 0;
    std::vector<Rgb> colours;
    std::vector<std::uint8_t> pixels;
};

GiflibPicture giflib_decode(const std::string& bytes) {
    struct Source {
        const std::string* bytes;
        std::size_t at;
    } source{&bytes, 0};
    InputFunc read = [](GifFileType* gif, GifByteType* out, int n) -> int {
        auto* s = static_cast<Source*>(gif->UserData);
        const std::size_t count = std::min(static_cast<std::size_t>(n), s->bytes->size() - s->at);
        std::memcpy(out, s->bytes->data() + s->at, count);
        s->at += count;
        return static_cast<int>(count);
    };
    GiflibPicture out;
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    if (gif == nullptr) return out;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount >= 1 && gif->SColorMap != nullptr) {
        const SavedImage& image = gif->SavedImages[0];
        out.ok = true;
        out.width = image.ImageDesc.Width;
        out.height = image.ImageDesc.Height;
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
            const GifColorType& c = gif->SColorMap->Colors[i];
            out.colours.push_back(Rgb{c.Red, c.Green, c.Blue});
        }
        out.pixels.assign(image.RasterBits, image.RasterBits + static_cast<std::size_t>(out.width) * out.height);
    }
    DGifCloseFile(gif, &error);
    return out;
}

// Compares the two decoders on a GIF; false when giflib does not decode it.
bool compare_with_giflib(const std::string& gif, const std::string& label, std::set<std::string>* compared = nullptr) {
    const GiflibPicture want = giflib_decode(gif);
    if (!want.ok) return false;
    const DecodedImage got = decode_bytes(as_map_image(gif));
    EXPECT_EQ(got.result, ImageOk) << label;
    if (got.result != ImageOk) return true;
    EXPECT_EQ(got.width, want.width) << label;
    EXPECT_EQ(got.height, want.height) << label;
    if (got.width != want.width || got.height != want.height) return true;
    for (std::size_t i = 0; i < 256; ++i) {
        const Rgb c = i < want.colours.size() ? want.colours[i] : Rgb{};
        const RGBQUAD& q = got.colours[i];
        EXPECT_TRUE(q.rgbRed == c.r && q.rgbGreen == c.g && q.rgbBlue == c.b && q.rgbReserved == 0) << label << " colour " << i;
    }
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.stride; ++x) {
            const std::uint8_t expected = x < got.width ? want.pixels[static_cast<std::size_t>(y) * got.width + x] : 0;
            if (got.pixel(x, y) != expected) {
                ADD_FAILURE() << label << ": pixel " << x << "," << y << " is " << int{got.pixel(x, y)} << ", giflib "
                              << int{expected};
                return true;
            }
        }
    }
    if (compared) compared->insert(gif);
    return true;
}

TEST(ImageDifferential, PublicGifFiles) {
    const std::filesystem::path dir = std::filesystem::path(MAPFOLIO_TEST_DATA) / "images" / "gif";
    std::set<std::string> compared;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".gif") continue;
        const std::string bytes = testing_support::read_file(entry.path().string());
        compare_with_giflib(bytes, entry.path().filename().string(), &compared);
    }
    EXPECT_EQ(compared.size(), 29u);
}

TEST(ImageDifferential, FilesGiflibRefusesForTooFewPixelsStillDecode) {
    // Both end their code stream before the picture is full: the rest of it
    // stays colour 0.
    const std::filesystem::path dir = std::filesystem::path(MAPFOLIO_TEST_DATA) / "images" / "gif" / "wuffs";
    for (const char* name : {"pixel-data-none.gif", "pixel-data-not-enough.gif"}) {
        DecodedImage d = decode_bytes(as_map_image(testing_support::read_file((dir / name).string())));
        ASSERT_EQ(d.result, ImageOk) << name;
        EXPECT_EQ(d.picture(), std::vector<std::uint8_t>(4, 0)) << name;
    }
}

// A picture of one of five kinds, its indices below 2^bits.
IndexedImage picture(int kind, int width, int height, int bits, std::uint32_t seed) {
    IndexedImage image;
    if (kind == 3 || kind == 4) {
        image = kind == 3 ? make_street_map(width, height, seed) : make_photo(width, height, seed);
        for (auto& p : image.pixels) p = static_cast<std::uint8_t>(kind == 3 ? p % (1 << bits) : p >> (8 - bits));
    } else {
        image.width = width;
        image.height = height;
        std::mt19937 random(seed);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                int v = 0;
                if (kind == 0) v = static_cast<int>(random());                 // noise: short strings
                if (kind == 1) v = (x / 9 + y / 5) % 3 + (y > height / 2);      // flat areas: long strings
                if (kind == 2) v = (x + 2 * y) / 3;                             // gradient
                image.pixels.push_back(static_cast<std::uint8_t>(v & ((1 << bits) - 1)));
            }
        }
    }
    image.palette.clear();
    std::mt19937 random(seed * 31 + 1);
    for (int i = 0; i < (1 << bits); ++i) {
        image.palette.push_back(Rgb{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                                    static_cast<std::uint8_t>(random())});
    }
    return image;
}

TEST(ImageDifferential, GeneratedFilesOfEveryShape) {
    constexpr int kWidths[4][4] = {{1, 5, 13, 97}, {2, 6, 14, 130}, {3, 7, 15, 203}, {4, 8, 64, 100}};
    constexpr int kBlockSizes[] = {255, 1, 7, 100};
    std::set<std::string> compared;
    int index = 0;
    for (int bits = 2; bits <= 8; ++bits) {
        for (int widthClass = 0; widthClass < 4; ++widthClass) {
            for (bool extension : {false, true}) {
                for (bool interlaced : {false, true}) {
                    ++index;
                    const int width = kWidths[widthClass][index % 4];
                    const int height = 1 + index * 7 % 53;
                    IndexedImage image = picture(index % 5, width, height, bits, static_cast<std::uint32_t>(index));
                    TwkEncodeOptions options;
                    options.minCodeSize = bits;
                    options.extension = extension;
                    options.interlaced = interlaced;
                    options.blockSize = kBlockSizes[index % 4];
                    options.clearWhenFull = index % 7 != 3;
                    options.gifSignature = true;
                    const std::string gif = *encode_twk(image, options);
                    const std::string label = "generated " + std::to_string(index) + ": " + std::to_string(width) + " x " +
                                              std::to_string(height) + ", code size " + std::to_string(bits);
                    ASSERT_TRUE(compare_with_giflib(gif, label, &compared)) << label;
                    // giflib also checks the encoder the tests rely on.
                    EXPECT_EQ(giflib_decode(gif).pixels, image.pixels) << label;
                }
            }
        }
    }
    EXPECT_GE(compared.size(), 100u);
}

TEST(ImageDifferential, LargerMapsAndPhotosThatFillTheTable) {
    int index = 0;
    for (int kind : {3, 4}) {
        for (bool interlaced : {false, true}) {
            for (bool clearWhenFull : {true, false}) {
                IndexedImage image = picture(kind, 301 + index, 190 + 3 * index, kind == 3 ? 5 : 8, static_cast<std::uint32_t>(100 + index));
                ++index;
                TwkEncodeOptions options;
                options.interlaced = interlaced;
                options.clearWhenFull = clearWhenFull;
                options.gifSignature = true;
                ASSERT_TRUE(compare_with_giflib(*encode_twk(image, options), "large " + std::to_string(index)));
            }
        }
    }
}

}  // namespace
