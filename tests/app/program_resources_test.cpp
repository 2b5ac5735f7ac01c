// The program's own resources: the click sound and the icon, as the
// platform reads and plays them.
#include "app/command_bar.h"
#include "app/sounds.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
int sample(const std::vector<std::uint8_t>& b, std::size_t i) { return static_cast<std::int16_t>(le16(b, 44 + 2 * i)); }

TEST(ProgramResources, TheClickIsAShortMonoWave) {
    const std::vector<std::uint8_t> wave = MakeMenuPopSound();
    ASSERT_EQ(wave.size(), 2916u);
    EXPECT_EQ(std::memcmp(wave.data(), "RIFF", 4), 0);
    EXPECT_EQ(le32(wave, 4), 2908u);
    EXPECT_EQ(std::memcmp(wave.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(le16(wave, 20), 1);       // PCM
    EXPECT_EQ(le16(wave, 22), 1);       // mono
    EXPECT_EQ(le32(wave, 24), 44100u);  // samples a second
    EXPECT_EQ(le16(wave, 34), 16);      // bits a sample
    EXPECT_EQ(std::memcmp(wave.data() + 36, "data", 4), 0);
    const std::size_t samples = le32(wave, 40) / 2;
    EXPECT_EQ(samples, 1436u);  // 32.6 ms
    // Loud at first, dying away, silent at both ends so it does not pop.
    int early = 0, late = 0;
    for (std::size_t i = 0; i < 441; ++i) early = std::max(early, std::abs(sample(wave, i)));
    for (std::size_t i = samples - 441; i < samples; ++i) late = std::max(late, std::abs(sample(wave, i)));
    EXPECT_GT(early, 8000);
    EXPECT_LT(late, early / 20);
    EXPECT_EQ(sample(wave, 0), 0);
    EXPECT_LT(std::abs(sample(wave, samples - 1)), 50);
}

TEST(ProgramResources, TheClickPlaysFromTheProgramsResources) {
    platform::headless::reset();
    RegisterProgramResources();
    PlayMenuPopSound();
    PlayMenuPopSound();
    const auto& sounds = platform::headless::sounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].kind, platform::backend::SoundRecord::Kind::Wave);
    EXPECT_EQ(sounds[0].name, u"MENUPOP");
    EXPECT_EQ(sounds[0].durationMs, 32u);
    // The icon the main window's class gets.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM));
    ASSERT_NE(icon, nullptr);
    const platform::IconImage* image = platform::icon_image(icon);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->argb[0] >> 24, 0u);  // a transparent corner
    EXPECT_EQ(image->argb[16 * 32 + 16] >> 24, 0xFFu);
    platform::headless::reset();
}

}  // namespace
