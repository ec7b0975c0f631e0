// The snapshot round trip beside the same work done with pugixml, in one program, so that the
// two are measured on the same machine under the same load. Ours: build (copy the live tree),
// writeXML (text, atomic replacement of the file) and readXML (file to a rebuilt tree). The
// peer: a pugixml DOM of the same configuration (element for element, attribute for
// attribute), saved with the same indentation through the same atomic replacement, and parsed
// back from the file. Sizes: 16 controllers (about 2,000 objects) and 64 (about 10,000).
// BM_RoundTrip runs both in each iteration, so that they share the machine's load, and
// reports both; BM_OursUnchanged times the fifth-poll case where nothing changed.
// (build + writeXML comparing texts, and writeCopyOf, the monitor's way, comparing trees).
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <initializer_list>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "port/FileSystem.h"
#include "raidlib/raidlib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXProgress.h"
#include "snapshot/TLXProgressCollection.h"
#include "snapshot/TLXSystem.h"

namespace {

constexpr int kLogicalDrivesPerController = 4;

// range(0) controllers with enough drives that 16 give about 2,000 objects and 64 about 10,000.
int drivesFor(int controllers) {
    return controllers <= 16 ? 120 : 152;
}

struct LiveSystem {
    System system;
    TLXProgressCollection tasks;
    int objects = 0;

    explicit LiveSystem(int controllers) {
        addControllers(system, controllers, drivesFor(controllers), kLogicalDrivesPerController);
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
        objects = FilterCollection(&system).size();
    }
};

// A Writer that builds a pugixml DOM instead of text: every element and attribute that the
// snapshot's XML writer would write becomes a node or attribute of the document.
class DomWriter : public Writer {
public:
    explicit DomWriter(pugi::xml_node parent) : node_(parent) {}

    void writeAttribute(const char* name, char value) override {
        const char text[2] = {value, '\0'};
        attribute(name).set_value(text);
    }
    void writeAttribute(const char* name, unsigned char value) override {
        writeAttribute(name, static_cast<char>(value));
    }
    void writeAttribute(const char* name, int value) override { attribute(name).set_value(value); }
    void writeAttribute(const char* name, unsigned int value) override {
        attribute(name).set_value(value);
    }
    void writeAttribute(const char* name, int16_t value) override {
        attribute(name).set_value(static_cast<int>(value));
    }
    void writeAttribute(const char* name, uint16_t value) override {
        attribute(name).set_value(static_cast<unsigned>(value));
    }
    void writeAttribute(const char* name, long value) override { attribute(name).set_value(value); }
    void writeAttribute(const char* name, unsigned long value) override {
        attribute(name).set_value(value);
    }
    void writeHexAttribute(const char* name, unsigned long value) override {
        char text[24];
        std::snprintf(text, sizeof text, "0x%lx", value);
        attribute(name).set_value(text);
    }
    void writeAttribute(const char* name, float value) override {
        attribute(name).set_value(value);
    }
    void writeAttribute(const char* name, double value) override {
        attribute(name).set_value(value);
    }
    void writeAttribute(const char* name, unsigned long long value) override {
        attribute(name).set_value(value);
    }
    void writeAttribute(const char* name, long long value) override {
        attribute(name).set_value(value);
    }
    void writeAttribute64(const char* name, unsigned long long value) override {
        writeAttribute(name, value);
    }
    void writeAttribute(const char* name, bool value) override { attribute(name).set_value(value); }
    void writeAttribute(const char* name, const char* value) override {
        attribute(name).set_value(value != nullptr ? value : "");
    }
    void writeAttribute(const char* name, char* value) override {
        writeAttribute(name, static_cast<const char*>(value));
    }
    void writeAddr(const Addr* addr) override {
        if (addr != nullptr) {
            writeAddr(*addr);
        }
    }
    void writeAddr(const Addr& addr) override {
        DomWriter inner(node_.append_child(addr.serializedName()));
        inner.writeAddrAttributes(addr);
    }
    void writeObject(Serializable* object) override {
        if (object != nullptr) {
            writeObject(*object);
        }
    }
    void writeObject(Serializable& object) override {
        DomWriter inner(node_.append_child(object.serializedName()));
        object.writeTo(&inner);
    }
    void writeAddrAttributes(const Addr* addr) override {
        if (addr != nullptr) {
            writeAddrAttributes(*addr);
        }
    }
    void writeAddrAttributes(const Addr& addr) override {
        const auto id = [this](const char* name, uint32_t value) {
            if (value != Addr::kUnset) {
                writeAttribute(name, static_cast<unsigned int>(value));
            }
        };
        id("controllerID", addr.getAdapterID());
        id("arrayID", addr.getArrayID());
        id("logicalDriveID", addr.getLogicalDriveID());
        id("channelID", addr.getChannelID());
        id("deviceID", addr.getDeviceID());
        if (addr.getChunkID() != Addr::kUnsetChunk) {
            writeAttribute64("chunkID", addr.getChunkID());
        }
        id("itemID", addr.getItemID());
        id("phyID", addr.getPhyID());
    }
    void writeAddrAttributes(Addr* addr) override {
        writeAddrAttributes(static_cast<const Addr*>(addr));
    }
    void writeElement(RaidObject* object) override {
        if (object != nullptr) {
            writeElement(*object);
        }
    }
    void writeElement(RaidObject& object) override {
        DomWriter inner(node_.append_child(object.serializedName()));
        object.writeTo(&inner);
        for (RaidObject* child : object.getChildren()) {
            inner.writeElement(child);
        }
    }
    void writeText(const char*) override {}
    void writeBytes(const char*, const unsigned char*, unsigned long) override {}
    void writeRaw(const char*) override {}

private:
    pugi::xml_attribute attribute(const char* name) { return node_.append_attribute(name); }

