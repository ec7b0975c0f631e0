// Feeds arbitrary bytes to the monitor as its settings file, TLXConfig.ini, and reloads it
// as the poll loop does after each poll. Besides the sanitizers' checks it traps when a
// setting leaves its range: a text that is not a whole number in range must keep the value.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzHome.h"
#include "FuzzMonitor.h"
#include "monitor/VelmarMonitor.h"
#include "port/DebugMask.h"

namespace {

struct Range {
    int (BaseRaidMonitor::*get)() const;
    int low;
    int high;
};
constexpr Range kRanges[] = {
    {&BaseRaidMonitor::getEventQueueSize, 0, 1000000},
    {&BaseRaidMonitor::getDebugMask, 0, 2},
    {&BaseRaidMonitor::getEventLogLevel, 0, 7},
};

struct Setup {
    NoWaitClock clock;
    VelmarLib lib;
    std::unique_ptr<VelmarMonitor> monitor;
};

Setup& setup() {
    static Setup* instance = new Setup();  // never destroyed: the home goes at exit
    return *instance;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzHome::make("tlxvl-fuzz-settings-");
    Setup& s = setup();
    port::Clock::install(&s.clock);
    s.monitor = std::make_unique<VelmarMonitor>(&s.lib);
    DebugMask::set(DebugMask::kErrors);  // the lines about rejected values are formatted
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Setup& s = setup();
    FuzzHome& home = FuzzHome::make("");
    home.write("TLXConfig.ini", data, size);
    s.monitor->readConfig();
    for (const Range& range : kRanges) {
        const int value = (s.monitor.get()->*range.get)();
        if (value < range.low || value > range.high) {
            __builtin_trap();
        }
    }
    home.trimLogs();
    return 0;
}
