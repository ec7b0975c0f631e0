// Helpers of the monitor tests: a fake clock that lets a test act at a chosen wait of the
// loop (on the loop's own thread, so the loop can be stopped after exactly N polls), a
// library that records every event request, and a monitor that shows its event queue.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "monitor/VelmarMonitor.h"
#include "port/Interrupt.h"
#include "raidlib/VelmarLib.h"
#include "support/FakeClock.h"
#include "support/TestHome.h"

class HookClock : public FakeClock {
public:
    // Called after every wait with its length; set only while no loop runs.
    std::function<void(long)> onWait;
    // Waits of at least this many milliseconds block in real time until interrupted, for
    // five seconds at most.
    long blockFrom = 0;
    std::atomic<bool> blocking{false};

    bool wait(long ms, port::Interrupt* interrupt) override {
        if (blockFrom > 0 && ms >= blockFrom && interrupt != nullptr) {
            blocking = true;
            const bool cut = interrupt->waitFor(ms < 5000 ? ms : 5000);
            blocking = false;
            return cut;
        }
        const bool cut = FakeClock::wait(ms, interrupt);
        if (onWait) {
            onWait(ms);
        }
        return cut;
    }
};

// Records (adapter ID, first event number) of every getEvents call. A test may replace the
// text of a call or make it throw.
class RecordingLib : public VelmarLib {
public:
    std::function<void(uint32_t adapterID, char** buffer)> rewrite;

    Ret getEvents(const Addr& adapter, unsigned long from, char** buffer) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.emplace_back(adapter.getAdapterID(), from);
        }
        Ret ret = VelmarLib::getEvents(adapter, from, buffer);
        if (rewrite) {
            rewrite(adapter.getAdapterID(), buffer);
        }
        return ret;
    }

    std::vector<std::pair<uint32_t, unsigned long>> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<uint32_t, unsigned long>> requests_;
};

class TestVelmarMonitor : public VelmarMonitor {
public:
    using VelmarMonitor::VelmarMonitor;
    TLXEventCollection& queue() { return *events; }
};

// Replaces *buffer by a malloc'ed copy of text.
void replaceText(char** buffer, const std::string& text);
// How often needle occurs in text.
int countOf(const std::string& text, const std::string& needle);
// The lines of text that contain needle, each as the number of lines before it that contain
// marker.
std::vector<int> markersBefore(const std::string& text, const std::string& needle,
                               const std::string& marker);

// Home directory with the small catalog, settings at debug level 2 and the hook clock.
class MonitorLoopTest : public TestHome {
protected:
    void SetUp() override;

    // Starts the monitor on this thread and stops it from inside the loop's wait number
    // `waits` (counted from the start).
    void runWaits(VelmarMonitor& monitor, int waits);
    std::string debugLog() const { return readFile("kvorlogs/TLXVLDebug.log"); }
    // Stores the library's hardware model as the snapshot of an earlier run, so that the
    // start of the next run finds nothing changed.
    void writeSnapshotOfHardware();

    HookClock clock;
    RecordingLib lib;
};
