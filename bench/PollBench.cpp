// The poll loop at 2, 16 and 64 controllers (64 controllers hold about 10,000 objects).
// BM_IdlePoll: the CPU time (getrusage of the loop's thread) of one poll with nothing to
// report, averaged over 50 polls, so over ten fifth-poll snapshot checks; the clock's waits
// cost no time, so the figure is the loop's own work. The files are older than two seconds,
// as they are in a monitor that has run for a while. core_pct is that cost as a share of one
// core at the default polling interval of one second.
// BM_StopLatency: the wall-clock time from stop() until start() returns, for stops that land
// at random moments of a loop whose waits are cut to 2 ms, so that the stops fall into every
// phase: the start-of-run read and comparison, polling, settings, the snapshot's build and
// write.
// With range(1) = 1 a host thread changes a drive every 50 ms, so that fifth polls really write.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "monitor/VelmarMonitor.h"
#include "port/Clock.h"
#include "port/FileSystem.h"
#include "port/Interrupt.h"
#include "raidlib/raidlib.h"

namespace {

constexpr int kLogicalDrivesPerController = 4;

int drivesFor(int controllers) {
    return controllers <= 16 ? 120 : 152;
}

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Fake time that moves by the time waited. The loop's poll waits (the only ones with an
// interrupt) are counted; the measurement runs from poll wait kWarm to kWarm + kPolls.
class CountingClock : public port::Clock {
public:
    static constexpr int kWarm = 5;
    static constexpr int kPolls = 50;

    explicit CountingClock(VelmarMonitor*& monitor) : monitor_(monitor) {}

    int64_t now() override { return millis_ / 1000; }
    bool wait(long ms, port::Interrupt* interrupt) override {
        millis_ += ms;
        if (interrupt == nullptr) {
            return false;
        }
        ++waits_;
        if (waits_ == kWarm) {
            startCpu_ = threadCpuSeconds();
        } else if (waits_ == kWarm + kPolls) {
            cpuPerPoll_ = (threadCpuSeconds() - startCpu_) / kPolls;
            monitor_->stop();
        }
        return interrupt->raised();
    }
    void rewind() { waits_ = 0; }
    double cpuPerPoll() const { return cpuPerPoll_; }

private:
    VelmarMonitor*& monitor_;
    int64_t millis_ = int64_t{1796558400} * 1000;
    int waits_ = 0;
    double startCpu_ = 0;
    double cpuPerPoll_ = 0;
};

struct MonitoredSystem {
    BenchHome home;
    VelmarLib lib;
    int objects = 0;

    explicit MonitoredSystem(int controllers) {
        home.installShippedCatalog();
        addControllers(*lib.getHardwareModel(), controllers, drivesFor(controllers),
                       kLogicalDrivesPerController);
        objects = FilterCollection(lib.getHardwareModel()).size();
    }
};

void BM_IdlePoll(benchmark::State& state) {
    MonitoredSystem system(static_cast<int>(state.range(0)));
    VelmarMonitor* monitor = nullptr;
    CountingClock clock(monitor);
    port::Clock::install(&clock);
    {
        VelmarMonitor instance(&system.lib);
        monitor = &instance;
        // One run writes the snapshot; then the files are left to age past the file system's
        // time granularity, after which an unchanged file is known by its state alone.
        clock.rewind();
        instance.start();
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
        double total = 0;
        for (auto _ : state) {
            clock.rewind();
            instance.start();  // returns when the clock has stopped it
            state.SetIterationTime(clock.cpuPerPoll());
            total += clock.cpuPerPoll();
        }
        const double perPoll = total / static_cast<double>(state.iterations());
        state.counters["objects"] = system.objects;
        state.counters["cpu_us_per_poll"] = perPoll * 1e6;
        state.counters["core_pct"] = perPoll / 1.0 * 100.0;
    }
    port::Clock::install(nullptr);
}

// Real time, with every wait of the loop cut to at most 2 ms.
class ShortWaitClock : public port::Clock {
public:
    int64_t now() override {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    bool wait(long ms, port::Interrupt* interrupt) override {
        const long cut = std::min(ms, 2L);
        if (interrupt != nullptr) {
            return interrupt->waitFor(cut);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(cut));
        return false;
    }
};

void BM_StopLatency(benchmark::State& state) {
    MonitoredSystem system(static_cast<int>(state.range(0)));
    ShortWaitClock clock;
    port::Clock::install(&clock);
    {
        VelmarMonitor monitor(&system.lib);
        std::atomic<bool> changing{state.range(1) != 0};
        std::thread changer([&] {
            bool defunct = false;
            while (changing.load()) {
                system.lib.setDriveState(0, 0, 1, defunct ? PD_STATE_DEFUNCT : PD_STATE_ONLINE);
                defunct = !defunct;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
        // A first run that lasts until the snapshot is written, so that every later run
        // begins by reading it.
        std::thread first([&] { monitor.start(); });
        while (!port::fileExists(system.home.path("TLXVLConfig.xml"))) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        monitor.stop();
        first.join();
        // Stops from the first moment of a run until well into its polling: at 64 controllers
        // the start-of-run read and comparison take about 100 ms, five polls 10 ms more.
        std::mt19937 random(13);
        std::uniform_int_distribution<int> delayMicros(0, 400000);
        std::vector<double> latencies;
        for (auto _ : state) {
            std::thread loop([&] { monitor.start(); });
            // A stop() that comes before start() has begun is lost.
            while (!monitor.isPollingEnabled()) {
                std::this_thread::yield();
            }
            std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
            const auto stopAt = std::chrono::steady_clock::now();
            monitor.stop();
            loop.join();
            const std::chrono::duration<double> latency = std::chrono::steady_clock::now() - stopAt;
            latencies.push_back(latency.count());
            state.SetIterationTime(latency.count());
            monitor.getEvents(0);
        }
        changing.store(false);
        changer.join();
        std::sort(latencies.begin(), latencies.end());
        if (!latencies.empty()) {
            state.counters["p50_ms"] = latencies[latencies.size() / 2] * 1e3;
            state.counters["p99_ms"] = latencies[latencies.size() * 99 / 100] * 1e3;
            state.counters["max_ms"] = latencies.back() * 1e3;
        }
        state.counters["objects"] = system.objects;
    }
    port::Clock::install(nullptr);
}

BENCHMARK(BM_IdlePoll)
    ->ArgName("controllers")
    ->Arg(2)
    ->Arg(16)
    ->Arg(64)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StopLatency)
    ->ArgNames({"controllers", "changing"})
    ->Args({64, 0})
    ->Args({64, 1})
    ->UseManualTime()
    ->Iterations(150)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
