// DecodeMapImage: reads a map image file (the GIF block structure and LZW
// coding under the signature "TWK", with a global colour table, no local one
// and at most one 8-byte extension before the image) into an 8-bit
// bottom-up DIB section of the image's own size.
#pragma once

#include "platform/win32_drawing.h"

enum ImageResult {
    ImageOk = 0,            // decoded; the bitmap handle is set
    ImageOpenFailed = 1,    // the file could not be opened
    ImageBadSignature = 2,  // fewer than 6 bytes, or not "TWK"
    ImageUnsupported = 3,   // any other layout or code stream error
    ImageNoMemory = 4,      // the bitmap could not be created
};

// Reads the pixel data blocks: a length byte L (0..255) and L bytes each, a
// zero-length block ending the sequence. One instance serves every decode.
class ImageBlockReader {
public:
    // Reads one block into the buffer and restarts delivery at its first
    // byte. False when the length byte or the data comes back short.
    bool Start(HANDLE file);
    // Delivers the next byte of the code stream, reading the next block
    // when the current one is used up (false when that read comes back
    // short). After the zero-length block every request gives a filler byte
    // and reads nothing more.
    bool NextByte(HANDLE file, BYTE* byte);

    // The bytes of the current block not yet delivered; the decoder's bit
    // input takes them a word at a time and reports how many it took.
    const BYTE* Pending(DWORD* count) const {
        *count = length - position;
        return block + position;
    }
    void Consume(DWORD count) { position += count; }
    // The zero-length block has been read.
    bool Ended() const { return ended; }

private:
    BYTE block[256];
    DWORD length = 0;
    DWORD position = 0;
    bool ended = false;
};

// Decodes the first image of the file at path (a zero-terminated UTF-16 full
// path). On ImageOk *bitmap receives a new 8-bit DIB section, W x H, rows
// bottom-up and padded to a multiple of 4 bytes, with the file's colours in
// the first entries of its 256-entry colour table and black after them; the
// caller releases it with DeleteObject. On any other result nothing is
// handed out and nothing stays open or allocated. Not re-entrant.
ImageResult DecodeMapImage(LPCWSTR path, HBITMAP* bitmap);
