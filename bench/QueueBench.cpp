// The event queue: adding under the overload policy, draining in batches or all at once, and
// adding while a host thread drains at the same time.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "BenchSupport.h"
#include "events/EnumEventType.h"
#include "events/TLXEvent.h"
#include "events/TLXEventCollection.h"
#include "port/DebugMask.h"
#include "raidlib/Addr.h"

namespace {

// An event as the drive comparison raises it: a text of typical length and every address.
TLXEvent sampleEvent() {
    const Addr addr(0, Addr::kUnset, Addr::kUnset, 1, 17, Addr::kUnsetChunk, Addr::kUnset,
                    Addr::kUnset);
    return TLXEvent(304, TLX_EVENT_ERROR,
                    "Drive 17 on channel 2 of controller 1 (VELMAR RAID Controller #VLM1000) "
                    "failed.",
                    addr, TLXEvent::kUnset, TLXEvent::kUnset, TLXEvent::kUnset, "VLM1000",
                    "EVENT_VELMAR_DRIVE_FAILED", "FRU-17");
}

// A queue held at its limit: every add beyond it triggers the overload policy from time to
// time (every 19th add at limit 200, every 99th at 1,000), so the time per add includes the
// trimming amortised over the adds between.
void BM_QueueAddAtLimit(benchmark::State& state) {
    DebugMask::set(0);
    const int limit = static_cast<int>(state.range(0));
    TLXEventCollection queue("", limit, 5);
    const TLXEvent event = sampleEvent();
    for (int i = 0; i < limit; ++i) {
        queue.add(event);
    }
    for (auto _ : state) {
        queue.add(event);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["queued"] = queue.size();
}
BENCHMARK(BM_QueueAddAtLimit)->Arg(200)->Arg(1000);

// The same at debug level 1, where every event offered is also written to the event log and
// flushed.
void BM_QueueAddAtLimitLogged(benchmark::State& state) {
    BenchHome home;
    if (!home.ok()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    DebugMask::set(DebugMask::kErrors | DebugMask::kEventLog);
    {
        const int limit = static_cast<int>(state.range(0));
        TLXEventCollection queue(home.path("TLXVLEvents.log"), limit, 5);
        const TLXEvent event = sampleEvent();
        for (int i = 0; i < limit; ++i) {
            queue.add(event);
        }
        for (auto _ : state) {
            queue.add(event);
        }
        state.SetItemsProcessed(state.iterations());
    }
    DebugMask::set(0);
}
BENCHMARK(BM_QueueAddAtLimitLogged)->Arg(1000);

// Drains a queue of range(0) events with take(range(1)) calls; a batch of 0 means takeAll().
void BM_QueueDrain(benchmark::State& state) {
    DebugMask::set(0);
    const int count = static_cast<int>(state.range(0));
    const int batch = static_cast<int>(state.range(1));
    TLXEventCollection queue("", count, 5);
    const TLXEvent event = sampleEvent();
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < count; ++i) {
            queue.add(event);
        }
        state.ResumeTiming();
        if (batch == 0) {
            benchmark::DoNotOptimize(queue.takeAll());
        } else {
            while (!queue.take(batch).empty()) {
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_QueueDrain)
    ->ArgNames({"events", "batch"})
    ->Args({200, 1})
    ->Args({200, 16})
    ->Args({200, 0})
    ->Args({1000, 1})
    ->Args({1000, 16})
    ->Args({1000, 0});

// Adds at full speed while one host thread drains with getEvents-sized batches of 16, as a
// host polling in a tight loop would. Both contend for the queue's one lock.
void BM_QueueAddWithConsumer(benchmark::State& state) {
    DebugMask::set(0);
    const int limit = static_cast<int>(state.range(0));
    TLXEventCollection queue("", limit, 5);
    const TLXEvent event = sampleEvent();
    std::atomic<bool> stop{false};
    std::atomic<long> taken{0};
    std::thread consumer([&] {
        while (!stop.load(std::memory_order_relaxed)) {
            const size_t got = queue.take(16).size();
            if (got == 0) {
                std::this_thread::yield();
            }
            taken.fetch_add(static_cast<long>(got), std::memory_order_relaxed);
        }
    });
    for (auto _ : state) {
        queue.add(event);
    }
    stop.store(true);
    consumer.join();
    state.SetItemsProcessed(state.iterations());
    state.counters["takenShare"] =
        static_cast<double>(taken.load()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_QueueAddWithConsumer)->Arg(200)->Arg(1000)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
