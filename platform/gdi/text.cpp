#include "platform/gdi/text.h"
#include "platform/base/crt.h"
#include "platform/base/rect.h"
#include "platform/gdi/dc_object.h"
#include "platform/gdi/font_engine.h"

#include <algorithm>
#include <optional>
#include <vector>

using platform::saturate;
using platform::gdi::Canvas;
using platform::gdi::DeviceContext;
using platform::gdi::FaceInstance;
using platform::gdi::Glyph;

namespace {

using i64 = long long;

bool is_high(WCHAR u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_low(WCHAR u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point starting at unit i, and how many units it takes.
char32_t code_point_at(LPCWSTR text, int count, int i, int* units) {
    const WCHAR u = text[i];
    if (is_high(u) && i + 1 < count && is_low(text[i + 1])) {
        *units = 2;
        return 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    *units = 1;
    return (is_high(u) || is_low(u)) ? U'\uFFFD' : static_cast<char32_t>(u);
}

// The advance of every unit: a surrogate pair's advance goes to its first
// unit, 0 to the second.
std::vector<int> unit_advances(FaceInstance& face, LPCWSTR text, int count) {
    std::vector<int> advances(static_cast<std::size_t>(std::max(count, 0)), 0);
    for (int i = 0; i < count;) {
        int units;
        const char32_t cp = code_point_at(text, count, i, &units);
        advances[i] = face.advance(cp);
        i += units;
    }
    return advances;
}

i64 total(const std::vector<int>& advances) {
    i64 sum = 0;
    for (int a : advances) sum += a;
    return sum;
}

// Blends one glyph's coverage in color onto the canvas inside clip.
// Callers clip: clip lies inside the canvas.
void blend_glyph(const Canvas& c, const Glyph& g, i64 left, i64 top, const RECT& clip, std::uint32_t color,
                 BYTE index) {
    const i64 x0 = std::max<i64>(left, clip.left), x1 = std::min<i64>(left + g.width, clip.right);
    const i64 y0 = std::max<i64>(top, clip.top), y1 = std::min<i64>(top + g.height, clip.bottom);
    if (x0 >= x1 || y0 >= y1) return;
    const unsigned sr = (color >> 16) & 0xFF, sg = (color >> 8) & 0xFF, sb = color & 0xFF;
    for (i64 y = y0; y < y1; ++y) {
        const std::uint8_t* cov = g.coverage.data() + (y - top) * g.width + (x0 - left);
        if (c.bitsPerPixel == 32) {
            std::uint32_t* p = c.row32(static_cast<int>(y)) + x0;
            for (i64 x = x0; x < x1; ++x, ++p, ++cov) {
                const unsigned a = *cov;
                if (a == 0) continue;
                if (a == 255) {
                    *p = color;
                    continue;
                }
                const unsigned d = *p;
                const unsigned dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
                const unsigned r = dr + ((static_cast<int>(sr) - static_cast<int>(dr)) * static_cast<int>(a) + (sr > dr ? 127 : -127)) / 255;
                const unsigned gg = dg + ((static_cast<int>(sg) - static_cast<int>(dg)) * static_cast<int>(a) + (sg > dg ? 127 : -127)) / 255;
                const unsigned b = db + ((static_cast<int>(sb) - static_cast<int>(db)) * static_cast<int>(a) + (sb > db ? 127 : -127)) / 255;
                *p = (r << 16) | (gg << 8) | b;
            }
        } else {
            // A palette cannot blend: half coverage or more takes the colour.
            BYTE* p = c.row8(static_cast<int>(y)) + x0;
            for (i64 x = x0; x < x1; ++x, ++p, ++cov) {
                if (*cov >= 128) *p = index;
            }
        }
    }
}

// Fills device rect r, limited to extra when given.
void fill_limited(const DeviceContext& dc, RECT r, const std::optional<RECT>& extra, COLORREF color) {
    if (extra && !IntersectRect(&r, &r, &*extra)) return;
    dc.fill(r, color);
}

// Draws text whose cell's top-left corner is the device point (x, y), with
// the given unit advances.
void draw_run(DeviceContext& dc, i64 x, i64 y, LPCWSTR text, int count, const std::vector<int>& advances,
              const std::optional<RECT>& extra) {
    const platform::gdi::Font* font = dc.font();
    if (font == nullptr) return;
    FaceInstance& face = font->face();
    const Canvas c = dc.canvas();
    if (!c.valid()) return;
    const i64 width = total(advances);
    if (dc.bkMode == OPAQUE) {
        fill_limited(dc, RECT{saturate(x), saturate(y), saturate(x + width), saturate(y + face.height)}, extra,
                     dc.bkColor);
    }
    std::vector<RECT> clips = dc.clip_rects();
    if (extra) {
        std::vector<RECT> limited;
        for (const RECT& r : clips) {
            RECT piece;
            if (IntersectRect(&piece, &r, &*extra)) limited.push_back(piece);
        }
        clips.swap(limited);
    }
    const std::uint32_t color = platform::gdi::to_xrgb(dc.textColor);
    const BYTE index = platform::gdi::canvas_color(c, dc.textColor).index;
    const i64 baseline = y + face.ascent;
    i64 pen = x;
    for (int i = 0; i < count;) {
        int units;
        const char32_t cp = code_point_at(text, count, i, &units);
        const Glyph& g = face.glyph(cp);
        if (!g.coverage.empty()) {
            for (const RECT& clip : clips) blend_glyph(c, g, pen + g.left, baseline - g.top, clip, color, index);
        }
        for (int k = 0; k < units; ++k) pen += advances[i + k];
        i += units;
    }
    const LOGFONTW& lf = font->logfont();
    auto line = [&](i64 top) {
        fill_limited(dc, RECT{saturate(x), saturate(top), saturate(x + width), saturate(top + face.lineThickness)},
                     extra, dc.textColor);
    };
    if (lf.lfUnderline) line(baseline + face.underlineOffset);
    if (lf.lfStrikeOut) line(baseline - face.strikeOffset);
}

}  // namespace

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || (text == nullptr && count > 0) || count > 0x7FFFFFFF) return FALSE;
    std::optional<RECT> extra;
    if (rect && (options & ETO_CLIPPED)) extra = dc->to_device(*rect);
    if (rect && (options & ETO_OPAQUE)) dc->fill(dc->to_device(*rect), dc->bkColor);
    if (count == 0 || dc->font() == nullptr) return TRUE;
    const int n = static_cast<int>(count);
    std::vector<int> advances;
    if (dx) advances.assign(dx, dx + n);
    else advances = unit_advances(dc->font()->face(), text, n);
    draw_run(*dc, dc->device_x(x), dc->device_y(y), text, n, advances, extra);
    return TRUE;
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    if (count < 0) return FALSE;
    return ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL GetTextExtentExPointW(HDC handle, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT partial,
                           LPSIZE size) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || count < 0 || (text == nullptr && count > 0) || dc->font() == nullptr) return FALSE;
    FaceInstance& face = dc->font()->face();
    const std::vector<int> advances = unit_advances(face, text, count);
    i64 sum = 0;
    int fitting = 0;
    for (int i = 0; i < count; ++i) {
        sum += advances[i];
        if (sum <= maxExtent) fitting = i + 1;
        if (partial) partial[i] = saturate(sum);
    }
    if (fit) *fit = fitting;
    if (size) *size = SIZE{saturate(sum), face.height};
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    return GetTextExtentExPointW(dc, text, count, 0, nullptr, nullptr, size);
}

