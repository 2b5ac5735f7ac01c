#include "platform/system/sound.h"

#include "platform/backend/backend.h"
#include "platform/system/resources.h"
#include "platform/system/wave.h"

#include <cmath>

namespace platform::system {
namespace {

constexpr int kToneRate = 22050;
constexpr int kToneMs = 120;

// A sine tone with a short fade at either end, so that it does not click.
backend::PcmSound make_tone(double frequency) {
    backend::PcmSound tone;
    tone.channels = 1;
    tone.samplesPerSecond = kToneRate;
    tone.bitsPerSample = 16;
    int samples = kToneRate * kToneMs / 1000;
    int fade = kToneRate * 8 / 1000;
    tone.data.resize(static_cast<std::size_t>(samples) * 2);
    constexpr double kTwoPi = 6.28318530717958647692;
    for (int i = 0; i < samples; ++i) {
        double gain = 1.0;
        if (i < fade) gain = static_cast<double>(i) / fade;
        if (samples - i < fade) gain = static_cast<double>(samples - i) / fade;
        auto value = static_cast<std::int16_t>(std::lround(9000.0 * gain * std::sin(kTwoPi * frequency * i / kToneRate)));
        tone.data[i * 2] = static_cast<std::uint8_t>(value & 0xFF);
        tone.data[i * 2 + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
    return tone;
}

double beep_frequency(UINT type) {
    switch (type & 0xF0) {
    case 0x10: return 440.0;  // MB_ICONHAND: lower, for an error
    case 0x20: return 660.0;  // MB_ICONQUESTION
    case 0x30: return 587.0;  // MB_ICONEXCLAMATION
    case 0x40: return 1047.0; // MB_ICONASTERISK
    default: return 880.0;
    }
}

void wait_until_played(backend::Backend& machine) {
    while (std::uint32_t left = machine.sound_pending_ms()) machine.sleep_ms(left);
}

}  // namespace
}  // namespace platform::system

using namespace platform;

BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags) {
    backend::Backend& machine = backend::current();
    if (sound == nullptr) {
        machine.stop_sound();
        return TRUE;
    }
    if ((flags & SND_RESOURCE) != SND_RESOURCE || (flags & SND_FILENAME)) return FALSE;
    HRSRC resource = FindResourceW(module, sound, RT_WAVE);
    if (resource == nullptr) return FALSE;
    auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
    auto pcm = system::parse_wave(bytes, SizeofResource(module, resource), nullptr);
    if (!pcm) return FALSE;
    backend::SoundRecord record;
    record.kind = backend::SoundRecord::Kind::Wave;
    record.name = IS_INTRESOURCE(sound) ? u"#" : sound;
    record.durationMs = system::duration_ms(*pcm);
    machine.play_sound(*pcm, record);
    if (!(flags & SND_ASYNC)) system::wait_until_played(machine);
    return TRUE;
}

BOOL MessageBeep(UINT type) {
    backend::Backend& machine = backend::current();
    backend::PcmSound tone = system::make_tone(system::beep_frequency(type));
    backend::SoundRecord record;
    record.kind = backend::SoundRecord::Kind::Beep;
    record.beepType = type;
    record.durationMs = system::duration_ms(tone);
    machine.play_sound(tone, record);
    return TRUE;
}
