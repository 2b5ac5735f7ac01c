#include "mapview/image_decoder.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned kMaxCodes = 4096;
constexpr unsigned kMaxCodeWidth = 12;
// Strings are copied this many bytes at a time; a copy may run past the
// string's end by less than this, into pixels of its own row that later
// strings overwrite.
constexpr std::uint32_t kChunk = 16;

// The decoder runs on the program's one thread, one image at a time.
ImageBlockReader g_blockReader;

bool read_exact(HANDLE file, void* buffer, DWORD count) {
    DWORD got = 0;
    ReadFile(file, buffer, count, &got, nullptr);
    return got == count;
}

std::uint64_t load_le64(const BYTE* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}

// Where the rows the code stream fills lie in the bitmap: the stream fills
// them top row first, or, in an interlaced image, in four passes (every
// 8th row from row 0, every 8th from row 4, every 4th from row 2, every 2nd
// from row 1).
struct RowMap {
    BYTE* bits;
    std::ptrdiff_t stride;
    int width;
    int height;
    bool interlaced;

    // The picture row the code stream fills as its r-th row; r < height.
    int picture_row(int r) const {
        if (!interlaced) return r;
        const int pass0 = (height + 7) / 8;
        if (r < pass0) return r * 8;
        r -= pass0;
        const int pass1 = (height + 3) / 8;
        if (r < pass1) return 4 + r * 8;
        r -= pass1;
        const int pass2 = (height + 1) / 4;
        if (r < pass2) return 2 + r * 4;
        r -= pass2;
        return 1 + r * 2;
    }
    // Start of the stream's r-th row in memory, where rows are bottom-up.
    BYTE* stream_row(int r) const { return bits + static_cast<std::ptrdiff_t>(height - 1 - picture_row(r)) * stride; }
};

// One code's string, found where it was already written: the code stream
// position of its first pixel, its length, and its address when the whole
// string lies in one row (null when it runs over a row end).
struct Entry {
    const BYTE* src;
    std::uint32_t pos;
    std::uint32_t len;
};

enum FillStatus { kReady, kEnded, kTruncated };

