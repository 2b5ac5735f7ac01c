// The program's navigation, run in this process on the headless screen, on
// a guide of three 4000 x 4000 street maps generated into a temporary
// directory:
//   Tap      a tap on a place, from the stylus release to the frame
//            presented with its popup;
//   Forward  Forward along a link to a map whose image must be decoded;
//   Back     Back from there to the home map.
// Each in the handheld's screen (a 240 x 268 map window) and in a 1920 x
// 1080 one. The peers, measured in the same run: one full redraw of the
// map window (CMapView::Refresh of the home map's view) and the decode of
// the target map's image alone (DecodeMapImage). The table at the end
// gives the ratios; the goals are Tap at most 3 redraws, Forward at most
// 1.15 decodes and Back at most 2 redraws.
//
// With --real-pauses (the web benchmark's native peer, bench/web/), the
// pauses between the steps also pass in real time and Forward is a tap on
// its menu-bar button, as in the browser page, whose program runs on the
// real clock: each timed release then comes, as a person's does, 50 ms
// after the press, on a machine that has idled meanwhile. Each repetition
// then times one action, after doing it once untimed, as the page does.
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/program_start.h"
#include "mapdb/map_catalogue.h"
#include "mapview/image_decoder.h"
#include "mapview/map_view.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "tools/sample_images.h"
#include "tools/twk_encoder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace headless = platform::headless;

