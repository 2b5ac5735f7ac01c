#include "platform/gdi/palette_expander.h"

#include "platform/gdi/surface.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace platform::gdi {
namespace {

constexpr std::size_t kChunk = 64;
constexpr int kWindow = 256;

void expand_scalar(const std::uint32_t* xrgb, const BYTE* in, std::size_t n, std::uint32_t* out) {
    // Four pixels a round: the lookups are independent, so they overlap.
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4) {
        const std::uint32_t a = xrgb[in[k]], b = xrgb[in[k + 1]];
        const std::uint32_t c = xrgb[in[k + 2]], d = xrgb[in[k + 3]];
        out[k] = a;
        out[k + 1] = b;
        out[k + 2] = c;
        out[k + 3] = d;
    }
    for (; k < n; ++k) out[k] = xrgb[in[k]];
}

void expand_mapped_scalar(const std::uint32_t* xrgb, const BYTE* row, const int* columns, std::size_t n,
                          std::uint32_t* out) {
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4) {
        const std::uint32_t a = xrgb[row[columns[k]]], b = xrgb[row[columns[k + 1]]];
        const std::uint32_t c = xrgb[row[columns[k + 2]]], d = xrgb[row[columns[k + 3]]];
        out[k] = a;
        out[k + 1] = b;
        out[k + 2] = c;
        out[k + 3] = d;
    }
    for (; k < n; ++k) out[k] = xrgb[row[columns[k]]];
}

#if defined(__x86_64__)

#define MF_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// Byte positions that interleave the blue and green planes into pairs, and
// the pairs with the red plane into 0x00RRGGBB pixels (the zero byte is
// masked in).
struct InterleaveIndices {
    alignas(64) BYTE pairsLow[64];
    alignas(64) BYTE pairsHigh[64];
    alignas(64) BYTE pixels[4][64];
    InterleaveIndices() {
        for (int i = 0; i < 32; ++i) {
            pairsLow[2 * i] = static_cast<BYTE>(i);
            pairsLow[2 * i + 1] = static_cast<BYTE>(64 + i);
            pairsHigh[2 * i] = static_cast<BYTE>(32 + i);
            pairsHigh[2 * i + 1] = static_cast<BYTE>(96 + i);
        }
        for (int q = 0; q < 4; ++q) {
            const int pair = (q % 2) * 16;
            for (int p = 0; p < 16; ++p) {
                pixels[q][4 * p] = static_cast<BYTE>(2 * (pair + p));
                pixels[q][4 * p + 1] = static_cast<BYTE>(2 * (pair + p) + 1);
                pixels[q][4 * p + 2] = static_cast<BYTE>(64 + 16 * q + p);
                pixels[q][4 * p + 3] = 0;
            }
        }
    }
};

const InterleaveIndices kInterleave;

// 256 bytes held in four registers, looked up by 64 byte indices at once:
// the low half serves indices below 128, the high half the others.
struct ByteTable {
    __m512i q0, q1, q2, q3;
    MF_VBMI __m512i lookup(__m512i indices, __mmask64 high) const {
        return _mm512_mask_blend_epi8(high, _mm512_permutex2var_epi8(q0, indices, q1),
                                      _mm512_permutex2var_epi8(q2, indices, q3));
    }
};

MF_VBMI ByteTable load_table(const BYTE* table) {
    return ByteTable{_mm512_load_si512(table), _mm512_load_si512(table + 64), _mm512_load_si512(table + 128),
                     _mm512_load_si512(table + 192)};
}

// The palette in registers, ready to turn 64 indices into 64 pixels.
struct VectorPalette {
    ByteTable blue, green, red;
    __m512i pairsLow, pairsHigh, p0, p1, p2, p3;

    MF_VBMI VectorPalette(const BYTE* b, const BYTE* g, const BYTE* r)
        : blue(load_table(b)),
          green(load_table(g)),
          red(load_table(r)),
          pairsLow(_mm512_load_si512(kInterleave.pairsLow)),
          pairsHigh(_mm512_load_si512(kInterleave.pairsHigh)),
          p0(_mm512_load_si512(kInterleave.pixels[0])),
          p1(_mm512_load_si512(kInterleave.pixels[1])),
          p2(_mm512_load_si512(kInterleave.pixels[2])),
          p3(_mm512_load_si512(kInterleave.pixels[3])) {}

    // Writes the colours of the first count (1..64) indices to out.
    MF_VBMI void store(__m512i indices, std::size_t count, std::uint32_t* out) const {
        const __mmask64 high = _mm512_movepi8_mask(indices);
        const __m512i B = blue.lookup(indices, high), G = green.lookup(indices, high), R = red.lookup(indices, high);
        const __m512i low = _mm512_permutex2var_epi8(B, pairsLow, G);
        const __m512i upper = _mm512_permutex2var_epi8(B, pairsHigh, G);
        const __mmask64 colourBytes = 0x7777777777777777ULL;
        const __m512i px0 = _mm512_maskz_permutex2var_epi8(colourBytes, low, p0, R);
        const __m512i px1 = _mm512_maskz_permutex2var_epi8(colourBytes, low, p1, R);
        const __m512i px2 = _mm512_maskz_permutex2var_epi8(colourBytes, upper, p2, R);
        const __m512i px3 = _mm512_maskz_permutex2var_epi8(colourBytes, upper, p3, R);
        if (count == 64) {
            _mm512_storeu_si512(out, px0);
            _mm512_storeu_si512(out + 16, px1);
            _mm512_storeu_si512(out + 32, px2);
            _mm512_storeu_si512(out + 48, px3);
            return;
        }
        // The last pixels of a row: store only what is there.
        const auto mask = [count](std::size_t q) {
            const std::size_t left = count > 16 * q ? count - 16 * q : 0;
            return left >= 16 ? __mmask16(0xFFFF) : static_cast<__mmask16>((1u << left) - 1);
        };
        _mm512_mask_storeu_epi32(out, mask(0), px0);
        _mm512_mask_storeu_epi32(out + 16, mask(1), px1);
        _mm512_mask_storeu_epi32(out + 32, mask(2), px2);
        _mm512_mask_storeu_epi32(out + 48, mask(3), px3);
    }
};

