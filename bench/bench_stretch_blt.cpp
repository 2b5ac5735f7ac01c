// StretchBlt of an 8-bit 4000 x 4000 map onto a 240 x 268 window and onto a
// 1920 x 1080 surface at each zoom of the map view, side by side with SDL2's
// software scaler (SDL_SoftStretch from the same image converted once to the
// window's 32-bit format, as SDL needs). Reports ns per destination pixel
// and, at the end, the ratio SDL / ours (above 1: ours is faster).
#include "platform/gdi/surface.h"
#include "platform/win32.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kImage = 4000;
constexpr int kZooms[] = {250, 200, 150, 100, 50, 35, 25};
struct Target {
    const char* name;
    int width, height;
};
constexpr Target kTargets[] = {{"240x268", 240, 268}, {"1920x1080", 1920, 1080}};

// The map: blocks of colour with speckle, so neither side benefits from a
// uniform image.
struct Map {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    SDL_Surface* sdl32 = nullptr;

    Map() {
        BITMAPINFO256 info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kImage;
        info.bmiHeader.biHeight = kImage;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 8;
        SDL_Color colors[256];
        for (int k = 0; k < 256; ++k) {
            info.bmiColors[k] = RGBQUAD{static_cast<BYTE>(k * 3), static_cast<BYTE>(k * 5), static_cast<BYTE>(k * 7), 0};
            colors[k] = SDL_Color{static_cast<Uint8>(k * 7), static_cast<Uint8>(k * 5), static_cast<Uint8>(k * 3), 255};
        }
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
        SDL_Surface* sdl8 = SDL_CreateRGBSurfaceWithFormat(0, kImage, kImage, 8, SDL_PIXELFORMAT_INDEX8);
        SDL_SetPaletteColors(sdl8->format->palette, colors, 0, 256);
        std::mt19937 random(7);
        auto* ours = static_cast<BYTE*>(bits);
        auto* theirs = static_cast<Uint8*>(sdl8->pixels);
        for (int y = 0; y < kImage; ++y) {
            for (int x = 0; x < kImage; ++x) {
                const BYTE v = static_cast<BYTE>(((x / 37) * 7 + (y / 29) * 13 + (random() % 5 == 0 ? random() % 256 : 0)) & 0xFF);
                ours[static_cast<std::size_t>(kImage - 1 - y) * kImage + x] = v;  // bottom-up rows
                theirs[static_cast<std::size_t>(y) * sdl8->pitch + x] = v;
            }
        }
        sdl32 = SDL_ConvertSurfaceFormat(sdl8, SDL_PIXELFORMAT_XRGB8888, 0);
        SDL_FreeSurface(sdl8);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
    }
};

Map& map() {
    static Map m;
    return m;
}

// The viewport the map view computes for a window and zoom, centred.
struct View {
    int srcX, srcY, srcW, srcH, dstX, dstY, dstW, dstH;
};
View view_for(const Target& t, int zoom) {
    View v{};
    auto axis = [&](int client, int* src, int* srcLen, int* dst, int* dstLen) {
        *srcLen = client * 100 / zoom;
        if (*srcLen > kImage) {
            *srcLen = kImage;
            *dstLen = std::min(client, kImage * zoom / 100);
            *dst = (client - *dstLen) / 2;
            *src = 0;
        } else {
            *dstLen = client;
            *dst = 0;
            *src = (kImage - *srcLen) / 2;
        }
    };
    axis(t.width, &v.srcX, &v.srcW, &v.dstX, &v.dstW);
    axis(t.height, &v.srcY, &v.srcH, &v.dstY, &v.dstH);
    return v;
}

void set_counter(benchmark::State& state, const View& v) {
    state.counters["ns_per_px"] = benchmark::Counter(static_cast<double>(v.dstW) * v.dstH,
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void ours(benchmark::State& state, Target t, int zoom) {
    platform::Surface surface(t.width, t.height);
    HDC dc = platform::gdi::create_surface_dc(&surface, POINT{0, 0}, RECT{0, 0, t.width, t.height});
    const View v = view_for(t, zoom);
    for (auto _ : state) {
        StretchBlt(dc, v.dstX, v.dstY, v.dstW, v.dstH, map().dc, v.srcX, v.srcY, v.srcW, v.srcH, SRCCOPY);
        benchmark::DoNotOptimize(surface.pixels());
        benchmark::ClobberMemory();
    }
    set_counter(state, v);
    platform::gdi::release_surface_dc(dc);
}

void sdl(benchmark::State& state, Target t, int zoom) {
    SDL_Surface* window = SDL_CreateRGBSurfaceWithFormat(0, t.width, t.height, 32, SDL_PIXELFORMAT_XRGB8888);
    const View v = view_for(t, zoom);
    SDL_Rect src{v.srcX, v.srcY, v.srcW, v.srcH};
    SDL_Rect dst{v.dstX, v.dstY, v.dstW, v.dstH};
    for (auto _ : state) {
        if (SDL_SoftStretch(map().sdl32, &src, window, &dst) != 0) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        benchmark::DoNotOptimize(window->pixels);
        benchmark::ClobberMemory();
    }
    set_counter(state, v);
    SDL_FreeSurface(window);
}

// Collects ns per pixel by benchmark name for the closing ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto found = run.counters.find("ns_per_px");
            if (found != run.counters.end() && run.run_type == Run::RT_Iteration)
                m_nsPerPixel[run.benchmark_name()] = found->second.value * 1e9;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-10s %5s %14s %14s %12s\n", "target", "zoom", "ours ns/px", "SDL ns/px", "SDL / ours");
        for (const Target& t : kTargets) {
            for (int zoom : kZooms) {
                const std::string suffix = std::string("/") + t.name + "/" + std::to_string(zoom);
                auto a = m_nsPerPixel.find("StretchBlt" + suffix), b = m_nsPerPixel.find("SDL_SoftStretch" + suffix);
                if (a == m_nsPerPixel.end() || b == m_nsPerPixel.end()) continue;
                std::printf("%-10s %4d%% %14.3f %14.3f %12.2f\n", t.name, zoom, a->second, b->second,
                            b->second / a->second);
            }
        }
    }

private:
    std::map<std::string, double> m_nsPerPixel;
};

}  // namespace

int main(int argc, char** argv) {
    map();  // built before timing starts
    for (const Target& t : kTargets) {
        for (int zoom : kZooms) {
            const std::string suffix = std::string("/") + t.name + "/" + std::to_string(zoom);
            benchmark::RegisterBenchmark(("StretchBlt" + suffix).c_str(), ours, t, zoom);
            benchmark::RegisterBenchmark(("SDL_SoftStretch" + suffix).c_str(), sdl, t, zoom);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