// Decodes the LZW code stream into the rows. Every code's string is a
// string already in the bitmap, extended by one byte: the entry a code
// defines is the previous code's string as it was written, plus the first
// pixel written after it, so strings are copied from the bitmap itself and
// no string is ever built up byte by byte.
ImageResult decode_pixels(HANDLE file, const RowMap& rows, unsigned minCodeSize) {
    ImageBlockReader& reader = g_blockReader;
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    Entry table[kMaxCodes];

    // Bit input: up to 64 bits taken from the current block, least
    // significant bit first.
    std::uint64_t bitBuf = 0;
    unsigned bitCount = 0;
    const BYTE* in = nullptr;
    const BYTE* inEnd = nullptr;

    auto take_block = [&]() __attribute__((always_inline)) {
        DWORD n = 0;
        in = reader.Pending(&n);
        inEnd = in + n;
        reader.Consume(n);
    };
    auto fill = [&](unsigned need) __attribute__((always_inline)) -> FillStatus {
        while (bitCount < need) {
            if (inEnd - in >= 8) {
                // bitCount is below 12 here, so at least 6 whole bytes fit.
                bitBuf |= load_le64(in) << bitCount;
                in += (63 - bitCount) >> 3;
                bitCount |= 56;
            } else if (in < inEnd) {
                bitBuf |= std::uint64_t{*in++} << bitCount;
                bitCount += 8;
            } else {
                if (!reader.Start(file)) return kTruncated;
                if (reader.Ended()) return kEnded;
                take_block();
            }
        }
        return kReady;
    };

    // Output cursor: the next pixel's address, the pixels left in its row,
    // and its position in the code stream (row * width + column).
    const int width = rows.width;
    const BYTE* const bitsEnd = rows.bits + rows.stride * rows.height;
    int streamRow = 0;
    BYTE* dst = rows.stream_row(0);
    int rem = width;
    std::uint32_t pos = 0;
    auto next_row = [&]() __attribute__((always_inline)) -> bool {
        if (++streamRow == rows.height) return false;
        dst = rows.stream_row(streamRow);
        rem = width;
        return true;
    };

    // The string written last; the next entry is it plus one pixel.
    const BYTE* prevSrc = nullptr;
    std::uint32_t prevPos = 0;
    std::uint32_t prevLen = 0;

    unsigned codeWidth = 0;
    unsigned mask = 0;
    unsigned limit = 0;
    unsigned next = 0;
    unsigned code = 0;

    // A stream that ends (at the zero-length block) before its end code
    // leaves the rest of the picture at colour 0 and still decodes; a block
    // that cannot be read is a file cut short.
#define MF_READ_CODE()                                                            \
    do {                                                                          \
        if (bitCount < codeWidth) {                                               \
            FillStatus status_ = fill(codeWidth);                                 \
            if (status_ != kReady) return status_ == kEnded ? ImageOk : ImageUnsupported; \
        }                                                                         \
        code = static_cast<unsigned>(bitBuf) & mask;                              \
        bitBuf >>= codeWidth;                                                     \
        bitCount -= codeWidth;                                                    \
    } while (0)

    // A full table (next free code 4096) defines nothing more and the codes
    // stay 12 bits wide: encoders that never send a clear code rely on it.
#define MF_DEFINE_ENTRY()                                                         \
    do {                                                                          \
        if (next < kMaxCodes) {                                                   \
            table[next] = Entry{prevSrc, prevPos, prevLen + 1};                   \
            if (++next == limit && codeWidth < kMaxCodeWidth) {                   \
                ++codeWidth;                                                      \
                limit <<= 1;                                                      \
                mask = limit - 1;                                                 \
            }                                                                     \
        }                                                                         \
    } while (0)

    if (!reader.Start(file)) return ImageUnsupported;
    if (reader.Ended()) return ImageOk;
    take_block();

    // Each round starts as after a clear code. A stream whose first code is
    // not the clear code is decoded as if one came first.
    for (;;) {
        codeWidth = minCodeSize + 1;
        limit = 1u << codeWidth;
        mask = limit - 1;
        next = clear + 2;
        MF_READ_CODE();
        if (code == clear) continue;
        if (code == end) return ImageOk;
        // Nothing is defined yet, so only a literal can follow a clear code.
        if (code > end) return ImageUnsupported;
        *dst = static_cast<BYTE>(code);
        prevSrc = rem > 1 ? dst : nullptr;
        prevPos = pos;
        prevLen = 1;
        ++dst;
        ++pos;
        if (--rem == 0 && !next_row()) goto drain;

        for (;;) {
            MF_READ_CODE();
            if (code < clear) {
                MF_DEFINE_ENTRY();
                *dst = static_cast<BYTE>(code);
                prevSrc = rem > 1 ? dst : nullptr;
                prevPos = pos;
                prevLen = 1;
                ++dst;
                ++pos;
                if (--rem == 0 && !next_row()) goto drain;
            } else if (code > end) {
                // Defining first makes a code equal to the next free code
                // (the previous string plus its own first pixel) an entry
                // like any other.
                MF_DEFINE_ENTRY();
                // A code beyond the next free one has no string.
                if (code >= next) return ImageUnsupported;
                const Entry e = table[code];
                const std::uint32_t len = e.len;
                const std::uint32_t span = (len + kChunk - 1) & ~(kChunk - 1);
                if (e.src != nullptr && span <= static_cast<std::uint32_t>(rem) &&
                    span <= static_cast<std::uint32_t>(bitsEnd - e.src)) {
                    // The copy stays in this row, and its reads in the bitmap.
                    // The source lies before the destination in the stream and
                    // every chunk is read before it is written, so the string's
                    // own bytes arrive intact. The one exception is the last
                    // pixel of a string that ends in its own first pixel, which
                    // is written again once that pixel is in place.
                    for (std::uint32_t i = 0; i < span; i += kChunk) {
                        BYTE chunk[kChunk];
                        std::memcpy(chunk, e.src + i, kChunk);
                        std::memcpy(dst + i, chunk, kChunk);
                    }
                    dst[len - 1] = e.src[len - 1];
                    prevSrc = len < static_cast<std::uint32_t>(rem) ? dst : nullptr;
                    prevPos = pos;
                    prevLen = len;
                    dst += len;
                    pos += len;
                    rem -= static_cast<int>(len);
                    if (rem == 0 && !next_row()) goto drain;
                } else {
                    // Near a row end, or a string over a row end: pixel by
                    // pixel, following the rows on both sides. Copying forward
                    // one pixel at a time also repeats a string into itself.
                    prevSrc = len < static_cast<std::uint32_t>(rem) ? dst : nullptr;
                    prevPos = pos;
                    prevLen = len;
                    int srcRow = static_cast<int>(e.pos / static_cast<std::uint32_t>(width));
                    int srcColumn = static_cast<int>(e.pos % static_cast<std::uint32_t>(width));
                    const BYTE* src = rows.stream_row(srcRow) + srcColumn;
                    int srcRem = width - srcColumn;
                    for (std::uint32_t i = 0; i < len; ++i) {
                        if (srcRem == 0) {
                            src = rows.stream_row(++srcRow);
                            srcRem = width;
                        }
                        *dst++ = *src++;
                        --srcRem;
                        ++pos;
                        // Pixels beyond W x H are dropped.
                        if (--rem == 0 && !next_row()) goto drain;
                    }
                }
            } else if (code == clear) {
                break;
            } else {
                return ImageOk;
            }
        }
    }

drain:
    // The picture is complete. The rest of the stream is followed only to
    // find its end code: its codes could only make pixels that are dropped,
    // so they are not checked, but a file cut short before the end code is
    // still refused.
    for (bool defines = true;;) {
        MF_READ_CODE();
        if (code == clear) {
            codeWidth = minCodeSize + 1;
            limit = 1u << codeWidth;
            mask = limit - 1;
            next = clear + 2;
            defines = false;  // the first code after a clear code defines nothing
            continue;
        }
        if (code == end) return ImageOk;
        if (defines && next < kMaxCodes && ++next == limit && codeWidth < kMaxCodeWidth) {
            ++codeWidth;
            limit <<= 1;
            mask = limit - 1;
        }
        defines = true;
    }
#undef MF_READ_CODE
#undef MF_DEFINE_ENTRY
}

