#include "platform/testing/headless.h"
#include "platform/system/wave.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace headless = platform::headless;
using platform::backend::SoundRecord;

namespace {

void put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}

// A RIFF WAVE file of PCM silence.
std::string wave(int channels, int rate, int bits, std::uint32_t dataBytes, std::uint16_t tag = 1) {
    std::string fmt;
    put16(fmt, tag);
    put16(fmt, static_cast<std::uint16_t>(channels));
    put32(fmt, static_cast<std::uint32_t>(rate));
    put32(fmt, static_cast<std::uint32_t>(rate * channels * bits / 8));
    put16(fmt, static_cast<std::uint16_t>(channels * bits / 8));
    put16(fmt, static_cast<std::uint16_t>(bits));
    std::string body = "WAVEfmt ";
    put32(body, static_cast<std::uint32_t>(fmt.size()));
    body += fmt;
    body += "data";
    put32(body, dataBytes);
    body += std::string(dataBytes, '\0');
    std::string file = "RIFF";
    put32(file, static_cast<std::uint32_t>(body.size()));
    return file + body;
}

std::vector<std::uint8_t> bytes_of(const std::string& s) { return {s.begin(), s.end()}; }

std::optional<platform::backend::PcmSound> parse(const std::string& s, std::string* error = nullptr) {
    return platform::system::parse_wave(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), error);
}

class Sound : public ::testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        platform::clear_resources();
    }
};

TEST_F(Sound, PlaySoundPlaysAWaveResourceAsynchronously) {
    // The click: 44100 samples a second, one channel, 16 bits, about 33 ms.
    platform::add_resource(RT_WAVE, u"MENUPOP", bytes_of(wave(1, 44100, 16, 2872)));
    std::uint64_t start = headless::now();
    EXPECT_TRUE(PlaySoundW(u"MENUPOP", GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC));
    EXPECT_EQ(headless::now(), start);
    ASSERT_EQ(headless::sounds().size(), 1u);
    const SoundRecord& played = headless::sounds()[0];
    EXPECT_EQ(played.kind, SoundRecord::Kind::Wave);
    EXPECT_EQ(played.name, u"MENUPOP");
    EXPECT_EQ(played.durationMs, 32u);

    // Names ignore case; without SND_ASYNC the call lasts as long as the sound.
    EXPECT_TRUE(PlaySoundW(u"menupop", nullptr, SND_RESOURCE));
    EXPECT_EQ(headless::now(), start + 32);

    EXPECT_FALSE(PlaySoundW(u"MISSING", nullptr, SND_RESOURCE | SND_ASYNC));
    EXPECT_FALSE(PlaySoundW(u"MENUPOP", nullptr, SND_FILENAME | SND_ASYNC));
    platform::add_resource(RT_WAVE, u"BROKEN", bytes_of(std::string("RIFF\x04\0\0\0WAVE", 12)));
    EXPECT_FALSE(PlaySoundW(u"BROKEN", nullptr, SND_RESOURCE | SND_ASYNC));
    EXPECT_EQ(headless::sounds().size(), 2u);
    EXPECT_TRUE(PlaySoundW(nullptr, nullptr, 0));
    EXPECT_EQ(headless::sounds().back().kind, SoundRecord::Kind::Stop);
}

TEST_F(Sound, MessageBeepPlaysAShortTone) {
    EXPECT_TRUE(MessageBeep(MB_OK));
    EXPECT_TRUE(MessageBeep(MB_ICONHAND));
    ASSERT_EQ(headless::sounds().size(), 2u);
    EXPECT_EQ(headless::sounds()[0].kind, SoundRecord::Kind::Beep);
    EXPECT_EQ(headless::sounds()[0].beepType, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(headless::sounds()[1].beepType, static_cast<unsigned>(MB_ICONHAND));
    EXPECT_GT(headless::sounds()[0].durationMs, 50u);
    EXPECT_LT(headless::sounds()[0].durationMs, 500u);
}

TEST(Wave, ReadsPcmAndRefusesWhatItCannotPlay) {
    auto mono = parse(wave(1, 22050, 8, 2205));
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->channels, 1);
    EXPECT_EQ(mono->bitsPerSample, 8);
    EXPECT_EQ(platform::system::duration_ms(*mono), 100u);
    auto stereo = parse(wave(2, 44100, 16, 4 * 441 + 3));
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->data.size(), 4u * 441);  // whole frames only

    std::string error;
    EXPECT_FALSE(parse(wave(1, 44100, 16, 100, 3), &error));
    EXPECT_EQ(error, "the samples are not PCM");
    EXPECT_FALSE(parse(wave(3, 44100, 16, 100), &error));
    EXPECT_FALSE(parse(wave(1, 44100, 24, 100), &error));
    EXPECT_FALSE(parse(wave(1, 50, 16, 100), &error));
    EXPECT_FALSE(parse("RIFF", &error));
    EXPECT_FALSE(parse(std::string(), &error));

    // Cut anywhere, the file is read without a step outside it.
    std::string whole = wave(1, 8000, 16, 64);
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        std::string part = whole.substr(0, cut);
        auto sound = parse(part);
        if (sound) {
            EXPECT_LE(sound->data.size(), cut);
        }
    }
    // A data chunk claiming more than there is keeps what there is.
    std::string lying = wave(1, 8000, 16, 10);
    lying[lying.size() - 14] = '\x7f';
    lying[lying.size() - 13] = '\x7f';
    auto sound = parse(lying);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->data.size(), 10u);
    // A format chunk claiming more than there is is refused.
    std::string shortFormat = wave(1, 8000, 16, 10);
    shortFormat[16] = '\x7f';
    EXPECT_FALSE(parse(shortFormat, &error));
}

TEST_F(Sound, ResourcesAreFoundByNumberOrByName) {
    platform::add_resource(RT_DIALOG, MAKEINTRESOURCEW(115), {1, 2, 3});
    platform::add_resource(RT_BITMAP, MAKEINTRESOURCEW(171), {4, 5});
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_NE(self, nullptr);
    EXPECT_EQ(GetModuleHandleW(u"htmlview.dll"), nullptr);
    HRSRC dialog = FindResourceW(self, MAKEINTRESOURCEW(115), RT_DIALOG);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SizeofResource(self, dialog), 3u);
    auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(self, dialog)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[2], 3);
    EXPECT_EQ(FindResourceW(self, MAKEINTRESOURCEW(115), RT_BITMAP), nullptr);
    EXPECT_EQ(FindResourceW(self, MAKEINTRESOURCEW(145), RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceW(self, u"115", RT_DIALOG), nullptr);

    EXPECT_EQ(LoadIconW(self, MAKEINTRESOURCEW(140)), nullptr);
    platform::add_icon(140, 2, 1, {0xFF000000u, 0xFFFFFFFFu});
    HICON icon = LoadIconW(self, MAKEINTRESOURCEW(140));
    ASSERT_NE(icon, nullptr);
    const platform::IconImage* image = platform::icon_image(icon);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(platform::icon_image(reinterpret_cast<HICON>(dialog)), nullptr);
}

}  // namespace
