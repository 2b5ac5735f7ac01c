// Writes map images: LZW-codes an indexed picture into the map image format
// (the GIF block structure under the signature "TWK").
#pragma once

#include "tools/indexed_image.h"

#include <optional>
#include <string>

struct TwkEncodeOptions {
    // 2..11; 0 picks the smallest size that holds every palette index
    // (at least 2, at most 8).
    int minCodeSize = 0;
    bool interlaced = false;
    // An 8-byte graphic control extension before the image descriptor.
    bool extension = false;
    // Data bytes per pixel data block, 1..255.
    int blockSize = 255;
    // When the code table is full: send a clear code and start afresh
    // (true), or keep coding with the full table (false).
    bool clearWhenFull = true;
    // "GIF89a" instead of "TWK89a": the same bytes as a GIF file, for
    // comparing with GIF decoders.
    bool gifSignature = false;
};

// The encoded file, or nothing (with the reason in *error) when the picture
// or the options cannot be written: an empty picture, one over 65535 pixels
// a side, more than 256 palette entries, or an index the code size cannot
// hold.
std::optional<std::string> encode_twk(const IndexedImage& image, const TwkEncodeOptions& options,
                                      std::string* error = nullptr);
