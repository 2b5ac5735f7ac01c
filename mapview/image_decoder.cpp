#include "mapview/image_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
    // The inverse: which row of the stream picture row y is.
    int stream_row_of(int y) const {
        if (!interlaced) return y;
        const int pass0 = (height + 7) / 8;
        const int pass1 = (height + 3) / 8;
        const int pass2 = (height + 1) / 4;
        if (y % 8 == 0) return y / 8;
        if (y % 8 == 4) return pass0 + y / 8;
        if (y % 4 == 2) return pass0 + pass1 + y / 4;
        return pass0 + pass1 + pass2 + y / 2;
    }
    // Start of the stream's r-th row in memory, where rows are bottom-up.
    BYTE* stream_row(int r) const { return bits + static_cast<std::ptrdiff_t>(height - 1 - picture_row(r)) * stride; }
    // The stream row that holds the pixel at p.
    int stream_row_at(const BYTE* p) const { return stream_row_of(height - 1 - static_cast<int>((p - bits) / stride)); }
};

// One code's string, found where it already is: its first byte, its length,
// and the bytes from its first byte to the end of the row it starts in (the
// string runs over the row end when that is less than its length).
struct Entry {
    const BYTE* src;
    std::uint32_t len;
    std::uint32_t room;
};

// Where the literal codes' strings are: byte i holds i, with a chunk's worth
// of bytes after the last so a whole chunk can be read from any of them.
constexpr std::array<BYTE, 256 + kChunk> kLiteralBytes = [] {
    std::array<BYTE, 256 + kChunk> bytes{};
    for (int i = 0; i < 256; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<BYTE>(i);
    return bytes;
}();

// Copies span bytes (a multiple of kChunk), every chunk read before it is
// written. Callers keep both sides inside their rows.
inline void copy_chunks(BYTE* dst, const BYTE* src, std::uint32_t span) {
    for (std::uint32_t i = 0; i < span; i += kChunk) {
        BYTE chunk[kChunk];
        std::memcpy(chunk, src + i, kChunk);
        std::memcpy(dst + i, chunk, kChunk);
    }
}

// Writes the string that ends in its own first pixel: the len - 1 pixels
// just written before dst (at src), then the first of them again. A short
// one is put together in a register and stored once, so that the next
// string, which often starts from this one, can be read straight back out
// of the store. Callers keep both sides inside their rows.
inline void copy_repeating(BYTE* dst, const BYTE* src, std::uint32_t len, std::uint32_t span) {
#ifdef __SSE2__
    if (len <= kChunk) {
        static constexpr std::array<BYTE, kChunk> kIota = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i last = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(kIota.data())),
                                            _mm_set1_epi8(static_cast<char>(len - 1)));
        const __m128i first = _mm_set1_epi8(static_cast<char>(src[0]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_or_si128(_mm_andnot_si128(last, v), _mm_and_si128(last, first)));
        return;
    }
#endif
    copy_chunks(dst, src, span);
    dst[len - 1] = dst[0];
}

// The output position: the next pixel, the pixels left in its row, and the
// row's number in the code stream.
struct Cursor {
    BYTE* dst;
    int rem;
    int row;
};

// Copies a string pixel by pixel, following the rows on both sides; for the
// strings the chunked copy cannot take (near a row end, or running over
// one). Copying forward one pixel at a time also repeats a string into
// itself. Pixels beyond W x H are dropped: false when the picture is full.
[[gnu::noinline]] bool copy_slowly(const RowMap& rows, Cursor& at, const BYTE* src, std::uint32_t room,
                                   std::uint32_t len) {
    int srcRow = -1;
    for (std::uint32_t i = 0; i < len; ++i) {
        if (room == 0) {
            // The string goes on at the start of the next row of the stream.
            if (srcRow < 0) srcRow = rows.stream_row_at(src - 1);
            src = rows.stream_row(++srcRow);
            room = static_cast<std::uint32_t>(rows.width);
        }
        *at.dst++ = *src++;
        --room;
        if (--at.rem == 0) {
            if (++at.row == rows.height) return false;
            at.dst = rows.stream_row(at.row);
            at.rem = rows.width;
        }
    }
    return true;
}

enum FillStatus { kReady, kEnded, kTruncated };

