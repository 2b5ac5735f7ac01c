// Platform internal: turns rows of 8-bit palette indices into 0x00RRGGBB
// pixels, the inner loop of every blit from a palettised bitmap. Where the
// processor has 512-bit byte permutes, the whole palette sits in registers
// and 64 pixels are looked up at once; elsewhere a plain table lookup does.
#pragma once

#include "platform/gdi/dib_section.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::gdi {

// The source columns of one run of destination pixels, as a scaled blit
// picks them (never decreasing), prepared once and used for every row.
class ColumnMap {
public:
    ColumnMap(const int* columns, std::size_t n);

    std::size_t size() const { return m_count; }

    // Every 64 pixels read from a window of at most 256 source bytes at the
    // zooms the program uses; such a chunk keeps its first column and the
    // offsets into its window, and a wider one is looked up one by one.
    struct Chunk {
        int first;
        bool windowed;
    };

private:
    friend class PaletteExpander;
    const int* m_columns;
    std::size_t m_count;
    std::vector<Chunk> m_chunks;
    std::vector<BYTE> m_offsets;  // 64 a chunk
};

class PaletteExpander {
public:
    explicit PaletteExpander(const RGBQUAD* colors);

    // out[k] = colour of indices[k], for k < n.
    void expand(const BYTE* indices, std::size_t n, std::uint32_t* out) const;
    // out[k] = colour of row[columns[k]], for k < columns.size(). Callers
    // clip: every column lies inside the row, which has rowWidth bytes.
    void expand_mapped(const BYTE* row, int rowWidth, const ColumnMap& columns, std::uint32_t* out) const;

private:
    std::uint32_t m_xrgb[256];
    alignas(64) BYTE m_blue[256];
    alignas(64) BYTE m_green[256];
    alignas(64) BYTE m_red[256];
};

namespace testing {

// Turns the vector path off (or back on where the processor has it), so
// tests can compare both paths on one machine. Returns whether the vector
// path is in use afterwards.
bool use_vector_palette(bool enabled);

}  // namespace testing
}  // namespace platform::gdi
