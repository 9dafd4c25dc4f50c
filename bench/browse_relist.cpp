// How long the Browse window's file list takes to re-list a folder of 100,000 files for a new
// pattern: once reading the folder afresh (a new folder, or one that changed), and once
// re-filtering the names already read (each keystroke in the pattern box).
//
//   browse_relist FOLDER [google-benchmark flags]

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "browse/FilePattern.h"
#include "posix/FolderReader.h"

namespace {

std::string folder;

std::size_t relist(mapfeed::posix::FolderReader& reader, const char* pattern) {
    const auto contents = reader.read(folder);
    std::size_t matched = 0;
    for (const std::string& name : contents->files) matched += mapfeed::matchesPattern(name, pattern);
    return matched;
}

void ReadAndFilter(benchmark::State& state) {
    std::size_t matched = 0;
    for (auto _ : state) {
        mapfeed::posix::FolderReader fresh;
        matched = relist(fresh, "*.gen");
        benchmark::DoNotOptimize(matched);
    }
    state.counters["matched"] = static_cast<double>(matched);
}

void RefilterKeystroke(benchmark::State& state) {
    mapfeed::posix::FolderReader reader;
    relist(reader, "*.*");
    const char* patterns[] = {"*", "*.", "*.d", "*.dg", "*.dgn"};
    std::size_t i = 0, matched = 0;
    for (auto _ : state) {
        matched = relist(reader, patterns[i++ % 5]);
        benchmark::DoNotOptimize(matched);
    }
}

}  // namespace

BENCHMARK(ReadAndFilter)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(RefilterKeystroke)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: browse_relist FOLDER [benchmark flags]\n");
        return 2;
    }
    folder = argv[1];
    argv[1] = argv[0];
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