namespace {

constexpr int kImage = 4000;

struct Screen {
    const char* name;
    SIZE size;
};
// The handheld's screen leaves the map window 240 x 268 pixels.
constexpr Screen kScreens[] = {{"240x320", SIZE{240, 320}}, {"1920x1080", SIZE{1920, 1080}}};

// Map points. The home map opens centred on (2000, 2000) at 100 %, so both
// lie in view on either screen: the place the tap selects, and the middle
// of the hot rectangle of the link to the far map (well over 100 pixels
// from the place, so that its tap selects nothing).
constexpr POINT kPlace{2040, 2040};
constexpr POINT kLinkTap{1930, 1930};

// Writes the guide into the directory d.
void write_guide(const std::string& d) {
    const char* images[] = {"home.twk", "main.twk", "far.twk"};
    for (int i = 0; i < 3; ++i) {
        const IndexedImage picture = make_street_map(kImage, kImage, static_cast<std::uint32_t>(i + 1));
        auto bytes = encode_twk(picture, TwkEncodeOptions{});
        if (!bytes) std::abort();
        std::ofstream(d + "/" + images[i], std::ios::binary) << *bytes;
    }
    auto database = [&d](const std::string& file, const std::string& name, const std::string& image,
                         const std::string& sections) {
        std::ofstream(d + "/" + file, std::ios::binary)
            << "<Mapfolio Version>\r\n1\r\n<Name>\r\n" << name << ",Street map,Benchmark\r\n<Images>\r\n" << image
            << "\r\n" << sections;
    };
    database("HOME.DAB", "Home", "home.twk",
             "<Locations>\r\nSights\r\n2040,2040,Clock Tower,Built in the year of the great fire\r\n"
             "</Locations>\r\n<Related Maps>\r\nHome,1900,1900,1960,1960,Far,1000,1000,3000,3000\r\n"
             "</Related Maps>\r\n");
    database("MAIN.DAB", "Main", "main.twk", "");
    database("FAR.DAB", "Far", "far.twk", "");
}

// The guide, written once before anything is timed.
const std::string& guide_dir() {
    static const std::string dir = [] {
        char path[] = "/tmp/mapfolio-bench-XXXXXX";
        if (mkdtemp(path) == nullptr) std::abort();
        write_guide(path);
        return std::string(path);
    }();
    return dir;
}

void remove_guide() { std::filesystem::remove_all(guide_dir()); }

// The program on a fresh headless screen of that size, its maps loaded.
bool start_program(SIZE screen) {
    g_mainState.ForgetMaps();
    FreeAllMaps();
    headless::reset(screen);
    g_mainState = MainWindowState{};
    std::string error;
    if (!PrepareProgram(guide_dir(), &error)) return false;
    g_instance = GetModuleHandleW(nullptr);
    if (!InitHtmlViewer(g_instance) || !CreateMainWindow(g_instance)) return false;
    headless::run_until_idle();
    return g_mainState.currentMap != nullptr && g_mainState.currentMap == g_mapCatalogue.homeMap;
}

void stop_program() {
    g_mainState.ForgetMaps();
    FreeAllMaps();
    headless::reset();
}

// Where map point p of the home map lies on the screen.
POINT screen_point(POINT p) {
    std::int32_t x = p.x;
    std::int32_t y = p.y;
    g_mainState.currentMap->mapView->MapToScreen(&x, &y);
    POINT at{x, y};
    ClientToScreen(g_mainWindow, &at);
    return at;
}

bool g_realPauses = false;

void wait_ms(std::uint32_t ms) {
    headless::advance_clock(ms);
    if (g_realPauses) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A press at p and, 50 ms later, the release; a pause after it keeps the
// next press from making a double tap.
void press(POINT at) {
    headless::stylus_down(at.x, at.y);
    headless::run_until_idle();
    wait_ms(50);
}
void release(POINT at) {
    headless::stylus_up(at.x, at.y);
    headless::run_until_idle();
}
void pause() { wait_ms(600); }

void command(int id) {
    PostMessageW(g_mainWindow, WM_COMMAND, id, 0);
    headless::run_until_idle();
}

// The middle of the command's menu-bar button, on the screen.
POINT button_point(int id) {
    for (const headless::MenuBarButton& button : headless::menu_bar_buttons(g_mainWindow)) {
        const RECT& r = button.rect;
        if (button.command == id) return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::abort();
}

using Clock = std::chrono::steady_clock;
double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void redraw(benchmark::State& state, Screen screen) {
    if (!start_program(screen.size)) {
        state.SkipWithError("the program did not start");
        stop_program();
        return;
    }
    CMapView* view = g_mainState.currentMap->mapView;
    for (auto _ : state) {
        view->Refresh();
        benchmark::ClobberMemory();
    }
    stop_program();
}

void tap_place(benchmark::State& state, Screen screen) {
    if (!start_program(screen.size)) {
        state.SkipWithError("the program did not start");
        stop_program();
        return;
    }
    const POINT at = screen_point(kPlace);
    if (g_realPauses) {
        press(at);
        release(at);
        pause();
    }
    bool presented = true;
    for (auto _ : state) {
        // The press takes the last popup away; only the release is timed.
        press(at);
        const int frames = headless::present_count();
        const auto start = Clock::now();
        release(at);
        state.SetIterationTime(seconds_since(start));
        presented = presented && headless::present_count() == frames + 1;
        pause();
        headless::clear_sounds();
    }
    HWND popup = headless::find_child(g_mainWindow, u"DISPLAYCLASS");
    if (!presented || g_mainState.selectedLocation == nullptr || popup == nullptr || !IsWindowVisible(popup))
        state.SkipWithError("the tap did not present the popup");
    stop_program();
}

// A tap on the link, which frames it and enables Forward.
void tap_link() {
    const POINT at = screen_point(kLinkTap);
    press(at);
    release(at);
    pause();
}

void forward(benchmark::State& state, Screen screen) {
    if (!start_program(screen.size)) {
        state.SkipWithError("the program did not start");
        stop_program();
        return;
    }
    if (g_realPauses) {
        tap_link();
        command(IDM_FORWARD);
        command(IDM_BACK);
    }
    for (auto _ : state) {
        tap_link();
        const POINT button = g_realPauses ? button_point(IDM_FORWARD) : POINT{};
        if (g_realPauses) press(button);
        const auto start = Clock::now();
        if (g_realPauses) release(button);
        else command(IDM_FORWARD);
        state.SetIterationTime(seconds_since(start));
        if (g_mainState.currentMap == nullptr || g_mainState.currentMap == g_mapCatalogue.homeMap) {
            state.SkipWithError("Forward did not open the far map");
            break;
        }
        if (g_realPauses) pause();
        // Back releases the far map's image again.
        command(IDM_BACK);
        headless::clear_sounds();
    }
    stop_program();
}

void back(benchmark::State& state, Screen screen) {
    if (!start_program(screen.size)) {
        state.SkipWithError("the program did not start");
        stop_program();
        return;
    }
    for (auto _ : state) {
        tap_link();
        command(IDM_FORWARD);
        const auto start = Clock::now();
        command(IDM_BACK);
        state.SetIterationTime(seconds_since(start));
        if (g_mainState.currentMap != g_mapCatalogue.homeMap) {
            state.SkipWithError("Back did not return home");
            break;
        }
        headless::clear_sounds();
    }
    stop_program();
}

void decode(benchmark::State& state) {
    const std::u16string path = platform::from_utf8(guide_dir() + "/far.twk");
    for (auto _ : state) {
        HBITMAP bitmap = nullptr;
        const auto start = Clock::now();
        const ImageResult result = DecodeMapImage(path.c_str(), &bitmap);
        state.SetIterationTime(seconds_since(start));
        if (result != ImageOk) {
            state.SkipWithError("the image did not decode");
            break;
        }
        DeleteObject(bitmap);
    }
}

// Collects milliseconds per iteration by name for the closing ratio table:
// with --benchmark_repetitions the median of the repetitions, which holds
// up better on a busy machine.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Iteration && !m_median.count(run.run_name.str())) {
                m_ms[run.run_name.str()] = run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                m_median.insert(run.run_name.str());
                m_ms[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-10s %-8s %12s %-8s %12s %8s %6s\n", "screen", "action", "ms", "peer", "peer ms", "ratio",
                    "goal");
        for (const Screen& s : kScreens) {
            const std::string at = std::string("/") + s.name;
            row(s.name, "Tap", "Tap" + at, "redraw", "Refresh" + at, 3.0);
            row(s.name, "Forward", "Forward" + at, "decode", "DecodeMapImage", 1.15);
            row(s.name, "Back", "Back" + at, "redraw", "Refresh" + at, 2.0);
        }
    }

private:
    void row(const char* screen, const char* action, const std::string& name, const char* peer,
             const std::string& peerName, double goal) {
        auto a = find(name);
        auto b = find(peerName);
        if (a < 0 || b <= 0) return;
        std::printf("%-10s %-8s %12.3f %-8s %12.3f %8.2f %6.2f %s\n", screen, action, a, peer, b, a / b, goal,
                    a / b <= goal ? "met" : "missed");
    }
    // Benchmarks with manual time carry a suffix on their name.
    double find(const std::string& name) const {
        for (const auto& [key, ms] : m_ms) {
            if (key == name || key.rfind(name + "/", 0) == 0) return ms;
        }
        return -1;
    }
    std::map<std::string, double> m_ms;
    std::set<std::string> m_median;
};

}  // namespace

