#include "platform/gdi/blit.h"
#include "platform/base/rect.h"
#include "platform/gdi/dc_object.h"
#include "platform/gdi/palette_expander.h"

#include <algorithm>
#include <cstring>
#include <vector>

using platform::gdi::Canvas;
using platform::gdi::DeviceContext;

namespace {

using i64 = long long;
using i128 = __int128;

// One axis of a stretch: destination offset i (0 <= i < dstLength) takes
// source index start + floor((2i + 1) * srcLength / (2 * dstLength)).
struct Axis {
    i64 start;      // source start, canvas coordinates
    i64 srcLength;  // > 0
    i64 dstLength;  // > 0

    i64 source(i64 i) const {
        return start + static_cast<i64>((2 * static_cast<i128>(i) + 1) * srcLength / (2 * static_cast<i128>(dstLength)));
    }

    // The offsets in [low, high] whose source index lies in [0, limit);
    // false when there are none. The source index never decreases with i.
    bool valid_offsets(i64 low, i64 high, i64 limit, i64* first, i64* last) const {
        if (low > high) return false;
        // Smallest i with source(i) >= 0.
        i64 a = low, b = high + 1;
        while (a < b) {
            i64 m = a + (b - a) / 2;
            if (source(m) >= 0) b = m;
            else a = m + 1;
        }
        *first = a;
        // Largest i with source(i) < limit.
        a = low - 1;
        b = high;
        while (a < b) {
            i64 m = b - (b - a) / 2;
            if (source(m) < limit) a = m;
            else b = m - 1;
        }
        *last = a;
        return *first <= *last;
    }

