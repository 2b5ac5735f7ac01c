#include "tools/twk_header.h"

#include <cstdint>
#include <fstream>

std::optional<TwkHeader> read_twk_header(const std::string& bytes) {
    if (bytes.size() < 13) return std::nullopt;
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
    TwkHeader header;
    const std::size_t colours = std::size_t{2} << (b[10] & 7);
    std::size_t at = 13;
    if (bytes.size() < at + 3 * colours + 1) return std::nullopt;
    for (std::size_t i = 0; i < colours; ++i) header.palette.push_back(Rgb{b[at + 3 * i], b[at + 3 * i + 1], b[at + 3 * i + 2]});
    at += 3 * colours;
    if (b[at] == '!') at += 8;
    if (bytes.size() < at + 10) return std::nullopt;
    header.width = b[at + 5] | b[at + 6] << 8;
    header.height = b[at + 7] | b[at + 8] << 8;
    header.interlaced = (b[at + 9] & 0x40) != 0;
    return header;
}

std::optional<TwkHeader> read_twk_header_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(kTwkHeaderBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return read_twk_header(bytes);
}
