// Feeds arbitrary text to the monitor's poll loop as the answer of controller 0 to its event
// request, so that the text goes the whole way a library's text goes: the loop's reading of
// the last record number, its translation, the settings reload and the snapshot rewrite.
// Each input runs one loop on the stand-in system of FuzzMonitor.h through start(), which
// the clock's first pause ends with stop(). An empty input stands for the library's null
// text. Nothing may escape start(); every sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzHome.h"
#include "FuzzMonitor.h"
#include "monitor/VelmarMonitor.h"
#include "raidlib/Addr.h"

namespace {

// Answers controller 0's event requests with the current input.
class FuzzedEventsLib : public VelmarLib {
public:
    Ret getEvents(const Addr& adapter, unsigned long from, char** buffer) override {
        if (adapter.getAdapterID() != 0) {
            return VelmarLib::getEvents(adapter, from, buffer);
        }
        std::free(*buffer);
        *buffer = nullptr;
        if (size > 0) {
            *buffer = static_cast<char*>(std::malloc(size + 1));
            std::memcpy(*buffer, data, size);
            (*buffer)[size] = '\0';
        }
        return Ret();
    }

    const uint8_t* data = nullptr;
    size_t size = 0;
};

struct Setup {
    NoWaitClock clock;
    FuzzedEventsLib lib;
    std::unique_ptr<VelmarMonitor> monitor;
};

Setup& setup() {
    static Setup* instance = new Setup();  // never destroyed: the home goes at exit
    return *instance;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzHome& home = FuzzHome::make("tlxvl-fuzz-pollloop-");
    // Error lines only (the translation target formats the traces), and a queue small
    // enough to overflow now and then.
    const std::string settings = "tlx.debugMask=0\ntlx.eventQueueSize=40\n";
    home.write("TLXConfig.ini", settings.data(), settings.size());
    Setup& s = setup();
    port::Clock::install(&s.clock);
    fuzzmodel::build(*s.lib.getHardwareModel());
    s.monitor = std::make_unique<VelmarMonitor>(&s.lib);
    s.monitor->setEventTypeLevel(static_cast<EnumEventType>(7));
    s.clock.onInterruptibleWait = [] { setup().monitor->stop(); };
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Setup& s = setup();
    s.lib.data = data;
    s.lib.size = size;
    s.monitor->start();
    if (s.monitor->isPollingEnabled()) {
        __builtin_trap();  // the loop ended without its stop
    }
    s.monitor->getEvents(0);
    FuzzHome::make("").trimLogs();
    return 0;
}
