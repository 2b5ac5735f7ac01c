// One drag step of the map view (CMapView::Pan of 10 window pixels, which
// draws the overview frame and then the map around it into the window) on a
// 4000 x 4000 street map, in the handheld's 240 x 268 window and in a
// 1920 x 1080 one, at 100 % and 25 %. The peer, measured in the same run,
// is a plain memcpy of the destination's pixels: the least any redraw of
// that window can cost. Reports microseconds per step and, at the end, the
// ratio step / memcpy (the goal is at most 4).
#include "mapview/map_view.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "tools/sample_images.h"
#include "tools/twk_encoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kImage = 4000;
constexpr int kZooms[] = {100, 25};
struct Target {
    const char* name;
    int width, height;
};
constexpr Target kTargets[] = {{"240x268", 240, 268}, {"1920x1080", 1920, 1080}};

// The map image, encoded once into a temporary file.
const std::string& map_file() {
    static const std::string path = [] {
        char dir[] = "/tmp/mapfolio-bench-XXXXXX";
        if (mkdtemp(dir) == nullptr) std::abort();
        const std::string file = std::string(dir) + "/street.twk";
        auto bytes = encode_twk(make_street_map(kImage, kImage), TwkEncodeOptions{});
        if (!bytes) std::abort();
        std::ofstream(file, std::ios::binary) << *bytes;
        return file;
    }();
    return path;
}

void remove_map_file() {
    std::remove(map_file().c_str());
    const std::string dir = map_file().substr(0, map_file().rfind('/'));
    std::remove(dir.c_str());
}

LRESULT window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND make_window(const Target& t) {
    platform::headless::reset(SIZE{std::max(t.width, 240), t.height + 52});
    WNDCLASSW wc{};
    wc.lpfnWndProc = window_proc;
    wc.lpszClassName = u"BenchMapView";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"BenchMapView", u"Map", WS_VISIBLE, 0, 26, t.width, t.height, nullptr, nullptr,
                                  nullptr, nullptr);
    platform::headless::run_until_idle();
    return window;
}

void drag_step(benchmark::State& state, Target t, int zoom) {
    HWND window = make_window(t);
    const std::u16string path = platform::from_utf8(map_file());
    CMapView view;
    view.Open(path.c_str(), window);
    if (!view.open) {
        state.SkipWithError("the map did not open");
        view.Close();
        return;
    }
    view.SetZoomPercent(zoom);
    view.CenterOnMiddle();
    // At 25 % the whole 4000 x 4000 image fits into 1920 x 1080 (1000 x
    // 1000 pixels), and a drag step rightly draws nothing.
    if (view.sourceRect.width >= view.imageWidth && view.sourceRect.height >= view.imageHeight)
        state.SetLabel("whole image in view: nothing to draw");
    // Back and forth, so that the view never reaches an edge.
    int direction = 10;
    for (auto _ : state) {
        view.Pan(direction, 0);
        direction = -direction;
        benchmark::ClobberMemory();
    }
    view.Close();
}

void copy_floor(benchmark::State& state, Target t) {
    const std::size_t n = static_cast<std::size_t>(t.width) * t.height;
    std::vector<std::uint32_t> from(n, 0x00123456), to(n);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), n * 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

// Collects microseconds per iteration by name for the closing ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            m_us[run.benchmark_name()] = run.GetAdjustedRealTime();
            m_labels[run.benchmark_name()] = run.report_label;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-10s %5s %14s %14s %14s\n", "window", "zoom", "step us", "memcpy us", "step / memcpy");
        for (const Target& t : kTargets) {
            for (int zoom : kZooms) {
                auto a = m_us.find(std::string("Pan/") + t.name + "/" + std::to_string(zoom));
                auto b = m_us.find(std::string("memcpy/") + t.name);
                if (a == m_us.end() || b == m_us.end()) continue;
                std::printf("%-10s %4d%% %14.2f %14.2f %14.2f  %s\n", t.name, zoom, a->second, b->second,
                            a->second / b->second, m_labels[a->first].c_str());
            }
        }
    }

private:
    std::map<std::string, double> m_us;
    std::map<std::string, std::string> m_labels;
};

}  // namespace

int main(int argc, char** argv) {
    map_file();  // made before timing starts
    for (const Target& t : kTargets) {
        benchmark::RegisterBenchmark((std::string("memcpy/") + t.name).c_str(), copy_floor, t)
            ->Unit(benchmark::kMicrosecond);
        for (int zoom : kZooms) {
            benchmark::RegisterBenchmark((std::string("Pan/") + t.name + "/" + std::to_string(zoom)).c_str(),
                                         drag_step, t, zoom)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    remove_map_file();
    return 0;
}
