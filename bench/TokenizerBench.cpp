// The tokenizer over a controller's event text: range(0) "RaidEvent" records as the controller
// library renders them, read token by token as the controller event translation reads them.
// The tokenizer writes into its text, so every pass works on a fresh copy (not timed).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "raidlib/RaidEvent.h"
#include "snapshot/SimpleXmlParser.h"

namespace {

// Records of drive, logical-drive and enclosure events with the attributes a controller gives.
std::string eventText(int records) {
    std::string text;
    for (int i = 0; i < records; ++i) {
        RaidEvent record(300 + i % 40, i % 3 == 0 ? 4 : 1);
        record.setEventNumber(static_cast<unsigned long>(i + 1));
        record.set("adapterID", i % 4);
        switch (i % 3) {
            case 0:
                record.set("channelID", i % 2).set("deviceID", i % 64);
                record.set("FRU", "FRU-" + std::to_string(i % 64));
                break;
            case 1:
                record.set("arrayID", 0).set("logicalDriveID", i % 4);
                break;
            default:
                record.set("channelID", 0).set("deviceID", 32).set("fanID", i % 3);
                record.set("powerSupplyID", i % 2);
                break;
        }
        record.set("timeStamp", "0x" + std::to_string(600000000 + i));
        record.set("description", "Event " + std::to_string(i) + " reported by the controller");
        text += record.toXml();
    }
    return text;
}

void BM_TokenizeEventText(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const std::string original = eventText(records);
    std::vector<char> text(original.size() + 1);
    long tokens = 0;
    long ends = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(text.data(), original.c_str(), original.size() + 1);
        tokens = 0;
        ends = 0;
        state.ResumeTiming();
        SimpleXmlParser parser(text.data(), static_cast<unsigned>(original.size()));
        while (parser.next()) {
            ++tokens;
            if (parser.isEnd() && std::strcmp(parser.getElementName(), "RaidEvent") == 0) {
                ++ends;
            }
        }
    }
    if (ends != records) {
        state.SkipWithError("not every record was read");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long>(original.size()));
    state.SetItemsProcessed(state.iterations() * records);
    state.counters["tokens"] = static_cast<double>(tokens);
}
BENCHMARK(BM_TokenizeEventText)->ArgName("records")->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
