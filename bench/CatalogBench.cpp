// The message catalog: plain lookups and lookups with arguments against a copy of the shipped
// data/RaidNLS.properties, with the file unchanged. The file is parsed once; a lookup asks
// the open file's change signal (one system call; where the system has none, it looks at the
// file's state instead) and finds the key in a table, so the first key, the last key, a
// missing key and a grown catalog should all cost the same.
// Each benchmark first holds the catalog for two seconds, as a running monitor has: a reader
// gets the change signal only once it has held its file unchanged that long, and until the
// file is that old, it compares it byte for byte at every lookup. Neither is measured here.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "nls/NLSParser.h"

namespace {

// Lets the catalog and its reader age past the file system's time granularity and the wait
// for a change signal.
void waitOutTimeGranularity() {
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
}

// The keys of the catalog's entry lines, in file order.
std::vector<std::string> catalogKeys(const std::string& path) {
    std::vector<std::string> keys;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == ' ' || line[0] == '\t') {
            continue;
        }
        keys.push_back(line.substr(0, line.find_first_of(" \t=")));
    }
    return keys;
}

// range(0): 0 the first key of the file, 1 the last, 2 a key that is not there.
void BM_CatalogPlain(benchmark::State& state) {
    BenchHome home;
    if (!home.ok() || !home.installShippedCatalog()) {
        state.SkipWithError("cannot install the catalog");
        return;
    }
    const std::string path = home.path("RaidNLS.properties");
    const std::vector<std::string> keys = catalogKeys(path);
    if (keys.empty()) {
        state.SkipWithError("the catalog has no entries");
        return;
    }
    const std::string key = state.range(0) == 0   ? keys.front()
                            : state.range(0) == 1 ? keys.back()
                                                  : std::string("benchNoSuchKey");
    NLSParser catalog(path);
    waitOutTimeGranularity();
    for (auto _ : state) {
        benchmark::DoNotOptimize(catalog.get(key));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(key + " (" + std::to_string(keys.size()) + " entries)");
}
BENCHMARK(BM_CatalogPlain)->ArgName("first_last_missing")->DenseRange(0, 2);

// The shipped catalog followed by range(0) more entries, looking up the last one: the cost
// per catalog line, for when the catalog grows.
void BM_CatalogPlainGrown(benchmark::State& state) {
    BenchHome home;
    if (!home.ok() || !home.installShippedCatalog()) {
        state.SkipWithError("cannot install the catalog");
        return;
    }
    const std::string path = home.path("RaidNLS.properties");
    const int extra = static_cast<int>(state.range(0));
    {
        std::ofstream out(path, std::ios::app);
        for (int i = 0; i < extra; ++i) {
            out << "# [controller description, number]\n"
                << "benchFiller" << i << "=filler text {1} of controller {0}\n";
        }
    }
    const std::string key = "benchFiller" + std::to_string(extra - 1);
    NLSParser catalog(path);
    waitOutTimeGranularity();
    if (catalog.get(key).empty()) {
        state.SkipWithError("the last entry is not found");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(catalog.get(key));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(catalogKeys(path).size()) + " entries");
}
BENCHMARK(BM_CatalogPlainGrown)->ArgName("extra")->Arg(250)->Arg(1000);

// An event text as the controller event translation builds it: the drive's argument text
// with three arguments, given as texts or as numbers.
template <typename Argument>
void catalogWithArguments(benchmark::State& state, const std::vector<Argument>& args) {
    BenchHome home;
    if (!home.ok() || !home.installShippedCatalog()) {
        state.SkipWithError("cannot install the catalog");
        return;
    }
    NLSParser catalog(home.path("RaidNLS.properties"));
    waitOutTimeGranularity();
    if (catalog.get("eventArgControllerScsiDevice", args).empty()) {
        state.SkipWithError("eventArgControllerScsiDevice is not in the catalog");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(catalog.get("eventArgControllerScsiDevice", args));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CatalogWithArguments(benchmark::State& state) {
    catalogWithArguments<std::string>(state, {"1 (VELMAR RAID Controller #VLM1000)", "2", "17"});
}
BENCHMARK(BM_CatalogWithArguments);

void BM_CatalogWithIntArguments(benchmark::State& state) {
    catalogWithArguments<int>(state, {1, 2, 17});
}
BENCHMARK(BM_CatalogWithIntArguments);

}  // namespace

BENCHMARK_MAIN();
