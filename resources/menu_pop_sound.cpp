// The click sound "MENUPOP": a wave resource (RIFF WAVE, PCM, mono, 44100
// samples per second, 16 bits) of 1436 samples, about 33 ms, 2916 bytes in
// all. It is made here rather than recorded: a sharp attack of two tones
// that dies away quickly, the way a key click sounds, ending in silence so
// that it stops without a pop.
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kSamples = 1436;
constexpr int kAttack = 22;   // half a millisecond
constexpr int kRelease = 88;  // two milliseconds of fade at the end
constexpr double kTwoPi = 6.28318530717958647692;

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void put_tag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

std::int16_t sample(int i) {
    const double t = static_cast<double>(i) / kRate;
    // A fast decay (time constant 5 ms) over a low body and a bright top.
    double level = std::exp(-t / 0.005) * (0.65 * std::sin(kTwoPi * 1750.0 * t) + 0.35 * std::sin(kTwoPi * 4300.0 * t));
    if (i < kAttack) level *= static_cast<double>(i) / kAttack;
    if (kSamples - i < kRelease) level *= static_cast<double>(kSamples - i) / kRelease;
    return static_cast<std::int16_t>(std::lround(level * 20000.0));
}

}  // namespace

std::vector<std::uint8_t> MakeMenuPopSound() {
    constexpr std::uint32_t kDataBytes = kSamples * 2;
    std::vector<std::uint8_t> wave;
    wave.reserve(44 + kDataBytes);
    put_tag(wave, "RIFF");
    put32(wave, 36 + kDataBytes);
    put_tag(wave, "WAVE");
    put_tag(wave, "fmt ");
    put32(wave, 16);
    put16(wave, 1);  // PCM
    put16(wave, 1);  // mono
    put32(wave, kRate);
    put32(wave, kRate * 2);  // bytes a second
    put16(wave, 2);          // bytes a frame
    put16(wave, 16);         // bits a sample
    put_tag(wave, "data");
    put32(wave, kDataBytes);
    for (int i = 0; i < kSamples; ++i) put16(wave, static_cast<std::uint16_t>(sample(i)));
    return wave;
}

void RegisterSounds() { platform::add_resource(RT_WAVE, ID_MENUPOP_SOUND, MakeMenuPopSound()); }
