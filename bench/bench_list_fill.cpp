// Filling a sorted list box with the 20,000 places of one category, as the
// Find dialog does: the list emptied, its drawing switched off, every name
// added (LB_ADDSTRING, which places it in order) with its item data, the
// drawing switched on and the rows in view painted. The peer is std::sort
// of the same names with the same comparison, the least any sorted list
// could cost. Closes with the times in milliseconds and the ratio to the
// peer (the goal: at most 10).
#include "platform/testing/headless.h"
#include "platform/base/unicode_text.h"
#include "platform/win32.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kPlaces = 20000;

// Names as a guide holds them: one to three words of a few syllables, in
// the order of the database, which is no order.
const std::vector<std::u16string>& names() {
    static const std::vector<std::u16string> list = [] {
        const char16_t* syllables[] = {u"ka", u"lo", u"mer", u"an", u"ste", u"ri", u"bu", u"qua", u"zen", u"dor",
                                       u"ell", u"pa", u"tin", u"ho", u"gra", u"vi", u"su", u"nor", u"wick", u"ton"};
        std::mt19937 random(2024);
        std::vector<std::u16string> out;
        out.reserve(kPlaces);
        for (int i = 0; i < kPlaces; ++i) {
            std::u16string name;
            const int words = 1 + static_cast<int>(random() % 3);
            for (int w = 0; w < words; ++w) {
                if (w > 0) name += u' ';
                const int parts = 2 + static_cast<int>(random() % 2);
                for (int p = 0; p < parts; ++p) {
                    std::u16string s = syllables[random() % std::size(syllables)];
                    if (p == 0 && random() % 4 != 0) s[0] = static_cast<char16_t>(s[0] - u'a' + u'A');
                    name += s;
                }
            }
            out.push_back(std::move(name));
        }
        return out;
    }();
    return list;
}

HWND list_box() {
    static HWND list = [] {
        platform::headless::reset(SIZE{240, 320});
        HWND main = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr,
                                    nullptr, nullptr);
        return CreateWindowExW(0, WC_LISTBOX, nullptr,
                               WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT |
                                   LBS_DISABLENOSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
                               -1, 86, 242, 86, main, reinterpret_cast<HMENU>(1003), nullptr, nullptr);
    }();
    return list;
}

void fill_list(benchmark::State& state) {
    HWND list = list_box();
    const auto& all = names();
    for (auto _ : state) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        UpdateWindow(list);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        for (std::size_t i = 0; i < all.size(); ++i) {
            const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(all[i].c_str()));
            SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
        }
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        SendMessageW(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"Tower"));
        UpdateWindow(list);
    }
    if (SendMessageW(list, LB_GETCOUNT, 0, 0) != kPlaces) state.SkipWithError("the list lost items");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kPlaces);
}

void sort_names(benchmark::State& state) {
    const auto& all = names();
    for (auto _ : state) {
        std::vector<std::u16string_view> views(all.begin(), all.end());
        std::sort(views.begin(), views.end(), [](std::u16string_view a, std::u16string_view b) {
            return platform::compare_without_case(a, b) < 0;
        });
        benchmark::DoNotOptimize(views.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kPlaces);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) m_ms[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto peer = m_ms.find("StdSort");
        auto list = m_ms.find("ListBoxFill");
        if (peer == m_ms.end() || list == m_ms.end()) return;
        std::printf("\n%d names\n%-14s %10s %12s\n", kPlaces, "", "ms", "/ std::sort");
        std::printf("%-14s %10.3f %12.2f\n", "ListBoxFill", list->second, list->second / peer->second);
        std::printf("%-14s %10.3f %12.2f\n", "StdSort", peer->second, 1.0);
    }

private:
    std::map<std::string, double> m_ms;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("StdSort", sort_names)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ListBoxFill", fill_list)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