// Decodes the LZW code stream into the rows. Every code's string is a
// string already in the bitmap: a literal's byte, or the string the
// previous code wrote followed by the pixel written after it. So each
// entry is kept as the place it was written, and a string is copied from
// there a chunk at a time, never built up byte by byte.
ImageResult decode_pixels(HANDLE file, const RowMap& rows, unsigned minCodeSize) {
    ImageBlockReader& reader = g_blockReader;
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    // One slot more than there are codes: a full table keeps writing its
    // new entries there, where no code reaches.
    Entry table[kMaxCodes + 1];
    for (unsigned c = 0; c < clear; ++c) table[c] = Entry{&kLiteralBytes[c & 0xFF], 1, kChunk};

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

    const int width = rows.width;
    int streamRow = 0;
    BYTE* dst = rows.stream_row(0);
    int rem = width;

    // The string written last, and the bytes from its start to its row end;
    // the next entry is it plus one pixel.
    const BYTE* prevSrc = nullptr;
    std::uint32_t prevLen = 0;
    std::uint32_t prevRoom = 0;

    unsigned codeWidth = 0;
    unsigned mask = 0;
    unsigned next = 0;
    unsigned code = 0;

    // A stream that ends (at the zero-length block) before its end code
    // leaves the rest of the picture at colour 0 and still decodes; a block
    // that cannot be read is a file cut short.
#define MF_READ_CODE()                                                            \
    do {                                                                          \
        if (bitCount < codeWidth) {                                               \
            FillStatus status_ = fill(codeWidth);                                 \
            if (status_ != kReady) {                                              \
                if (status_ == kEnded) goto ended;                                \
                return ImageUnsupported;                                          \
            }                                                                     \
        }                                                                         \
        code = static_cast<unsigned>(bitBuf) & mask;                              \
        bitBuf >>= codeWidth;                                                     \
        bitCount -= codeWidth;                                                    \
    } while (0)

    if (!reader.Start(file)) return ImageUnsupported;
    if (reader.Ended()) goto ended;
    take_block();

    // Each round starts as after a clear code. A stream whose first code is
    // not the clear code is decoded as if one came first.
    for (;;) {
        codeWidth = minCodeSize + 1;
        mask = (1u << codeWidth) - 1;
        next = clear + 2;
        MF_READ_CODE();
        if (code == clear) continue;
        if (code == end) goto ended;
        // Nothing is defined yet, so only a literal can follow a clear code.
        if (code > end) return ImageUnsupported;
        *dst = static_cast<BYTE>(code);
        prevSrc = dst;
        prevLen = 1;
        prevRoom = static_cast<std::uint32_t>(rem);
        ++dst;
        if (--rem == 0) {
            if (++streamRow == rows.height) goto drain;
            dst = rows.stream_row(streamRow);
            rem = width;
        }

        for (;;) {
            MF_READ_CODE();
            if (code - clear < 2) [[unlikely]] {
                if (code == clear) break;
                goto ended;
            }
            // Define first: a code equal to the next free code (the previous
            // string plus its own first pixel) is then an entry like any
            // other. A full table (next free code 4096) defines nothing more
            // and the codes stay 12 bits wide: encoders that never send a
            // clear code rely on it.
            table[next] = Entry{prevSrc, prevLen + 1, prevRoom};
            next += next < kMaxCodes;
            if (next > mask) [[unlikely]] {
                if (codeWidth < kMaxCodeWidth) {
                    ++codeWidth;
                    mask = mask << 1 | 1;
                }
            }
            // A code beyond the next free one has no string.
            if (code >= next) [[unlikely]] return ImageUnsupported;

            const Entry e = table[code];
            const std::uint32_t len = e.len;
            const std::uint32_t span = (len + kChunk - 1) & ~(kChunk - 1);
            prevSrc = dst;
            prevLen = len;
            prevRoom = static_cast<std::uint32_t>(rem);
            if (span <= e.room && span <= static_cast<std::uint32_t>(rem)) [[likely]] {
                // Reads stay in the source's row and writes in this one. The
                // source lies before the destination in the stream and every
                // chunk is read before it is written, so the string's bytes
                // arrive intact, save the last pixel of a string that ends
                // in its own first pixel: written again once that is in place.
                if (e.src + (len - 1) != dst) [[likely]] {
                    copy_chunks(dst, e.src, span);
                } else {
                    copy_repeating(dst, e.src, len, span);
                }
                dst += len;
                rem -= static_cast<int>(len);
                if (rem == 0) {
                    if (++streamRow == rows.height) goto drain;
                    dst = rows.stream_row(streamRow);
                    rem = width;
                }
            } else {
                Cursor at{dst, rem, streamRow};
                const bool room = copy_slowly(rows, at, e.src, e.room, len);
                dst = at.dst;
                rem = at.rem;
                streamRow = at.row;
                if (!room) goto drain;
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
            mask = (1u << codeWidth) - 1;
            next = clear + 2;
            defines = false;  // the first code after a clear code defines nothing
            continue;
        }
        if (code == end) goto ended;
        if (defines && next < kMaxCodes && ++next > mask && codeWidth < kMaxCodeWidth) {
            ++codeWidth;
            mask = mask << 1 | 1;
        }
        defines = true;
    }

ended:
    // The last chunked copy may have run on into pixels of its row that no
    // string wrote; they are colour 0 again, as the rest of the picture.
    std::memset(dst, 0, std::min<std::size_t>(static_cast<std::size_t>(rem), kChunk - 1));
    return ImageOk;
#undef MF_READ_CODE
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

    BITMAPINFO256 info = platform::bitmap_info_256(width, height, 8);
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
