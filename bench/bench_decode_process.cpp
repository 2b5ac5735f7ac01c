// The whole process of decoding a map image to a BMP, against a small C
// program around giflib doing the same: `mapfolio-tool twk decode` of a
// generated 4000 x 4000 street map, and `gif-to-bmp` of the same picture
// stored as a GIF, each writing the same BMP file. Both are started the same
// way (fork, exec, wait) with their output thrown away, in interleaved
// rounds that alternate which goes first; the summary gives the median wall
// time of each, their ratio, and the same for a run that does no work (the
// start-up of each process alone).
//
//   bench_decode_process [--rounds N] [--tool PATH] [--peer PATH] [--keep]
//
// --keep leaves the pictures and the BMP files in the scratch directory it
// names, for looking into either process with other tools.
#include "tools/sample_images.h"
#include "tools/twk_encoder.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 4000;

// The scratch directory, and whether it stays when the run ends.
std::string g_scratch;
bool g_keep = false;

void remove_scratch() {
    if (!g_keep && !g_scratch.empty()) std::filesystem::remove_all(g_scratch);
}

[[noreturn]] void give_up() {
    remove_scratch();
    std::exit(1);
}

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;  // user and system time of the child
};

// Runs argv[0] with its standard output and error going nowhere; ends the
// benchmark when the program cannot run or fails.
Timing run(const std::vector<std::string>& argv, int expectedStatus = 0) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        give_up();
    }
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("wait4");
        give_up();
    }
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != expectedStatus) {
        std::fprintf(stderr, "%s ended with status %d\n", argv[0].c_str(), status);
        give_up();
    }
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return Timing{std::chrono::duration<double, std::milli>(end - start).count(),
                  ms(usage.ru_utime) + ms(usage.ru_stime)};
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Series {
    std::vector<double> wall;
    std::vector<double> cpu;
    void add(const Timing& t) {
        wall.push_back(t.wallMs);
        cpu.push_back(t.cpuMs);
    }
};

// Runs a and b in rounds, alternating which goes first.
void interleave(int rounds, const std::vector<std::string>& a, int aStatus, Series& aTimes,
                const std::vector<std::string>& b, int bStatus, Series& bTimes) {
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            aTimes.add(run(a, aStatus));
            bTimes.add(run(b, bStatus));
        } else {
            bTimes.add(run(b, bStatus));
            aTimes.add(run(a, aStatus));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 41;
    std::string tool = MAPFOLIO_TOOL_PATH;
    std::string peer = GIF_TO_BMP_PATH;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--tool" && i + 1 < argc) {
            tool = argv[++i];
        } else if (arg == "--peer" && i + 1 < argc) {
            peer = argv[++i];
        } else if (arg == "--keep") {
            g_keep = true;
        } else {
            std::fprintf(stderr, "usage: bench_decode_process [--rounds N] [--tool PATH] [--peer PATH] [--keep]\n");
            return 2;
        }
    }

    g_scratch = std::filesystem::temp_directory_path().string() + "/mapfolio-bench-process-" + std::to_string(getpid());
    const std::string& dir = g_scratch;
    std::filesystem::create_directories(dir);
    const std::string twk = dir + "/street-map.twk", gif = dir + "/street-map.gif";
    const std::string ourBmp = dir + "/ours.bmp", peerBmp = dir + "/giflib.bmp";
    std::size_t fileBytes = 0;
    {
        const IndexedImage image = make_street_map(kSide, kSide);
        for (bool asGif : {false, true}) {
            TwkEncodeOptions options;
            options.gifSignature = asGif;
            const std::string bytes = *encode_twk(image, options);
            std::ofstream(asGif ? gif : twk, std::ios::binary) << bytes;
            fileBytes = bytes.size();
        }
    }

    const std::vector<std::string> ours = {tool, "twk", "decode", twk, ourBmp};
    const std::vector<std::string> theirs = {peer, gif, peerBmp};
    // The comparison only holds when both write the same file.
    run(ours);
    run(theirs);
    const std::string a = read_bytes(ourBmp), b = read_bytes(peerBmp);
    if (a.empty() || a != b) {
        std::fprintf(stderr, "the two BMP files differ (%zu and %zu bytes)\n", a.size(), b.size());
        give_up();
    }

    Series oursTimes, theirTimes, oursEmpty, theirEmpty;
    interleave(rounds, ours, 0, oursTimes, theirs, 0, theirTimes);
    // No work: the tool's help, the peer's usage (status 2).
    interleave(rounds, {tool, "--help"}, 0, oursEmpty, {peer}, 2, theirEmpty);
    remove_scratch();

    std::printf("%d x %d street map, %.2f MB file, %.2f MB BMP; %d interleaved rounds\n", kSide, kSide,
                fileBytes / 1e6, a.size() / 1e6, rounds);
    std::printf("medians (ms)           ours   giflib   giflib/ours\n");
    auto line = [](const char* name, const Series& o, const Series& t) {
        const double ow = median(o.wall), tw = median(t.wall);
        std::printf("%-18s wall %7.2f  %7.2f   %5.2fx\n", name, ow, tw, ow > 0 ? tw / ow : 0.0);
        const double oc = median(o.cpu), tc = median(t.cpu);
        std::printf("%-18s cpu  %7.2f  %7.2f   %5.2fx\n", "", oc, tc, oc > 0 ? tc / oc : 0.0);
    };
    line("decode to BMP", oursTimes, theirTimes);
    line("start-up only", oursEmpty, theirEmpty);
    if (g_keep) std::printf("files kept in %s\n", dir.c_str());
    return 0;
}
