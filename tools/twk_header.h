// What a map image's first bytes say that the decoder does not report: the
// colour table as the file holds it, the picture's size and interlacing.
#pragma once

#include "tools/indexed_image.h"

#include <optional>
#include <string>

struct TwkHeader {
    std::vector<Rgb> palette;
    int width = 0;
    int height = 0;
    bool interlaced = false;
};

// The header lies in the file's first bytes: 13 bytes, a colour table of at
// most 256 entries, an 8-byte extension and the image descriptor's 10.
constexpr std::size_t kTwkHeaderBytes = 13 + 3 * 256 + 8 + 10;

// The header of the bytes of a map image (its start is enough), laid out as
// the decoder reads it; nothing when they end before the image descriptor.
// The signature and flags are not checked: only read a file the decoder
// accepts.
std::optional<TwkHeader> read_twk_header(const std::string& bytes);

// The same from the first kTwkHeaderBytes of a file.
std::optional<TwkHeader> read_twk_header_file(const std::string& path);
