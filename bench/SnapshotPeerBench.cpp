// The snapshot round trip beside the same work done with pugixml, in one program, so that the
// two are measured on the same machine under the same load. Ours: build (copy the live tree),
// writeXML (text, atomic replacement of the file) and readXML (file to a rebuilt tree). The
// peer: a pugixml DOM of the same configuration (element for element, attribute for
// attribute), saved with the same indentation through the same atomic replacement, and parsed
// back from the file. Sizes: 16 controllers (about 2,000 objects) and 64 (about 10,000).
// Each write follows a deletion of the file (not timed), so that no write is skipped as
// unchanged; BM_OursUnchanged times the fifth-poll case where nothing changed.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <string>
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

void label(benchmark::State& state, const LiveSystem& live, long bytes) {
    state.counters["objects"] = live.objects;
    state.counters["KiB"] = static_cast<double>(bytes) / 1024.0;
    // Time per object: the figure that must not grow with the size of the system.
    state.counters["per_object"] = benchmark::Counter(
        static_cast<double>(live.objects),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

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

// build + writeXML + readXML, the tree read back checked once.
void BM_OursRoundTrip(benchmark::State& state) {
    BenchHome home;
    LiveSystem live(static_cast<int>(state.range(0)));
    const std::string path = home.path("TLXVLConfig.xml");
    TLXConfigBuilder builder(path);
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(path.c_str());
        state.ResumeTiming();
        builder.build(&live.system, &live.tasks);
        if (!builder.writeXML() || !builder.readXML()) {
            state.SkipWithError("the round trip failed");
            break;
        }
    }
    if (!builder.wasReadWhole() || builder.getSystem()->getChildCount() != state.range(0) + 1) {
        state.SkipWithError("the tree read back is not the tree written");
    }
    label(state, live, fileSize(path));
}

// The fifth-poll case with nothing changed: build and writeXML find the file as they left it.
void BM_OursUnchanged(benchmark::State& state) {
    BenchHome home;
    LiveSystem live(static_cast<int>(state.range(0)));
    const std::string path = home.path("TLXVLConfig.xml");
    TLXConfigBuilder builder(path);
    for (auto _ : state) {
        builder.build(&live.system, &live.tasks);
        if (!builder.writeXML()) {
            state.SkipWithError("writeXML failed");
            break;
        }
    }
    label(state, live, fileSize(path));
}

// The same configuration as a pugixml DOM, saved through the same atomic replacement and
// parsed back from the file.
void BM_PeerRoundTrip(benchmark::State& state) {
    BenchHome home;
    LiveSystem live(static_cast<int>(state.range(0)));
    const std::string path = home.path("peer.xml");
    // The snapshot tree only describes the configuration to the peer: not timed.
    TLXConfigBuilder source("");
    source.build(&live.system, &live.tasks);
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(path.c_str());
        state.ResumeTiming();
        {
            pugi::xml_document dom;
            DomWriter writer(dom);
            writer.writeElement(source.getSystem());
            StringSink sink;
            dom.save(sink, "    ", pugi::format_indent | pugi::format_no_declaration);
            if (!port::replaceFileAtomically(path, sink.text.data(), sink.text.size())) {
                state.SkipWithError("the write failed");
                break;
            }
        }
        pugi::xml_document back;
        if (!back.load_file(path.c_str())) {
            state.SkipWithError("the parse failed");
            break;
        }
        benchmark::DoNotOptimize(back.first_child());
    }
    label(state, live, fileSize(path));
}

BENCHMARK(BM_OursRoundTrip)
    ->ArgName("controllers")
    ->Arg(16)
    ->Arg(64)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerRoundTrip)
    ->ArgName("controllers")
    ->Arg(16)
    ->Arg(64)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursUnchanged)
    ->ArgName("controllers")
    ->Arg(16)
    ->Arg(64)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
