// Fuzz target: any sequence of map view operations with any 32-bit
// coordinates, pen widths and zoom percentages, on views of any client size
// and of any image size up to the bitmap's (0 included), must neither
// overflow, divide by zero nor touch memory outside a buffer. The test town
// is opened once with its border images; every input starts from the same
// viewport.
#include "mapview/map_view.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"

#include <sanitizer/lsan_interface.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // Mostly small numbers, sometimes any 32-bit value.
    std::int32_t value() {
        const std::uint8_t kind = byte();
        if (kind < 0xC0) return static_cast<std::int32_t>(kind) * 8 - 256;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return static_cast<std::int32_t>(v);
    }
    std::int32_t below(std::int32_t limit) { return static_cast<std::int32_t>((byte() << 8 | byte()) % (limit + 1)); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

LRESULT window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Fixture {
    HWND window = nullptr;
    CMapView view;
    std::int32_t width = 0, height = 0;

    Fixture() {
        platform::headless::reset(SIZE{320, 360});
        WNDCLASSW wc{};
        wc.lpfnWndProc = window_proc;
        wc.lpszClassName = u"FuzzMapView";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, u"FuzzMapView", u"Map", WS_VISIBLE, 0, 26, 320, 300, nullptr, nullptr, nullptr,
                                 nullptr);
        const std::string town = MAPFOLIO_FUZZ_TOWN;
        const std::u16string map = platform::from_utf8(town + "/town.twk");
        view.Open(map.c_str(), window);
        if (!view.open) std::abort();
        const char* borders[] = {"top.twk", "left.twk", "bottom.twk", "top.twk"};
        for (int slot = 0; slot < 4; ++slot) {
            const std::u16string border = platform::from_utf8(town + "/" + borders[slot]);
            view.LoadBorderImage(border.c_str(), slot);
        }
        width = view.imageWidth;
        height = view.imageHeight;
    }
};

}  // namespace

Fixture* g_fixture = nullptr;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The font system's configuration, loaded with the first text, holds
    // its blocks through encoded offsets that the leak checker cannot
    // follow; it is loaded here, with the checker looking away, and freed
    // at exit. The first presented screen is made here too.
    __lsan_disable();
    g_fixture = new Fixture;
    g_fixture->view.ZoomIn();
    __lsan_enable();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fixture& fixture = *g_fixture;
    CMapView& view = fixture.view;
    view.imageWidth = fixture.width;
    view.imageHeight = fixture.height;
    view.clientWidth = 240;
    view.clientHeight = 268;
    view.SetZoomPercent(100);
    view.CenterOnMiddle();

    Reader in(data, size);
    for (int steps = 0; steps < 32 && !in.done(); ++steps) {
        switch (in.byte() % 16) {
            case 0: view.Refresh(); break;
            case 1: {
                const std::int32_t x = in.value();
                view.CenterOn(x, in.value());
                break;
            }
            case 2: view.CenterOnMiddle(); break;
            case 3: {
                const std::int32_t dx = in.value();
                view.Pan(dx, in.value());
                break;
            }
            case 4: view.ZoomIn(); break;
            case 5: view.ZoomOut(); break;
            case 6: view.CycleZoom(); break;
            case 7: view.SetZoomPercent(in.value()); break;
            case 8: {
                std::int32_t x = in.value(), y = in.value();
                view.ScreenToMap(&x, &y);
                break;
            }
            case 9: {
                std::int32_t x = in.value(), y = in.value();
                view.MapToScreen(&x, &y);
                break;
            }
            case 10: {
                const std::int32_t x1 = in.value(), y1 = in.value(), x2 = in.value(), y2 = in.value();
                view.DrawLine(x1, y1, x2, y2, in.byte() % 9);
                break;
            }
            case 11: {
                const std::int32_t l = in.value(), t = in.value(), r = in.value(), b = in.value();
                const std::int32_t pen = (in.byte() & 1) ? in.value() : in.byte() % 9;
                view.DrawMapRect(l, t, r, b, pen, 0x00FF0000);
                break;
            }
            case 12: view.DrawOverview(); break;
            case 13: view.DrawZoomLabel(); break;
            case 14:
                // Client sizes as a window can have them.
                view.clientWidth = in.below(400);
                view.clientHeight = in.below(400);
                break;
            default:
                // An image no larger than its bitmap, empty included.
                view.imageWidth = in.below(fixture.width);
                view.imageHeight = in.below(fixture.height);
                break;
        }
    }
    return 0;
}
