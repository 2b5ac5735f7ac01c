// Platform internal: reading a RIFF WAVE file of PCM samples. The bytes are
// checked throughout; nothing is read outside them.
#pragma once

#include "platform/backend/backend.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform::system {

// One or two channels of 8- or 16-bit PCM. A data chunk cut short by the
// end of the bytes keeps the whole frames that are there.
std::optional<backend::PcmSound> parse_wave(const std::uint8_t* bytes, std::size_t size, std::string* error);

// Milliseconds the sound lasts.
std::uint32_t duration_ms(const backend::PcmSound& sound);

}  // namespace platform::system
