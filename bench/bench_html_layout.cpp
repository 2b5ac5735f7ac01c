// The HTML viewer's work on a 20 KB information topic: laying the parsed
// document out at the pane's width (the goal: under 5 ms), parsing it into
// the viewer's document, and both together as a new topic costs, side by
// side with gumbo's parse of the same text alone as the peer. Closes with
// the times in milliseconds and each one's ratio to the peer (below 1: less
// time than gumbo's bare parse).
#include "platform/base/text_convert.h"
#include "platform/controls/html_document.h"
#include "platform/controls/html_layout.h"

#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using platform::controls::HtmlDocument;
using platform::controls::lay_out_html;
using platform::controls::parse_html;

constexpr int kPaneWidth = 236;  // the Information pane less its scroll bar

// A topic as a guide author writes one: paragraphs of prose with bold
// names, coloured notes, entities, line breaks and a list.
const std::u16string& topic() {
    static const std::u16string text = [] {
        std::u16string t = u"<BODY LEFTMARGIN=\"8\"><P>";
        int n = 0;
        while (t.size() < 20 * 1024) {
            ++n;
            t += u"<B>Stop " + platform::from_utf8(std::to_string(n)) +
                 u"</B>: walk along the harbour wall past the <I>old customs house</I> &amp; the fish market. "
                 u"<FONT SIZE=2 COLOR=BLUE>Open daily from 9:00 to 17:00;</FONT> closed on public holidays.<BR>"
                 u"Tickets at the kiosk by the lighthouse &ndash; children under twelve go free.</P><P>";
            if (n % 5 == 0) t += u"<UL><LI>Toilets<LI>Caf&eacute;<LI>Parking</UL>";
        }
        t += u"</P></BODY>";
        return t;
    }();
    return text;
}

const std::string& topic_utf8() {
    static const std::string text = platform::to_utf8(topic());
    return text;
}

void set_size(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(topic_utf8().size()));
}

void gumbo_parse(benchmark::State& state) {
    for (auto _ : state) {
        GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, topic_utf8().data(), topic_utf8().size());
        benchmark::DoNotOptimize(output);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
    set_size(state);
}

void lay_out(benchmark::State& state) {
    const HtmlDocument doc = parse_html(topic());
    benchmark::DoNotOptimize(lay_out_html(doc, kPaneWidth));  // fonts made before timing
    for (auto _ : state) benchmark::DoNotOptimize(lay_out_html(doc, kPaneWidth));
    set_size(state);
}

void parse(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(parse_html(topic()));
    set_size(state);
}

void parse_and_lay_out(benchmark::State& state) {
    benchmark::DoNotOptimize(lay_out_html(parse_html(topic()), kPaneWidth));
    for (auto _ : state) {
        const HtmlDocument doc = parse_html(topic());
        benchmark::DoNotOptimize(lay_out_html(doc, kPaneWidth));
    }
    set_size(state);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) m_ms[run.benchmark_name()] = run.GetAdjustedRealTime();  // in ms, the unit set below
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto peer = m_ms.find("GumboParseAlone");
        if (peer == m_ms.end()) return;
        std::printf("\ntopic of %zu bytes of source\n%-22s %10s %16s\n", topic_utf8().size(), "", "ms", "/ gumbo alone");
        for (const char* name : {"LayOut", "Parse", "ParseAndLayOut", "GumboParseAlone"}) {
            auto found = m_ms.find(name);
            if (found != m_ms.end())
                std::printf("%-22s %10.3f %16.2f\n", name, found->second, found->second / peer->second);
        }
    }

private:
    std::map<std::string, double> m_ms;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("GumboParseAlone", gumbo_parse)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LayOut", lay_out)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Parse", parse)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ParseAndLayOut", parse_and_lay_out)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