int main(int argc, char** argv) {
    // The web benchmark (bench/web/) runs the same guide in the browser.
    if (argc == 3 && std::string(argv[1]) == "--write-guide") {
        write_guide(argv[2]);
        return 0;
    }
    if (argc >= 2 && std::string(argv[1]) == "--real-pauses") {
        g_realPauses = true;
        argv[1] = argv[0];
        --argc;
        ++argv;
    }
    guide_dir();  // made before timing starts
    benchmark::RegisterBenchmark("DecodeMapImage", decode)->UseManualTime()->Unit(benchmark::kMillisecond);
    for (const Screen& s : kScreens) {
        const std::string at = std::string("/") + s.name;
        benchmark::RegisterBenchmark(("Refresh" + at).c_str(), redraw, s)->Unit(benchmark::kMillisecond);
        // The actions are timed by hand: what sets each one up is not.
        using Action = void (*)(benchmark::State&, Screen);
        const std::pair<const char*, Action> actions[] = {{"Tap", tap_place}, {"Forward", forward}, {"Back", back}};
        for (const auto& [name, action] : actions) {
            auto* timed = benchmark::RegisterBenchmark((std::string(name) + at).c_str(), action, s)
                              ->UseManualTime()
                              ->Unit(benchmark::kMillisecond);
            if (g_realPauses) timed->Iterations(1);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    remove_guide();
    return 0;
}