// A mask of the first count (0..64) bytes; loads under it touch nothing else.
MF_VBMI __mmask64 first_bytes(std::size_t count) {
    return count >= 64 ? ~__mmask64{0} : ((__mmask64{1} << count) - 1);
}

MF_VBMI void expand_vbmi(const BYTE* b, const BYTE* g, const BYTE* r, const BYTE* in, std::size_t n,
                         std::uint32_t* out) {
    const VectorPalette palette(b, g, r);
    for (std::size_t k = 0; k < n; k += kChunk) {
        const std::size_t count = n - k < kChunk ? n - k : kChunk;
        palette.store(_mm512_maskz_loadu_epi8(first_bytes(count), in + k), count, out + k);
    }
}

// Loads the source window of a chunk: 256 bytes from row + first, each
// 64-byte part only as far as the row goes.
MF_VBMI ByteTable load_window(const BYTE* row, int rowWidth, int first) {
    __m512i parts[4];
    for (int q = 0; q < 4; ++q) {
        const int start = first + 64 * q;
        const int left = rowWidth - start;
        parts[q] = left <= 0 ? _mm512_setzero_si512()
                             : _mm512_maskz_loadu_epi8(first_bytes(static_cast<std::size_t>(left)), row + start);
    }
    return ByteTable{parts[0], parts[1], parts[2], parts[3]};
}

MF_VBMI void expand_mapped_vbmi(const BYTE* b, const BYTE* g, const BYTE* r, const std::uint32_t* xrgb,
                                const BYTE* row, int rowWidth, const int* columns, std::size_t n,
                                const ColumnMap::Chunk* chunks, const BYTE* offsets, std::uint32_t* out) {
    const VectorPalette palette(b, g, r);
    for (std::size_t c = 0, k = 0; k < n; ++c, k += kChunk) {
        const std::size_t count = n - k < kChunk ? n - k : kChunk;
        if (!chunks[c].windowed) {
            expand_mapped_scalar(xrgb, row, columns + k, count, out + k);
            continue;
        }
        const ByteTable window = load_window(row, rowWidth, chunks[c].first);
        const __m512i at = _mm512_loadu_si512(offsets + kChunk * c);
        palette.store(window.lookup(at, _mm512_movepi8_mask(at)), count, out + k);
    }
}

bool processor_has_vbmi() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi");
    return has;
}

#else

bool processor_has_vbmi() { return false; }

#endif

bool g_vectorEnabled = true;

bool vector_path() { return g_vectorEnabled && processor_has_vbmi(); }

}  // namespace

ColumnMap::ColumnMap(const int* columns, std::size_t n) : m_columns(columns), m_count(n) {
    if (!vector_path()) return;
    const std::size_t chunks = (n + kChunk - 1) / kChunk;
    m_chunks.reserve(chunks);
    m_offsets.assign(chunks * kChunk, 0);
    for (std::size_t c = 0; c < chunks; ++c) {
        const std::size_t k = c * kChunk;
        const std::size_t count = n - k < kChunk ? n - k : kChunk;
        const int first = columns[k];
        // Columns never decrease, so the last one bounds the window.
        const bool windowed = columns[k + count - 1] - first < kWindow;
        m_chunks.push_back(Chunk{first, windowed});
        if (windowed) {
            for (std::size_t i = 0; i < count; ++i) m_offsets[k + i] = static_cast<BYTE>(columns[k + i] - first);
        }
    }
}

PaletteExpander::PaletteExpander(const RGBQUAD* colors) {
    for (int k = 0; k < 256; ++k) {
        m_xrgb[k] = to_xrgb(RGB(colors[k].rgbRed, colors[k].rgbGreen, colors[k].rgbBlue));
        m_blue[k] = colors[k].rgbBlue;
        m_green[k] = colors[k].rgbGreen;
        m_red[k] = colors[k].rgbRed;
    }
}

void PaletteExpander::expand(const BYTE* indices, std::size_t n, std::uint32_t* out) const {
#if defined(__x86_64__)
    if (vector_path()) {
        expand_vbmi(m_blue, m_green, m_red, indices, n, out);
        return;
    }
#endif
    expand_scalar(m_xrgb, indices, n, out);
}

void PaletteExpander::expand_mapped(const BYTE* row, int rowWidth, const ColumnMap& columns,
                                    std::uint32_t* out) const {
#if defined(__x86_64__)
    // A map made while the vector path was off has no chunks.
    if (vector_path() && !columns.m_chunks.empty()) {
        expand_mapped_vbmi(m_blue, m_green, m_red, m_xrgb, row, rowWidth, columns.m_columns, columns.m_count,
                           columns.m_chunks.data(), columns.m_offsets.data(), out);
        return;
    }
#endif
    expand_mapped_scalar(m_xrgb, row, columns.m_columns, columns.m_count, out);
}

namespace testing {

bool use_vector_palette(bool enabled) {
    g_vectorEnabled = enabled;
    return vector_path();
}

}  // namespace testing
}  // namespace platform::gdi