namespace {

struct Line {
    int start;   // in the display text
    int length;  // units drawn
    i64 width;
};

// Breaks [start, end) of the display text into lines no wider than limit:
// between words where possible, between letters for a word that is wider
// than the limit by itself. Spaces at a break are not drawn.
void wrap(const std::u16string& s, const std::vector<int>& adv, int start, int end, i64 limit,
          std::vector<Line>& lines) {
    int lineStart = start;
    while (true) {
        i64 width = 0;
        int i = lineStart;
        int lastBreak = -1;  // end of the last word that fitted
        while (i < end) {
            if (s[i] == u' ') {
                if (i > lineStart && s[i - 1] != u' ') lastBreak = i;
            } else if (width + adv[i] > limit && i > lineStart) {
                break;
            }
            width += adv[i];
            ++i;
        }
        if (i >= end) {
            int stop = end;
            while (stop > lineStart && s[stop - 1] == u' ') --stop;
            i64 w = 0;
            for (int k = lineStart; k < stop; ++k) w += adv[k];
            lines.push_back(Line{lineStart, stop - lineStart, w});
            return;
        }
        const int stop = lastBreak > lineStart ? lastBreak : i;
        i64 w = 0;
        for (int k = lineStart; k < stop; ++k) w += adv[k];
        lines.push_back(Line{lineStart, stop - lineStart, w});
        lineStart = stop;
        while (lineStart < end && s[lineStart] == u' ') ++lineStart;
        if (lineStart >= end) return;
    }
}

}  // namespace

