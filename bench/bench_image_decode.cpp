// Map image decoding, side by side with giflib on the same bytes: a
// generated 4000 x 4000 street map (about 1 bit a pixel) and a photograph-like
// picture (about 5 bits a pixel). Both decoders read the file themselves and
// write 8-bit indices into freshly allocated memory; ours also lays the rows
// out bottom-up and padded in the bitmap. The rounds of all benchmarks are
// interleaved, and the summary gives the medians and their ratio.
#include "mapview/image_decoder.h"
#include "tools/sample_images.h"
#include "tools/twk_encoder.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 4000;

struct Sample {
    const char* name;
    std::string twkPath;  // signature "TWK"
    std::string gifPath;  // the same bytes as a GIF
    std::size_t fileBytes = 0;
};

std::string scratch_dir() {
    static const std::string dir = [] {
        std::string d = std::filesystem::temp_directory_path().string() + "/mapfolio-bench-" + std::to_string(getpid());
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

Sample make_sample(const char* name, const IndexedImage& image) {
    Sample s{name, scratch_dir() + "/" + name + ".twk", scratch_dir() + "/" + name + ".gif"};
    for (bool gif : {false, true}) {
        TwkEncodeOptions options;
        options.gifSignature = gif;
        const std::string bytes = *encode_twk(image, options);
        std::ofstream(gif ? s.gifPath : s.twkPath, std::ios::binary) << bytes;
        s.fileBytes = bytes.size();
    }
    return s;
}

Sample& street_map() {
    static Sample s = make_sample("street-map", make_street_map(kSide, kSide));
    return s;
}
Sample& photo() {
    static Sample s = make_sample("photo", make_photo(kSide, kSide));
    return s;
}
Sample& sample(int which) { return which == 0 ? street_map() : photo(); }

void BM_Ours(benchmark::State& state) {
    const Sample& s = sample(static_cast<int>(state.range(0)));
    const std::u16string path(s.twkPath.begin(), s.twkPath.end());
    for (auto _ : state) {
        HBITMAP bitmap = nullptr;
        if (DecodeMapImage(path.c_str(), &bitmap) != ImageOk) {
            state.SkipWithError("decode failed");
            break;
        }
        DeleteObject(bitmap);
    }
    state.SetLabel(s.name);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide);
}

void BM_Giflib(benchmark::State& state) {
    const Sample& s = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = DGifOpenFileName(s.gifPath.c_str(), &error);
        if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib failed");
            if (gif) DGifCloseFile(gif, &error);
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
    state.SetLabel(s.name);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide);
}

// The floor: writing every pixel once into fresh memory.
void BM_FreshMemory(benchmark::State& state) {
    for (auto _ : state) {
        auto* p = static_cast<unsigned char*>(std::malloc(std::size_t{kSide} * kSide));
        benchmark::DoNotOptimize(p);
        std::memset(p, 1, std::size_t{kSide} * kSide);
        benchmark::ClobberMemory();
        std::free(p);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide);
}

BENCHMARK(BM_Ours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Giflib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreshMemory)->Unit(benchmark::kMillisecond);

// Shows every run as the console does and keeps each repetition's time per
// iteration, for the medians of the summary.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                m_times[run.run_name.str()].push_back(run.GetAdjustedCPUTime());
            }
        }
    }
    double median(const std::string& name) const {
        auto it = m_times.find(name);
        if (it == m_times.end() || it->second.empty()) return 0;
        std::vector<double> t = it->second;
        std::sort(t.begin(), t.end());
        return t.size() % 2 ? t[t.size() / 2] : (t[t.size() / 2 - 1] + t[t.size() / 2]) / 2;
    }

private:
    std::map<std::string, std::vector<double>> m_times;
};

}  // namespace

int main(int argc, char** argv) {
    // --fresh-pages: every picture lands in pages never touched before, for
    // both decoders (the allocator otherwise hands the pages of the last
    // round back). On a virtual machine that makes first touches dear, this
    // measures the machine more than the decoders.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh-pages") == 0) {
            mallopt(M_MMAP_THRESHOLD, 1 << 20);
            std::copy(argv + i + 1, argv + argc + 1, argv + i);
            --argc;
            break;
        }
    }
    // Interleaved rounds by default; flags given on the command line win.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string minTime = "--benchmark_min_time=0.2";
    args.insert(args.begin() + 1, {repetitions.data(), interleave.data(), minTime.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    street_map();
    photo();
    std::printf("files: street map %.2f MB (%.2f bits a pixel), photo %.2f MB (%.2f bits a pixel)\n",
                street_map().fileBytes / 1e6, street_map().fileBytes * 8.0 / kSide / kSide, photo().fileBytes / 1e6,
                photo().fileBytes * 8.0 / kSide / kSide);
    Collector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nmedians (ms)        ours   giflib   giflib/ours\n");
    for (int which = 0; which < 2; ++which) {
        const double ours = reporter.median("BM_Ours/" + std::to_string(which));
        const double giflib = reporter.median("BM_Giflib/" + std::to_string(which));
        if (ours > 0 && giflib > 0) {
            std::printf("%-16s %7.2f  %7.2f   %5.2fx  (ours %.0f MB/s)\n", sample(which).name, ours, giflib, giflib / ours,
                        kSide * double{kSide} / 1e6 / (ours / 1e3));
        }
    }
    const double floor = reporter.median("BM_FreshMemory");
    if (floor > 0) std::printf("fresh memory     %7.2f\n", floor);
    benchmark::Shutdown();
    std::filesystem::remove_all(scratch_dir());
    return 0;
}
