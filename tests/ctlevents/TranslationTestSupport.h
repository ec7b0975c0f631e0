// Helpers of the controller event translation tests: a catalog whose texts show the key
// looked up and each argument in its place, a stand-in system of three controllers (IDs 0, 3
// and 7) and one that has gone (ID 5), and a one-line form of an event.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "monitor/VelmarMonitor.h"
#include "raidlib/raidlib.h"
#include "support/FakeClock.h"
#include "support/TestHome.h"

class TranslationMonitor : public VelmarMonitor {
public:
    using VelmarMonitor::eventCategory;
    using VelmarMonitor::VelmarMonitor;
};

// "code tType oObject" then the set IDs ("A0C1D3L1R0"), lun, fan and power supply, the
// non-empty texts (fru, hd serial, enclosure model, adapter serial, identifier), "| text".
std::string summary(const TLXEvent& event);

// A fake clock that calls onWait (on the waiting thread) after every wait.
struct HookedClock : FakeClock {
    std::function<void()> onWait;
    bool wait(long ms, port::Interrupt* interrupt) override;
};

// A library whose event text for a controller a test may replace (rewrite returns the new
// text, or the one it is given).
struct RewritingLib : VelmarLib {
    std::function<std::string(uint32_t adapterID, const std::string& text)> rewrite;
    Ret getEvents(const Addr& adapter, unsigned long from, char** buffer) override;
};

class TranslationTest : public TestHome {
protected:
    void SetUp() override;
    void TearDown() override;

    // The controller with that ID in the library's latest tree.
    Adapter* current(uint32_t adapterID);
    // Translates text as a poll of controller `caller` would; returns the events raised.
    std::vector<std::string> translate(const std::string& text, uint32_t caller = 0);
    std::string debugLog() const { return readFile("kvorlogs/TLXVLDebug.log"); }

    HookedClock clock;
    RewritingLib lib;
    std::unique_ptr<TranslationMonitor> monitor;
};