int DrawTextW(HDC handle, LPCWSTR text, int count, LPRECT rect, UINT format) {
    DeviceContext* dc = DeviceContext::from(handle);
    if (dc == nullptr || rect == nullptr || text == nullptr || dc->font() == nullptr) return 0;
    if (count < 0) count = lstrlenW(text);
    FaceInstance& face = dc->font()->face();

    // The text as drawn, and the mnemonic letter's position in it.
    std::u16string s;
    s.reserve(static_cast<std::size_t>(count));
    int mnemonic = -1;
    for (int i = 0; i < count; ++i) {
        WCHAR u = text[i];
        if (!(format & DT_NOPREFIX) && u == u'&') {
            if (i + 1 >= count) break;
            u = text[++i];
            if (u != u'&') mnemonic = static_cast<int>(s.size());
        }
        if ((format & DT_SINGLELINE) && (u == u'\r' || u == u'\n')) continue;
        s.push_back(u);
    }
    const int n = static_cast<int>(s.size());
    const std::vector<int> adv = unit_advances(face, s.data(), n);

    std::vector<Line> lines;
    const i64 limit = static_cast<i64>(rect->right) - rect->left;
    int paragraph = 0;
    for (int i = 0; i <= n; ++i) {
        const bool end = i == n;
        if (!end && (format & DT_SINGLELINE)) continue;
        if (!end && s[i] != u'\r' && s[i] != u'\n') continue;
        if (format & DT_WORDBREAK) {
            wrap(s, adv, paragraph, i, limit, lines);
        } else {
            i64 w = 0;
            for (int k = paragraph; k < i; ++k) w += adv[k];
            lines.push_back(Line{paragraph, i - paragraph, w});
        }
        if (!end && s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n') ++i;
        paragraph = i + 1;
    }
    if (lines.empty()) lines.push_back(Line{0, 0, 0});

    const i64 lineHeight = face.height;
    const i64 height = lineHeight * static_cast<i64>(lines.size());
    if (format & DT_CALCRECT) {
        i64 widest = 0;
        for (const Line& l : lines) widest = std::max(widest, l.width);
        rect->right = saturate(static_cast<i64>(rect->left) + widest);
        rect->bottom = saturate(static_cast<i64>(rect->top) + height);
        return saturate(height);
    }

    i64 top = rect->top;
    const bool single = (format & DT_SINGLELINE) != 0;
    const i64 boxHeight = static_cast<i64>(rect->bottom) - rect->top;
    if (single && (format & DT_VCENTER)) top += (boxHeight - height) / 2;
    else if (single && (format & DT_BOTTOM)) top = static_cast<i64>(rect->bottom) - height;

    std::optional<RECT> extra;
    if (!(format & DT_NOCLIP)) extra = dc->to_device(*rect);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const Line& l = lines[k];
        i64 x = rect->left;
        if (format & DT_CENTER) x += (limit - l.width) / 2;
        else if (format & DT_RIGHT) x = static_cast<i64>(rect->right) - l.width;
        const i64 y = top + lineHeight * static_cast<i64>(k);
        std::vector<int> lineAdv(adv.begin() + l.start, adv.begin() + l.start + l.length);
        draw_run(*dc, dc->device_x(x), dc->device_y(y), s.data() + l.start, l.length, lineAdv, extra);
        if (mnemonic >= l.start && mnemonic < l.start + l.length) {
            i64 offset = 0;
            for (int u = l.start; u < mnemonic; ++u) offset += adv[u];
            const i64 ux = dc->device_x(x + offset);
            const i64 uy = dc->device_y(y) + face.ascent + face.underlineOffset;
            fill_limited(*dc,
                         RECT{saturate(ux), saturate(uy), saturate(ux + adv[mnemonic]),
                              saturate(uy + face.lineThickness)},
                         extra, dc->textColor);
        }
    }
    const i64 result = (single && (format & (DT_VCENTER | DT_BOTTOM))) ? top + height - rect->top : height;
    return saturate(result);
}
