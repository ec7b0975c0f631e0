// Controller event translation: range(0) "RaidEvent" records of controller 0, as the library
// renders them, translated into events with the shipped catalog. Each record names a drive,
// logical drive, enclosure fan or the controller that the tree holds. The translation writes
// into its text, so every pass works on a fresh copy; copying and taking the events out of
// the queue are not timed. Wall-clock time: the catalog is read from its file per lookup.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "monitor/VelmarMonitor.h"
#include "port/Clock.h"
#include "raidlib/raidlib.h"

namespace {

// The monitor's construction waits a second; this clock does not.
class NoWaitClock : public port::Clock {
public:
    int64_t now() override { return 1796558400; }
    bool wait(long, port::Interrupt*) override { return false; }
};

constexpr int kDrivesPerController = 16;  // 8 on each of two channels
constexpr int kLogicalDrives = 4;

std::string eventText(int records) {
    std::string text;
    for (int i = 0; i < records; ++i) {
        RaidEvent record;
        switch (i % 4) {
            case 0:  // a drive failed, with its part number
                record = RaidEvent(404, 4);
                record.set("adapterID", 0).set("channelID", i % 2).set("deviceID", i % 8);
                record.set("FRU", "FRU-" + std::to_string(i % 8));
                break;
            case 1:  // a logical drive task or state
                record = RaidEvent(301 + i % 45, 1);
                record.set("adapterID", 0).set("logicalDriveID", i % kLogicalDrives);
                break;
            case 2:  // an enclosure fan
                record = RaidEvent(503 + i % 4, 2);
                record.set("adapterID", 0).set("channelID", 0).set("fanID", i % 3);
                break;
            default:  // the controller
                record = RaidEvent(207 + i % 4, 1);
                record.set("adapterID", 0);
                break;
        }
        record.setEventNumber(static_cast<unsigned long>(i + 1));
        text += record.toXml();
    }
    return text;
}

void BM_TranslateEventText(benchmark::State& state) {
    BenchHome home;
    if (!home.ok() || !home.installShippedCatalog()) {
        state.SkipWithError("cannot set up the module directory");
        return;
    }
    {
        // Room in the queue for every event of the largest pass.
        std::FILE* settings = std::fopen(home.path("TLXConfig.ini").c_str(), "w");
        if (settings != nullptr) {
            std::fputs("tlx.eventQueueSize=2000\n", settings);
            std::fclose(settings);
        }
    }
    NoWaitClock clock;
    port::Clock::install(&clock);
    VelmarLib lib;
    addControllers(*lib.getHardwareModel(), 2, kDrivesPerController, kLogicalDrives);
    System* system = lib.getNewSystem();
    auto* adapter = static_cast<Adapter*>(system->getChild(0));
    auto monitor = std::make_unique<VelmarMonitor>(&lib);

    const int records = static_cast<int>(state.range(0));
    const std::string original = eventText(records);
    std::vector<char> text(original.size() + 1);
    size_t raised = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(text.data(), original.c_str(), original.size() + 1);
        state.ResumeTiming();
        monitor->GetEventFromXml(text.data(), adapter);
        state.PauseTiming();
        raised = monitor->getEvents(0).size();
        state.ResumeTiming();
    }
    if (raised != static_cast<size_t>(records)) {
        state.SkipWithError("not every record became an event");
    }
    state.SetItemsProcessed(state.iterations() * records);
    monitor.reset();
    port::Clock::install(nullptr);
}
BENCHMARK(BM_TranslateEventText)
    ->ArgName("records")
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