    // Source indices for offsets first..last, stepping without division.
    void fill_map(i64 first, i64 last, std::vector<int>& map) const {
        map.resize(static_cast<std::size_t>(last - first + 1));
        const i64 den = 2 * dstLength;
        const i64 step = 2 * srcLength;
        const i128 num = (2 * static_cast<i128>(first) + 1) * srcLength;
        i64 q = static_cast<i64>(num / den);
        i64 r = static_cast<i64>(num % den);
        const i64 stepQ = step / den, stepR = step % den;
        for (std::size_t k = 0; k < map.size(); ++k) {
            map[k] = static_cast<int>(start + q);
            q += stepQ;
            r += stepR;
            if (r >= den) {
                ++q;
                r -= den;
            }
        }
    }
};

// A private copy of a canvas, for a blit whose source and destination are
// the same pixels.
struct CanvasCopy {
    std::vector<BYTE> bytes;
    Canvas canvas;
    explicit CanvasCopy(const Canvas& from) {
        const std::size_t rowBytes = static_cast<std::size_t>(from.width) * (from.bitsPerPixel / 8);
        bytes.resize(rowBytes * from.height);
        for (int y = 0; y < from.height; ++y) std::memcpy(bytes.data() + rowBytes * y, from.row8(y), rowBytes);
        canvas = from;
        canvas.first = bytes.data();
        canvas.pitch = static_cast<std::ptrdiff_t>(rowBytes);
    }
};

// Copies the mapped source pixels of one destination row segment.
// Callers clip: every map entry is inside the source.
void copy_row(std::uint32_t* out, const Canvas& src, int sy, const int* xmap, std::size_t n, bool contiguous,
              const platform::gdi::PaletteExpander* palette, const platform::gdi::ColumnMap* columns) {
    if (src.bitsPerPixel == 32) {
        const std::uint32_t* in = src.row32(sy);
        if (contiguous) {
            std::memcpy(out, in + xmap[0], n * 4);
        } else {
            for (std::size_t k = 0; k < n; ++k) out[k] = in[xmap[k]];
        }
    } else if (contiguous) {
        palette->expand(src.row8(sy) + xmap[0], n, out);
    } else {
        palette->expand_mapped(src.row8(sy), src.width, *columns, out);
    }
}

BOOL fill_blit(DeviceContext& dest, int x, int y, int width, int height, DWORD rop) {
    COLORREF color;
    if (rop == BLACKNESS) color = RGB(0, 0, 0);
    else if (rop == WHITENESS) color = RGB(255, 255, 255);
    else if (dest.brush() && !dest.brush()->hollow()) color = dest.brush()->color();
    else return TRUE;
    const i64 l = dest.device_x(x), t = dest.device_y(y);
    dest.fill(RECT{platform::saturate(l), platform::saturate(t), platform::saturate(l + width),
                   platform::saturate(t + height)},
              color);
    return TRUE;
}

BOOL stretch(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int srcX, int srcY, int srcWidth,
             int srcHeight, DWORD rop) {
    DeviceContext* dest = DeviceContext::from(destHandle);
    if (dest == nullptr || width <= 0 || height <= 0) return FALSE;
    if (rop == BLACKNESS || rop == WHITENESS || rop == PATCOPY) return fill_blit(*dest, x, y, width, height, rop);
    DeviceContext* source = DeviceContext::from(sourceHandle);
    if (rop != SRCCOPY || source == nullptr || srcWidth <= 0 || srcHeight <= 0) return FALSE;

    const Canvas out = dest->canvas();
    Canvas in = source->canvas();
    if (!out.valid() || out.bitsPerPixel != 32) return FALSE;
    if (!in.valid()) return TRUE;

    const Axis ax{source->device_x(srcX), srcWidth, width};
    const Axis ay{source->device_y(srcY), srcHeight, height};
    const i64 dx0 = dest->device_x(x), dy0 = dest->device_y(y);
    const RECT readable = source->limits();

    // The destination offsets worth visiting: inside the clip rectangles'
    // bounds and mapping into the readable source.
    const std::vector<RECT> clips = dest->clip_rects();
    if (clips.empty()) return TRUE;
    RECT box = clips.front();
    for (const RECT& r : clips) UnionRect(&box, &box, &r);
    // Source indices are tested against [0, limit) after moving the
    // readable area's corner to 0.
    Axis axr = ax, ayr = ay;
    axr.start -= readable.left;
    ayr.start -= readable.top;
    i64 iFirst, iLast, jFirst, jLast;
    if (!axr.valid_offsets(std::max<i64>(0, box.left - dx0), std::min<i64>(width - 1, box.right - 1 - dx0),
                           readable.right - readable.left, &iFirst, &iLast) ||
        !ayr.valid_offsets(std::max<i64>(0, box.top - dy0), std::min<i64>(height - 1, box.bottom - 1 - dy0),
                           readable.bottom - readable.top, &jFirst, &jLast))
        return TRUE;

    std::vector<int> xmap, ymap;
    ax.fill_map(iFirst, iLast, xmap);
    ay.fill_map(jFirst, jLast, ymap);
    const bool contiguous = srcWidth == width;

    std::optional<CanvasCopy> copy;
    if (in.first == out.first) {
        copy.emplace(in);
        in = copy->canvas;
    }
    std::optional<platform::gdi::PaletteExpander> palette;
    if (in.bitsPerPixel == 8) palette.emplace(in.colors);

    for (const RECT& clip : clips) {
        // Destination columns and rows of this clip rectangle, as offsets.
        const i64 c0 = std::max<i64>(clip.left - dx0, iFirst), c1 = std::min<i64>(clip.right - 1 - dx0, iLast);
        const i64 r0 = std::max<i64>(clip.top - dy0, jFirst), r1 = std::min<i64>(clip.bottom - 1 - dy0, jLast);
        if (c0 > c1 || r0 > r1) continue;
        const std::size_t n = static_cast<std::size_t>(c1 - c0 + 1);
        const int* xs = xmap.data() + (c0 - iFirst);
        std::optional<platform::gdi::ColumnMap> columns;
        if (palette && !contiguous) columns.emplace(xs, n);
        std::uint32_t* previous = nullptr;
        int previousSource = -1;
        for (i64 j = r0; j <= r1; ++j) {
            const int sy = ymap[static_cast<std::size_t>(j - jFirst)];
            std::uint32_t* row = out.row32(static_cast<int>(dy0 + j)) + (dx0 + c0);
            if (previous && sy == previousSource) {
                // Enlarging repeats rows: copy the one just made.
                std::memcpy(row, previous, n * 4);
            } else {
                copy_row(row, in, sy, xs, n, contiguous, palette ? &*palette : nullptr, columns ? &*columns : nullptr);
            }
            previous = row;
            previousSource = sy;
        }
    }
    return TRUE;
}

}  // namespace

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY, DWORD rop) {
    return stretch(dest, x, y, width, height, source, srcX, srcY, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop) {
    return stretch(dest, x, y, width, height, source, srcX, srcY, srcWidth, srcHeight, rop);
}
