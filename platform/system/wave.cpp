#include "platform/system/wave.h"

#include <cstring>

namespace platform::system {
namespace {

std::uint32_t read32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::optional<backend::PcmSound> fail(std::string* error, const char* text) {
    if (error != nullptr) *error = text;
    return std::nullopt;
}

}  // namespace

std::optional<backend::PcmSound> parse_wave(const std::uint8_t* bytes, std::size_t size, std::string* error) {
    if (bytes == nullptr || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return fail(error, "not a RIFF WAVE file");
    backend::PcmSound sound;
    bool haveFormat = false;
    const std::uint8_t* data = nullptr;
    std::size_t dataSize = 0;
    std::size_t at = 12;
    while (size - at >= 8) {
        const std::uint8_t* chunk = bytes + at;
        std::size_t length = read32(chunk + 4);
        std::size_t available = size - at - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || length > available) return fail(error, "the format chunk is cut short");
            std::uint16_t tag = read16(chunk + 8);
            sound.channels = read16(chunk + 10);
            std::uint32_t rate = read32(chunk + 12);
            sound.bitsPerSample = read16(chunk + 22);
            if (tag != 1) return fail(error, "the samples are not PCM");
            if (sound.channels < 1 || sound.channels > 2) return fail(error, "only one or two channels are played");
            if (rate < 1000 || rate > 192000) return fail(error, "the sample rate is out of range");
            if (sound.bitsPerSample != 8 && sound.bitsPerSample != 16)
                return fail(error, "only 8- and 16-bit samples are played");
            sound.samplesPerSecond = static_cast<int>(rate);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data = chunk + 8;
            dataSize = length < available ? length : available;
            if (haveFormat) break;
        }
        if (length > available) break;
        // Chunks are padded to an even length.
        std::size_t step = 8 + length + (length & 1);
        if (step > size - at) break;
        at += step;
    }
    if (!haveFormat) return fail(error, "the format chunk is missing");
    if (data == nullptr) return fail(error, "the data chunk is missing");
    std::size_t frame = static_cast<std::size_t>(sound.channels) * (sound.bitsPerSample / 8);
    dataSize -= dataSize % frame;
    sound.data.assign(data, data + dataSize);
    return sound;
}

std::uint32_t duration_ms(const backend::PcmSound& sound) {
    std::size_t frame = static_cast<std::size_t>(sound.channels) * (sound.bitsPerSample / 8);
    if (frame == 0 || sound.samplesPerSecond <= 0) return 0;
    return static_cast<std::uint32_t>(sound.data.size() / frame * 1000 / sound.samplesPerSecond);
}

}  // namespace platform::system