    pugi::xml_node node_;
};

struct StringSink : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

long fileSize(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return 0;
    }
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return size;
}

// Wall-clock and thread CPU time of one phase, summed over the iterations.
class PhaseTimes {
public:
    template <typename Work>
    void time(const char* phase, Work&& work) {
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        work();
        cpu_[phase] += cpuSeconds() - cpuStart;
        wall_[phase] +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    double wall(const std::string& phase) const { return find(wall_, phase); }
    double cpu(const std::string& phase) const { return find(cpu_, phase); }

private:
    static double cpuSeconds() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    }
    static double find(const std::map<std::string, double>& times, const std::string& phase) {
        const auto found = times.find(phase);
        return found != times.end() ? found->second : 0.0;
    }
    std::map<std::string, double> wall_;
    std::map<std::string, double> cpu_;
};

// One iteration is our round trip and then the peer's, so that both run under the same load;
// each starts without its file, so that no write is skipped. The iteration time is ours; the
// counters give both, per phase, their ratio and the cost per object.
void BM_RoundTrip(benchmark::State& state) {
    BenchHome home;
    LiveSystem live(static_cast<int>(state.range(0)));
    const std::string ours = home.path("TLXVLConfig.xml");
    const std::string peer = home.path("peer.xml");
    TLXConfigBuilder builder(ours);
    // The snapshot tree only describes the configuration to the peer: not timed.
    TLXConfigBuilder source("");
    source.build(&live.system, &live.tasks);
    PhaseTimes times;
    bool ok = true;
    for (auto _ : state) {
        std::remove(ours.c_str());
        std::remove(peer.c_str());
        const auto start = std::chrono::steady_clock::now();
        times.time("build", [&] { builder.build(&live.system, &live.tasks); });
        times.time("write", [&] { ok = builder.writeXML() && ok; });
        times.time("read", [&] { ok = builder.readXML() && ok; });
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());

        pugi::xml_document dom;
        StringSink sink;
        times.time("dom", [&] {
            DomWriter writer(dom);
            writer.writeElement(source.getSystem());
        });
        times.time("save", [&] {
            dom.save(sink, "    ", pugi::format_indent | pugi::format_no_declaration);
            ok = port::replaceFileAtomically(peer, sink.text.data(), sink.text.size()) && ok;
        });
        pugi::xml_document back;
        times.time("parse", [&] { ok = back.load_file(peer.c_str()) && ok; });
    }
    if (!ok || !builder.wasReadWhole() ||
        builder.getSystem()->getChildCount() != state.range(0) + 1) {
        state.SkipWithError("a round trip failed");
        return;
    }
    const double n = static_cast<double>(state.iterations());
    const auto sum = [&times](bool cpu, std::initializer_list<const char*> phases) {
        double total = 0;
        for (const char* phase : phases) {
            total += cpu ? times.cpu(phase) : times.wall(phase);
        }
        return total;
    };
    const double oursWall = sum(false, {"build", "write", "read"});
    const double peerWall = sum(false, {"dom", "save", "parse"});
    const double oursCpu = sum(true, {"build", "write", "read"});
    const double peerCpu = sum(true, {"dom", "save", "parse"});
    for (const char* phase : {"build", "write", "read", "dom", "save", "parse"}) {
        state.counters[std::string(phase) + "_cpu_ms"] = times.cpu(phase) / n * 1e3;
    }
    state.counters["ours_ms"] = oursWall / n * 1e3;
    state.counters["peer_ms"] = peerWall / n * 1e3;
    state.counters["ratio"] = oursWall / peerWall;
    state.counters["ratio_cpu"] = oursCpu / peerCpu;
    // The cost per object, which must not grow with the size of the system.
    state.counters["ours_us_obj"] = oursWall / n / live.objects * 1e6;
    state.counters["peer_us_obj"] = peerWall / n / live.objects * 1e6;
    state.counters["objects"] = live.objects;
    state.counters["KiB"] = static_cast<double>(fileSize(ours)) / 1024.0;
}

// The fifth-poll case with nothing changed: the builder finds the file as it left it. With
// range(1) = 0 build and writeXML make the copy and the text and compare the text; with 1
// writeCopyOf, as the monitor calls it, compares the live system with the copy it kept. The
// file is older than the file system's time granularity, as in a running monitor.
void BM_OursUnchanged(benchmark::State& state) {
    BenchHome home;
    LiveSystem live(static_cast<int>(state.range(0)));
    TLXConfigBuilder builder(home.path("TLXVLConfig.xml"));
    const auto write = [&] {
        if (state.range(1) != 0) {
            return builder.writeCopyOf(&live.system, &live.tasks);
        }
        builder.build(&live.system, &live.tasks);
        return builder.writeXML();
    };
    write();
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    for (auto _ : state) {
        if (!write() || !builder.wasWriteSkipped()) {
            state.SkipWithError("the unchanged file was written");
            break;
        }
    }
    state.counters["objects"] = live.objects;
    state.counters["us_obj"] = benchmark::Counter(
        static_cast<double>(live.objects),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_RoundTrip)
    ->ArgName("controllers")
    ->Arg(16)
    ->Arg(64)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursUnchanged)
    ->ArgNames({"controllers", "copyPath"})
    ->ArgsProduct({{16, 64}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
