// Opening the Find dialog on a category of 20,000 places: the program runs
// in this process on the headless screen with a generated guide whose home
// map has one category of 20,000 places with distinct names; each round
// posts the Find command and ends when the dialog is up, its lists filled,
// its frame presented and the program idle. The peer is std::sort of the
// same names with the same comparison (lstrcmpiW), the least a sorted list
// of them could cost. Closes with the times in milliseconds and the ratio
// to the peer (the goal: at most 10).
#include "app/main_window_state.h"
#include "app/program_start.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
#include "platform/testing/dialog_controls.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "tools/twk_encoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace headless = platform::headless;

namespace {

constexpr int kPlaces = 20000;
constexpr WPARAM kFindCommand = 40090;

// Names as a guide holds them, one to three words of a few syllables, in
// the database's order, which is no order; no two alike in any letter case.
const std::vector<std::string>& names() {
    static const std::vector<std::string> list = [] {
        const char* syllables[] = {"ka", "lo", "mer", "an", "ste", "ri", "bu", "qua", "zen", "dor",
                                   "ell", "pa", "tin", "ho", "gra", "vi", "su", "nor", "wick", "ton"};
        std::mt19937 random(2024);
        std::set<std::string> seen;
        std::vector<std::string> out;
        while (out.size() < kPlaces) {
            std::string name;
            const int words = 1 + static_cast<int>(random() % 3);
            for (int w = 0; w < words; ++w) {
                if (w > 0) name += ' ';
                const int parts = 2 + static_cast<int>(random() % 2);
                for (int p = 0; p < parts; ++p) {
                    std::string s = syllables[random() % std::size(syllables)];
                    if (p == 0 && random() % 4 != 0) s[0] = static_cast<char>(s[0] - 'a' + 'A');
                    name += s;
                }
            }
            std::string key = name;
            std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
            if (seen.insert(key).second) out.push_back(std::move(name));
        }
        return out;
    }();
    return list;
}

// The guide in a fresh directory: the home map with its one category, and
// a main map, both on a plain 480 x 400 picture.
class BenchGuide {
public:
    BenchGuide() {
        char pattern[] = "/tmp/mapfolio-bench-find-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        m_dir = pattern;
        IndexedImage image{480, 400, {Rgb{230, 220, 190}, Rgb{120, 170, 220}}, {}};
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                image.pixels.push_back(static_cast<std::uint8_t>((x / 40 + y / 40) % 2));
        const auto encoded = encode_twk(image, TwkEncodeOptions{});
        if (!encoded) return;
        write("bench.twk", *encoded);
        std::string home =
            "<Mapfolio Version>\r\n1\r\n<Name>\r\nBench Town,Bench,Generated\r\n<Locations>\r\nPlaces\r\n";
        std::mt19937 random(7);
        for (const std::string& name : names()) {
            home += std::to_string(random() % 480) + "," + std::to_string(random() % 400) + "," + name +
                    ",A place of the generated guide\r\n";
        }
        home += "</Locations>\r\n<Images>\r\nbench.twk\r\n";
        write("HOME.DAB", home);
        write("MAIN.DAB",
              "<Mapfolio Version>\r\n1\r\n<Name>\r\nBench Main,Main,Generated\r\n<Images>\r\nbench.twk\r\n");
        m_ready = true;
    }
    ~BenchGuide() {
        std::error_code ec;
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir, ec);
    }
    const std::string& dir() const { return m_dir; }
    bool ready() const { return m_ready; }

private:
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(m_dir + "/" + name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string m_dir;
    bool m_ready = false;
};

const BenchGuide& guide() {
    static const BenchGuide g;
    return g;
}

// Each round, driven from the program's idle moments: the main window idle
// with the home map shown, then the command posted and the clock started;
// the first idle moment with the dialog in front stops it, and Escape
// closes the dialog for the next round.
void open_find_dialog(benchmark::State& state) {
    if (!guide().ready()) {
        state.SkipWithError("the guide could not be written");
        return;
    }
    std::string error;
    if (!PrepareProgram(guide().dir(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    enum class Phase { Loading, Opening, Closing, Done };
    Phase phase = Phase::Loading;
    std::chrono::steady_clock::time_point started;
    int presents = 0;
    std::string failure;
    headless::set_idle_handler([&]() -> bool {
        HWND dialog = platform::testing::front_dialog();
        switch (phase) {
        case Phase::Opening:
            if (dialog == nullptr) {
                failure = "the Find dialog did not open";
                break;
            }
            state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
            if (headless::present_count() == presents) failure = "the dialog's frame was not presented";
            if (SendMessageW(GetDlgItem(dialog, 1003), LB_GETCOUNT, 0, 0) != kPlaces) failure = "the list lost places";
            phase = Phase::Closing;
            headless::press_key(VK_ESCAPE);
            return true;
        case Phase::Closing:
            if (dialog != nullptr) {
                failure = "the Find dialog did not close";
                break;
            }
            [[fallthrough]];
        case Phase::Loading:
            if (g_mainState.currentMap == nullptr) {
                failure = "the guide did not load";
                break;
            }
            if (!failure.empty() || !state.KeepRunning()) break;
            phase = Phase::Opening;
            presents = headless::present_count();
            started = std::chrono::steady_clock::now();
            PostMessageW(g_mainWindow, WM_COMMAND, kFindCommand, 0);
            return true;
        case Phase::Done:
            return false;
        }
        // Done, or stopped short: the dialog closed first, then the program.
        if (dialog != nullptr) {
            headless::press_key(VK_ESCAPE);
        } else {
            phase = Phase::Done;
            PostQuitMessage(0);
        }
        return true;
    });
    WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    headless::set_idle_handler(nullptr);
    g_mainState.ForgetMaps();
    FreeAllMaps();
    headless::reset();
    if (!failure.empty()) {
        state.SkipWithError(failure.c_str());
        return;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kPlaces);
}

void sort_names(benchmark::State& state) {
    std::vector<std::u16string> all;
    for (const std::string& name : names()) all.push_back(platform::from_utf8(name));
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        std::vector<std::u16string_view> views(all.begin(), all.end());
        std::sort(views.begin(), views.end(),
                  [](std::u16string_view a, std::u16string_view b) { return lstrcmpiW(a.data(), b.data()) < 0; });
        benchmark::DoNotOptimize(views.data());
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kPlaces);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_ms[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto peer = m_ms.find("StdSort/manual_time");
        auto dialog = m_ms.find("FindDialogOpen/manual_time");
        if (peer == m_ms.end() || dialog == m_ms.end()) return;
        std::printf("\n%d places\n%-16s %10s %12s\n", kPlaces, "", "ms", "/ std::sort");
        std::printf("%-16s %10.3f %12.2f\n", "FindDialogOpen", dialog->second, dialog->second / peer->second);
        std::printf("%-16s %10.3f %12.2f\n", "StdSort", peer->second, 1.0);
    }

private:
    std::map<std::string, double> m_ms;
};

}  // namespace

int main(int argc, char** argv) {
    // The run sees no copy of the program and no settings but its own.
    unsetenv("MAPFOLIO_BACKEND");
    unsetenv("MAPFOLIO_HEADLESS_DESKTOP");
    char config[] = "/tmp/mapfolio-bench-config-XXXXXX";
    if (mkdtemp(config) != nullptr) setenv("XDG_CONFIG_HOME", config, 1);
    platform::choose_display(platform::Display::Headless);

    benchmark::RegisterBenchmark("StdSort", sort_names)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FindDialogOpen", open_find_dialog)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(config, ec);
    return 0;
}
