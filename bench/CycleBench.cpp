// One start-of-run pass of the monitor with nothing changed since the snapshot was written:
// read the snapshot, take a fresh tree from the library, pair and compare the controllers,
// write the snapshot again. 16 controllers, about 2,000 objects in all.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchSupport.h"
#include "monitor/VelmarMonitor.h"
#include "raidlib/raidlib.h"

namespace {

constexpr int kControllers = 16;
constexpr int kDrivesPerController = 120;
constexpr int kLogicalDrivesPerController = 4;

void BM_StartOfRunPass(benchmark::State& state) {
    BenchHome home;
    if (!home.ok() || !home.installShippedCatalog()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    VelmarLib lib;
    addControllers(*lib.getHardwareModel(), kControllers, kDrivesPerController,
                   kLogicalDrivesPerController);
    const int objects = FilterCollection(lib.getHardwareModel()).size();
    VelmarMonitor monitor(&lib);  // waits its one second once, here
    monitor.enablePolling();
    monitor.writeXML();  // the snapshot that an earlier run left
    size_t events = 0;
    for (auto _ : state) {
        monitor.vlEventPersistence();
        monitor.writeXML();
        events += monitor.getEvents(0).size();
    }
    monitor.disablePolling();
    // Nothing changed, so a pass should raise nothing; a count above 0 shows in the output.
    state.counters["events"] =
        benchmark::Counter(static_cast<double>(events), benchmark::Counter::kAvgIterations);
    state.SetLabel(std::to_string(kControllers) + " controllers, " + std::to_string(objects) +
                   " objects");
}

BENCHMARK(BM_StartOfRunPass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
