// Fuzz target: any sequence of drawing calls with any coordinates, sizes,
// pen widths, font heights and text must stay inside the window's hard clip
// and never touch memory outside a buffer.
#include "platform/gdi/surface.h"
#include "platform/win32.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int value() {
        // Mostly small numbers, sometimes any 32-bit value.
        const std::uint8_t kind = byte();
        if (kind < 0xC0) return static_cast<int>(kind) - 64;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return static_cast<int>(v);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

HBITMAP make_bitmap(int bits, int width, int height) {
    BITMAPINFO256 info = platform::bitmap_info_256(width, bits == 8 ? height : -height, static_cast<WORD>(bits));
    for (int k = 0; k < 256; ++k) info.bmiColors[k] = RGBQUAD{static_cast<BYTE>(k), 0, static_cast<BYTE>(255 - k), 0};
    void* pixels = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (pixels) std::memset(pixels, 0x5A, static_cast<std::size_t>((width * bits / 8 + 3) / 4 * 4) * height);
    return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    constexpr int kW = 40, kH = 36;
    const RECT hardClip{6, 5, 33, 30};
    platform::Surface surface(kW, kH);
    HDC dc = platform::gdi::create_surface_dc(&surface, POINT{in.value(), in.value()}, hardClip);
    HBITMAP map8 = make_bitmap(8, 13, 9), map32 = make_bitmap(32, 7, 11);
    HDC mem8 = CreateCompatibleDC(nullptr), mem32 = CreateCompatibleDC(nullptr);
    HGDIOBJ old8 = SelectObject(mem8, map8), old32 = SelectObject(mem32, map32);
    std::vector<HGDIOBJ> created;
    const HGDIOBJ stockPen = GetStockObject(BLACK_PEN), stockBrush = GetStockObject(WHITE_BRUSH),
                  stockFont = GetStockObject(SYSTEM_FONT);

    for (int step = 0; step < 64 && !in.done(); ++step) {
        const std::uint8_t op = in.byte();
        HDC target = (op & 0x80) ? mem32 : dc;
        switch (op % 16) {
            case 0: {
                RECT r{in.value(), in.value(), in.value(), in.value()};
                FillRect(target, &r, static_cast<HBRUSH>(GetStockObject(in.byte() % 6)));
                break;
            }
            case 1:
                Rectangle(target, in.value(), in.value(), in.value(), in.value());
                break;
            case 2: {
                POINT points[6];
                const int n = in.byte() % 7;
                for (int i = 0; i < n; ++i) points[i] = POINT{in.value(), in.value()};
                Polyline(target, points, n);
                break;
            }
            case 3: {
                HPEN pen = CreatePen(in.byte() % 6, in.value(), RGB(in.byte(), in.byte(), in.byte()));
                if (pen && SelectObject(dc, pen)) created.push_back(pen);
                else if (pen) DeleteObject(pen);
                break;
            }
            case 4: {
                HBRUSH brush = CreateSolidBrush(RGB(in.byte(), in.byte(), in.byte()));
                if (SelectObject(dc, brush)) created.push_back(brush);
                break;
            }
            case 5:
                ExcludeClipRect(target, in.value(), in.value(), in.value(), in.value());
                break;
            case 6:
                IntersectClipRect(target, in.value(), in.value(), in.value(), in.value());
                break;
            case 7:
                SelectClipRgn(target, nullptr);
                break;
            case 8:
                BitBlt(target, in.value(), in.value(), in.value(), in.value(), (op & 0x40) ? mem8 : dc, in.value(),
                       in.value(), SRCCOPY);
                break;
            case 9:
                StretchBlt(target, in.value(), in.value(), in.value(), in.value(), (op & 0x40) ? mem8 : mem32,
                           in.value(), in.value(), in.value(), in.value(), SRCCOPY);
                break;
            case 10:
                SetPixel(target, in.value(), in.value(), RGB(in.byte(), 0, 0));
                GetPixel(mem8, in.value(), in.value());
                break;
            case 11: {
                LOGFONTW lf{};
                // Heights stay moderate so that each run stays quick.
                lf.lfHeight = in.value() % 80;
                lf.lfWeight = in.value();
                lf.lfItalic = in.byte() & 1;
                lf.lfUnderline = in.byte() & 1;
                lf.lfStrikeOut = in.byte() & 1;
                HFONT font = CreateFontIndirectW(&lf);
                if (SelectObject(dc, font)) created.push_back(font);
                break;
            }
            case 12:
            case 13: {
                WCHAR text[12];
                const int n = in.byte() % 12;
                for (int i = 0; i < n; ++i) text[i] = static_cast<WCHAR>((in.byte() << 8) | in.byte());
                RECT r{in.value(), in.value(), in.value(), in.value()};
                SetBkMode(dc, (in.byte() & 1) ? OPAQUE : TRANSPARENT);
                if (op % 16 == 12) ExtTextOutW(target, in.value(), in.value(), in.byte() & 6, &r, text, n, nullptr);
                else DrawTextW(target, text, n, &r, in.byte() | (static_cast<UINT>(in.byte()) << 8));
                break;
            }
            case 14: {
                SIZE s;
                int fit, partial[12];
                WCHAR text[12] = {u'W', u'i', 0xD83D, 0xDDFA, u'x'};
                GetTextExtentExPointW(dc, text, in.byte() % 12, in.value(), &fit, partial, &s);
                break;
            }
            default:
                SetTextColor(dc, RGB(in.byte(), in.byte(), in.byte()));
                SetBkColor(dc, RGB(in.byte(), in.byte(), in.byte()));
                break;
        }
    }

    // Nothing outside the window's hard clip was touched.
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool inside = x >= hardClip.left && x < hardClip.right && y >= hardClip.top && y < hardClip.bottom;
            if (!inside && surface.row(y)[x] != 0x00FFFFFFu) std::abort();
        }

    SelectObject(dc, stockPen);
    SelectObject(dc, stockBrush);
    SelectObject(dc, stockFont);
    for (HGDIOBJ object : created) DeleteObject(object);
    SelectObject(mem8, old8);
    SelectObject(mem32, old32);
    DeleteDC(mem8);
    DeleteDC(mem32);
    DeleteObject(map8);
    DeleteObject(map32);
    platform::gdi::release_surface_dc(dc);
    return 0;
}