// Reads the headers up to the pixel data, creates the bitmap and decodes
// into it; the caller opened the file and closes it.
ImageResult decode_file(HANDLE file, HBITMAP* bitmap) {
    BYTE signature[6];
    if (!read_exact(file, signature, sizeof signature) || std::memcmp(signature, "TWK", 3) != 0) {
        return ImageBadSignature;
    }
    BYTE screen[7];
    if (!read_exact(file, screen, sizeof screen) || (screen[4] & 0x80) == 0) return ImageUnsupported;
    const int colours = 2 << (screen[4] & 7);
    BYTE colourTable[3 * 256];
    if (!read_exact(file, colourTable, 3 * colours)) return ImageUnsupported;

    BYTE marker = 0;
    if (!read_exact(file, &marker, 1)) return ImageUnsupported;
    if (marker == '!') {
        SetFilePointer(file, 7, nullptr, FILE_CURRENT);  // the rest of the 8-byte extension
    } else {
        SetFilePointer(file, -1, nullptr, FILE_CURRENT);  // the byte starts the image descriptor
    }
    BYTE image[10];
    if (!read_exact(file, image, sizeof image) || image[0] != ',' || (image[9] & 0x80) != 0) {
        return ImageUnsupported;
    }
    const int width = image[5] | image[6] << 8;
    const int height = image[7] | image[8] << 8;
    // An empty picture is not a picture to show.
    if (width == 0 || height == 0) return ImageUnsupported;

    BITMAPINFO256 info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biCompression = BI_RGB;
    for (int i = 0; i < colours; ++i) {
        info.bmiColors[i].rgbRed = colourTable[3 * i];
        info.bmiColors[i].rgbGreen = colourTable[3 * i + 1];
        info.bmiColors[i].rgbBlue = colourTable[3 * i + 2];
    }
    void* bits = nullptr;
    HBITMAP created = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                       nullptr, 0);
    if (created == nullptr) return ImageNoMemory;

    BYTE minCodeSize = 0;
    ImageResult result = ImageUnsupported;
    if (read_exact(file, &minCodeSize, 1) && minCodeSize >= 2 && minCodeSize <= 11) {
        const RowMap rows{static_cast<BYTE*>(bits), static_cast<std::ptrdiff_t>((width + 3) / 4 * 4), width, height,
                          (image[9] & 0x40) != 0};
        result = decode_pixels(file, rows, minCodeSize);
    }
    if (result != ImageOk) {
        DeleteObject(created);
        return result;
    }
    *bitmap = created;
    return ImageOk;
}

}  // namespace

bool ImageBlockReader::Start(HANDLE file) {
    length = 0;
    position = 0;
    ended = false;
    BYTE size = 0;
    if (!read_exact(file, &size, 1)) return false;
    if (size != 0 && !read_exact(file, block, size)) return false;
    length = size;
    ended = size == 0;
    return true;
}

bool ImageBlockReader::NextByte(HANDLE file, BYTE* byte) {
    if (!ended && position == length && !Start(file)) return false;
    if (ended) {
        *byte = 0;  // filler; its value is never used
        return true;
    }
    *byte = block[position++];
    return true;
}

ImageResult DecodeMapImage(LPCWSTR path, HBITMAP* bitmap) {
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ImageOpenFailed;
    ImageResult result = decode_file(file, bitmap);
    CloseHandle(file);
    return result;
}
