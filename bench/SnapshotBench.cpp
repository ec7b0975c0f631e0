// The configuration snapshot: copying a live tree (build), writing it to the file (writeXML,
// with and without the file) and rebuilding it from the file (readXML), for systems of 1, 4
// and 16 controllers with 64 drives and 4 logical drives each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "BenchSupport.h"
#include "raidlib/raidlib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXProgress.h"
#include "snapshot/TLXProgressCollection.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"

namespace {

constexpr int kDrivesPerController = 64;
constexpr int kLogicalDrivesPerController = 4;

// A live system of range(0) controllers and the task snapshot of their rebuilds.
struct LiveSystem {
    System system;
    TLXProgressCollection tasks;

    explicit LiveSystem(int controllers) {
        addControllers(system, controllers, kDrivesPerController, kLogicalDrivesPerController);
        for (int a = 0; a < controllers; ++a) {
            auto* task = new TLXProgress();
            task->setTaskID(static_cast<uint32_t>(a));
            task->setTaskType(TASK_TYPE_REBUILD);
            task->setTaskState(TASK_STATE_RUNNING);
            task->setPercentageComplete(40);
            task->setDeviceAddr(Addr(static_cast<uint32_t>(a), Addr::kUnset, 0, Addr::kUnset,
                                     Addr::kUnset, Addr::kUnsetChunk, Addr::kUnset, Addr::kUnset));
            task->setAdapterSerial("VLM" + std::to_string(1000 + a));
            tasks.addChild(task);
        }
    }
};

long fileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<long>(in.tellg()) : 0;
}

void setLabel(benchmark::State& state, long bytes) {
    state.SetLabel(std::to_string(state.range(0) * kDrivesPerController) + " drives, " +
                   std::to_string(bytes / 1024) + " KiB");
}

void BM_SnapshotBuild(benchmark::State& state) {
    LiveSystem live(static_cast<int>(state.range(0)));
    TLXConfigBuilder builder("");
    for (auto _ : state) {
        builder.build(&live.system, &live.tasks);
    }
    state.SetItemsProcessed(state.iterations());
}

// The text alone, in memory: the writer over the copied tree.
void BM_SnapshotSerialize(benchmark::State& state) {
    LiveSystem live(static_cast<int>(state.range(0)));
    TLXConfigBuilder builder("");
    builder.build(&live.system, &live.tasks);
    long bytes = 0;
    for (auto _ : state) {
        char* text = static_cast<char*>(std::malloc(1));
        {
            XMLWriter writer(&text);
            writer.writeElement(*builder.getSystem());
            bytes = static_cast<long>(writer.getLength());
        }
        std::free(text);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    setLabel(state, bytes);
}

// writeXML as the poll loop calls it when the configuration changed: text, atomic replacement
// of the file (with its syncs) and deletion of the tree. The build before it is not timed, nor
// the removal of the file that keeps writeXML from finding its text already there.
void BM_SnapshotWrite(benchmark::State& state) {
    BenchHome home;
    if (!home.ok()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    LiveSystem live(static_cast<int>(state.range(0)));
    const std::string path = home.path("TLXVLConfig.xml");
    TLXConfigBuilder builder(path);
    for (auto _ : state) {
        state.PauseTiming();
        builder.build(&live.system, &live.tasks);
        std::remove(path.c_str());
        state.ResumeTiming();
        if (!builder.writeXML()) {
            state.SkipWithError("writeXML failed");
            break;
        }
    }
    const long bytes = fileSize(path);
    state.SetBytesProcessed(state.iterations() * bytes);
    setLabel(state, bytes);
}

void BM_SnapshotRead(benchmark::State& state) {
    BenchHome home;
    if (!home.ok()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const std::string path = home.path("TLXVLConfig.xml");
    TLXConfigBuilder builder(path);
    {
        LiveSystem live(static_cast<int>(state.range(0)));
        builder.build(&live.system, &live.tasks);
        if (!builder.writeXML()) {
            state.SkipWithError("writeXML failed");
            return;
        }
    }
    for (auto _ : state) {
        builder.readXML();
    }
    if (builder.getSystem() == nullptr ||
        builder.getSystem()->getChildCount() != state.range(0) + 1) {
        state.SkipWithError("the tree read back is not the tree written");
    }
    const long bytes = fileSize(path);
    state.SetBytesProcessed(state.iterations() * bytes);
    setLabel(state, bytes);
}

BENCHMARK(BM_SnapshotBuild)->ArgName("controllers")->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_SnapshotSerialize)->ArgName("controllers")->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_SnapshotWrite)->ArgName("controllers")->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_SnapshotRead)->ArgName("controllers")->Arg(1)->Arg(4)->Arg(16);

}  // namespace

BENCHMARK_MAIN();
