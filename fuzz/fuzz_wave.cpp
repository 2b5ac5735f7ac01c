// Fuzz target: any bytes as a wave resource must be read or refused cleanly,
// and what is read must be whole frames inside the input.
#include "platform/system/wave.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto sound = platform::system::parse_wave(data, size, &error);
    if (sound) {
        std::size_t frame = static_cast<std::size_t>(sound->channels) * (sound->bitsPerSample / 8);
        if (frame == 0 || sound->data.size() % frame != 0 || sound->data.size() > size) std::abort();
        (void)platform::system::duration_ms(*sound);
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
