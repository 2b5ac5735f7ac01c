// Parse throughput of a generated 10 MB database, side by side with the
// floor: a plain read of the same file split into lines with std::getline.
#include "mapdb/map.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

const std::string& database_path() {
    static const std::string path = [] {
        std::string p = std::filesystem::temp_directory_path().string() + "/mapfolio-bench-" +
                        std::to_string(getpid()) + ".DAB";
        std::ofstream out(p, std::ios::binary);
        out << "<Mapfolio Version>\r\n1\r\n<Name>\r\nBench City,Generated,Benchmark\r\n<Images>\r\ncity.twk\r\n";
        std::mt19937 random(42);
        const char* words[] = {"Quay", "Station", "Market", "Old", "Harbour", "Museum", "Park", "Tower", "Bridge"};
        std::size_t written = 0;
        int category = 0;
        while (written < 10'000'000) {
            out << "<Locations>\r\nCategory " << category++ << "\r\n";
            for (int i = 0; i < 1000; ++i) {
                std::string line = std::to_string(random() % 4000) + "," + std::to_string(random() % 4000) + "," +
                                   words[random() % 9] + " " + words[random() % 9] + " " + std::to_string(i) +
                                   ",A short description of the place " + std::to_string(random() % 100000) +
                                   " with <B>markup</B>\r\n";
                out << line;
                written += line.size();
            }
            out << "</Locations>\r\n";
        }
        return p;
    }();
    return path;
}

std::uintmax_t file_size() { return std::filesystem::file_size(database_path()); }

void BM_ParseDatabase(benchmark::State& state) {
    std::u16string path(database_path().begin(), database_path().end());
    for (auto _ : state) {
        CMap map;
        map.Open(path.c_str());
        if (!map.dataLoaded) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(map.categoryList);
        map.Close();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_size()));
}

void BM_GetlineFloor(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(database_path(), std::ios::binary);
        std::string line;
        std::size_t lines = 0;
        while (std::getline(in, line)) ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_size()));
}

// Interleaved so that both see the same machine state.
BENCHMARK(BM_GetlineFloor)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ParseDatabase)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(database_path().c_str());
    return 0;
}
