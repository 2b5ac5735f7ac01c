// The settings store at 10,000 values against the same work on an empty
// store, in one run:
//   FindOk     the program, run in this process on the headless screen on
//              the harbour test guide, opens Find and closes it with OK
//              (two values read, two written), up to the program idle with
//              the place shown;
//   List       the whole process of `mapfolio-tool settings list`.
// Closes with the times and their ratios (the goals: FindOk at most 1.5
// times the empty store's, List of 10,000 values at most 0.2 s).
#include "app/main_window_state.h"
#include "app/program_start.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
#include "platform/testing/dialog_controls.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace headless = platform::headless;

namespace {

constexpr int kValues = 10000;
constexpr WPARAM kFindCommand = 40090;

// A settings directory holding a store of count values under the program's
// key, written as the store's text form.
class ConfigDir {
public:
    explicit ConfigDir(int count) {
        char pattern[] = "/tmp/mapfolio-bench-settings-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        m_dir = pattern;
        std::filesystem::create_directories(m_dir + "/mapfolio");
        std::string text = "Mapfolio settings 1\n[HKEY_CURRENT_USER\\Software]\n[HKEY_CURRENT_USER\\Software\\Tarnwick]\n"
                           "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Mapfolio]\n";
        for (int i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            text += "\"Guide " + n + " Find Location\"=sz:\"Remembered place number " + n + "\"\n";
        }
        std::ofstream(m_dir + "/mapfolio/registry.txt", std::ios::binary) << text;
    }
    ~ConfigDir() {
        std::error_code ec;
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir, ec);
    }
    const std::string& path() const { return m_dir; }

private:
    std::string m_dir;
};

const ConfigDir& config(int count) {
    static const ConfigDir empty(0);
    static const ConfigDir full(kValues);
    return count == 0 ? empty : full;
}

// Each round, driven from the program's idle moments: the Find command
// posted and the clock started; Enter on the dialog once it is up; the
// first idle moment after it closed stops the clock.
void find_ok(benchmark::State& state) {
    setenv("XDG_CONFIG_HOME", config(static_cast<int>(state.range(0))).path().c_str(), 1);
    std::string error;
    if (!PrepareProgram(MAPFOLIO_TEST_DATA "/guides/harbour", &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    enum class Phase { Idle, Opening, Closing, Done };
    Phase phase = Phase::Idle;
    std::chrono::steady_clock::time_point started;
    std::string failure;
    headless::set_idle_handler([&]() -> bool {
        HWND dialog = platform::testing::front_dialog();
        switch (phase) {
        case Phase::Opening:
            if (dialog == nullptr) {
                failure = "the Find dialog did not open";
                break;
            }
            phase = Phase::Closing;
            headless::press_key(VK_RETURN);
            return true;
        case Phase::Closing:
            if (dialog != nullptr || g_mainState.selectedLocation == nullptr) {
                failure = "OK did not close the dialog on a place";
                break;
            }
            state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
            [[fallthrough]];
        case Phase::Idle:
            if (g_mainState.currentMap == nullptr) {
                failure = "the guide did not load";
                break;
            }
            if (!state.KeepRunning()) break;
            phase = Phase::Opening;
            started = std::chrono::steady_clock::now();
            PostMessageW(g_mainWindow, WM_COMMAND, kFindCommand, 0);
            return true;
        case Phase::Done:
            return false;
        }
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
    if (!failure.empty()) state.SkipWithError(failure.c_str());
}

void list(benchmark::State& state) {
    const std::string command = "XDG_CONFIG_HOME=" + config(static_cast<int>(state.range(0))).path() + " " +
                                MAPFOLIO_TOOL_PATH + " settings list > /dev/null";
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        if (status != 0) {
            state.SkipWithError("mapfolio-tool settings list failed");
            return;
        }
    }
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
        std::printf("\n%-10s %12s %12s %8s  goal\n", "", "empty ms", "10000 ms", "ratio");
        row("FindOk", "at most 1.5x");
        row("List", "10000 values at most 200 ms");
    }

private:
    void row(const std::string& name, const char* goal) {
        const auto empty = m_ms.find(name + "/0/manual_time");
        const auto full = m_ms.find(name + "/" + std::to_string(kValues) + "/manual_time");
        if (empty == m_ms.end() || full == m_ms.end()) return;
        std::printf("%-10s %12.3f %12.3f %8.2f  %s\n", name.c_str(), empty->second, full->second,
                    full->second / empty->second, goal);
    }
    std::map<std::string, double> m_ms;
};

}  // namespace

int main(int argc, char** argv) {
    // The run sees no copy of the program but its own.
    unsetenv("MAPFOLIO_BACKEND");
    unsetenv("MAPFOLIO_HEADLESS_DESKTOP");
    platform::choose_display(platform::Display::Headless);

    for (int count : {0, kValues}) {
        benchmark::RegisterBenchmark("FindOk", find_ok)->Arg(count)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("List", list)->Arg(count)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
