#include "tests/app/plain_guide.h"

#include "tests/support/map_images.h"
#include "tools/png_io.h"

#include <gtest/gtest.h>

#include <cctype>

namespace app_test {

void PlainGuide::add_map(const std::string& file, const std::string& name, int width, int height,
                         const std::string& sections) const {
    std::string image = file.substr(0, file.rfind('.')) + ".twk";
    for (char& c : image) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const COLORREF land = RGB(kPlainLand >> 16, (kPlainLand >> 8) & 0xFF, kPlainLand & 0xFF);
    ASSERT_FALSE(testing_support::write_solid_image(*m_dir, image, width, height, land, land).empty());
    m_dir->write(file, "<Mapfolio Version>\n1\n<Name>\n" + name + ",Plain,Test\n<Images>\n" + image + "\n" + sections);
}

Shot::Shot(const std::string& path) {
    PngContents contents;
    std::string error;
    EXPECT_TRUE(read_png(path, &contents, &error)) << error;
    if (!contents.hasPalette) {
        m_image = contents.rgb;
        return;
    }
    m_image = RgbImage{contents.indexed.width, contents.indexed.height, {}};
    for (std::uint8_t index : contents.indexed.pixels) m_image.pixels.push_back(contents.indexed.palette[index]);
}

std::uint32_t Shot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_image.width || y >= m_image.height) return 0xFFFFFFFFu;
    const Rgb& p = m_image.at(x, y);
    return (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b;
}

int Shot::count_in_client(std::uint32_t rgb, int top, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < m_image.width; ++x) count += client(x, y) == rgb ? 1 : 0;
    }
    return count;
}

}  // namespace app_test
