// Feeds arbitrary text to the controller event translation, as the event text of a poll of
// controller 0 on the stand-in system of FuzzMonitor.h. The only exception allowed out is
// SimpleXmlException for malformed text; anything else escaping, and every sanitizer report,
// is a finding.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzHome.h"
#include "FuzzMonitor.h"
#include "monitor/VelmarMonitor.h"
#include "port/DebugMask.h"
#include "snapshot/SimpleXmlException.h"

namespace {

struct Setup {
    NoWaitClock clock;  // the monitor's construction waits a second; this clock does not
    VelmarLib lib;
    std::unique_ptr<VelmarMonitor> monitor;
    Adapter* caller = nullptr;
};

Setup& setup() {
    static Setup* instance = new Setup();  // never destroyed: the home goes at exit
    return *instance;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzHome::make("tlxvl-fuzz-translate-");
    Setup& s = setup();
    port::Clock::install(&s.clock);
    fuzzmodel::buildTrees(s.lib);
    s.caller = static_cast<Adapter*>(s.lib.getCurrentSystem()->getChild(0));
    s.monitor = std::make_unique<VelmarMonitor>(&s.lib);
    s.monitor->setEventTypeLevel(static_cast<EnumEventType>(7));
    // Errors and traces: every debug line of the translation is formatted.
    DebugMask::set(DebugMask::kErrors | DebugMask::kTrace);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Setup& s = setup();
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    try {
        s.monitor->GetEventFromXml(text.data(), s.caller);
    } catch (const SimpleXmlException&) {
        // malformed text: the poll loop catches this one
    }
    s.monitor->getEvents(0);
    FuzzHome::make("").trimLogs();
    return 0;
}
