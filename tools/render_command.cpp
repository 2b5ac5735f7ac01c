// mapfolio-tool render: a map as the program shows it, for authors to
// preview. The map of a database is loaded with its border images into a
// window on the headless screen, zoomed, centred and panned the way the
// program does it, and the window's own pixels are written as a PNG.
#include "mapdb/map.h"
#include "mapview/map_view.h"
#include "platform/win32.h"
#include "platform/testing/headless.h"
#include "tools/tool_commands.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: mapfolio-tool render DAB OUT.png [--zoom P] [--center X,Y] [--size WxH] [--pan DX,DY]...\n"
    "  --zoom P      one of 250, 200, 150, 100, 50, 35, 25 (default 100)\n"
    "  --center X,Y  the map point in the middle of the window (default the image's middle)\n"
    "  --size WxH    the window's client size (default 240x268, at most 8192 a side)\n"
    "  --pan DX,DY   a drag step of DX,DY window pixels, drawing the overview frame; repeatable\n";

constexpr int kMaxSide = 8192;
// The shell's navigation bar above the window and its menu bar below.
constexpr int kBarHeight = 26;

struct RenderOptions {
    std::string dab;
    std::string out;
    int zoom = 100;
    bool centred = false;
    int centerX = 0;
    int centerY = 0;
    int width = 240;
    int height = 268;
    std::vector<std::pair<int, int>> pans;
};

bool parse_int(const std::string& text, long low, long high, int* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || v < low || v > high) return false;
    *value = static_cast<int>(v);
    return true;
}

// "A<sep>B" with both parts integers in [low, high].
bool parse_pair(const std::string& text, char separator, long low, long high, int* a, int* b) {
    const std::size_t at = text.find(separator);
    if (at == std::string::npos) return false;
    return parse_int(text.substr(0, at), low, high, a) && parse_int(text.substr(at + 1), low, high, b);
}

bool parse_options(const ToolArgs& args, RenderOptions* o) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--zoom" && hasValue) {
            if (!parse_int(args[++i], 0, 1000, &o->zoom)) return false;
            if (std::find(std::begin(ZoomTable), std::end(ZoomTable), o->zoom) == std::end(ZoomTable) || o->zoom == 0)
                return false;
        } else if (a == "--center" && hasValue) {
            if (!parse_pair(args[++i], ',', INT32_MIN, INT32_MAX, &o->centerX, &o->centerY)) return false;
            o->centred = true;
        } else if (a == "--size" && hasValue) {
            if (!parse_pair(args[++i], 'x', 1, kMaxSide, &o->width, &o->height)) return false;
        } else if (a == "--pan" && hasValue) {
            int dx = 0, dy = 0;
            if (!parse_pair(args[++i], ',', -100000, 100000, &dx, &dy)) return false;
            o->pans.emplace_back(dx, dy);
        } else if (!a.empty() && a[0] == '-') {
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return false;
    o->dab = positional[0];
    o->out = positional[1];
    return true;
}

LRESULT render_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A borderless window of the given client size below the navigation bar, on
// a screen made just large enough for it and the two bars.
HWND create_window(int width, int height) {
    platform::headless::reset(SIZE{std::max(width, 240), std::max(height + 2 * kBarHeight, 320)});
    WNDCLASSW wc{};
    wc.lpfnWndProc = render_proc;
    wc.lpszClassName = u"MapfolioRender";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"MapfolioRender", u"Render", WS_VISIBLE, 0, kBarHeight, width, height, nullptr,
                                  nullptr, nullptr, nullptr);
    // The window's first paint goes by before the map is drawn.
    platform::headless::run_until_idle();
    return window;
}

void print_map_error(const CMap& map) {
    WCHAR text[MAX_PATH];
    map.GetError(text);
    std::fprintf(stderr, "mapfolio-tool render: %s\n", platform::to_utf8(text).c_str());
}

}  // namespace

int RunRenderCommand(const ToolArgs& args) {
    RenderOptions o;
    if (!parse_options(args, &o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    HWND window = create_window(o.width, o.height);
    if (window == nullptr) {
        std::fputs("mapfolio-tool render: the window could not be created\n", stderr);
        return 1;
    }
    const std::u16string dab = platform::from_utf8(o.dab);
    CMap map;
    map.Open(dab.c_str());
    if (!map.dataLoaded) {
        print_map_error(map);
        map.Close();
        return 1;
    }
    if (!map.LoadImage(window)) {
        print_map_error(map);
        map.Close();
        return 1;
    }
    CMapView* view = map.mapView;
    view->SetZoomPercent(o.zoom);
    if (o.centred) view->CenterOn(o.centerX, o.centerY);
    else view->CenterOnMiddle();
    for (const auto& [dx, dy] : o.pans) view->Pan(dx, dy);

    const platform::Surface pixels = platform::headless::window_pixels(window);
    map.Close();
    std::string error;
    if (!platform::headless::write_png(pixels, o.out, &error)) {
        std::fprintf(stderr, "mapfolio-tool render: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
