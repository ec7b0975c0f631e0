// Helpers of the monitor tests: a fake clock that lets a test act at a chosen wait of the
// loop (on the loop's own thread, so the loop can be stopped after exactly N polls), a
// library that records every event request, and a monitor that shows its event queue.
#pragma once

#include <atomic>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "monitor/VelmarMonitor.h"
#include "port/Clock.h"
#include "port/Interrupt.h"
#include "raidlib/VelmarLib.h"
#include "snapshot/TLXConfigBuilder.h"
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
    // The loop's interruptible waits: those that ran their length and those cut short.
    std::atomic<int> fullWaits{0};
    std::atomic<int> cutWaits{0};

    bool wait(long ms, port::Interrupt* interrupt) override {
        if (interrupt != nullptr) {
            ++(interrupt->raised() ? cutWaits : fullWaits);
        }
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
// text of a call or make it throw, or hold the calls (each sets held and waits until hold is
// cleared).
class RecordingLib : public VelmarLib {
public:
    using Requests = std::vector<std::pair<uint32_t, unsigned long>>;
    std::function<void(uint32_t adapterID, char** buffer)> rewrite;
    std::atomic<bool> hold{false}, held{false};

    Ret getEvents(const Addr& adapter, unsigned long from, char** buffer) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.emplace_back(adapter.getAdapterID(), from);
        }
        held = hold.load();
        while (hold) {
            std::this_thread::yield();
        }
        Ret ret = VelmarLib::getEvents(adapter, from, buffer);
        if (rewrite) {
            rewrite(adapter.getAdapterID(), buffer);
        }
        return ret;
    }

    Requests requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    mutable std::mutex mutex_;
    Requests requests_;
};

class TestVelmarMonitor : public VelmarMonitor {
public:
    using VelmarMonitor::VelmarMonitor;
    TLXEventCollection& queue() { return *events; }
};

// How often each needle occurs in text.
inline std::vector<int> counts(const std::string& text,
                               std::initializer_list<std::string> needles) {
    std::vector<int> found;
    for (const std::string& needle : needles) {
        found.push_back(0);
        for (size_t at = text.find(needle); at != std::string::npos;
             at = text.find(needle, at + needle.size())) {
            ++found.back();
        }
    }
    return found;
}

// The lines of text that contain needle, each as the number of lines before it that contain
// marker.
inline std::vector<int> markersBefore(const std::string& text, const std::string& needle,
                                      const std::string& marker) {
    std::vector<int> positions;
    std::istringstream lines(text);
    int markers = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(needle) != std::string::npos) {
            positions.push_back(markers);
        }
        markers += line.find(marker) != std::string::npos ? 1 : 0;
    }
    return positions;
}

// Home directory with the small catalog, settings at debug level 2 and the hook clock.
class MonitorLoopTest : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        port::Clock::install(&clock);
        writeSmallCatalog();
        writeFile("TLXConfig.ini", "tlx.debugMask=2\n");
    }

    // Starts the monitor on this thread (through start(), or as a host's own run() with
    // polling enabled) and stops it from inside the loop's wait number `waits`.
    void runWaits(VelmarMonitor& monitor, int waits, bool hostRun = false) {
        int seen = 0;
        clock.onWait = [&](long) {
            if (++seen == waits) {
                monitor.stop();
            }
        };
        if (hostRun) {
            monitor.enablePolling();
            monitor.run();
        } else {
            monitor.start();
        }
        clock.onWait = nullptr;
    }

    std::string debugLog() const { return readFile("kvorlogs/TLXVLDebug.log"); }
    // The debug line prefix for the clock's current time.
    std::string stamp() {
        const std::string text = port::ctimeText(clock.now());
        return "[" + text.substr(0, text.size() - 1) + "]  ";
    }

    // Stores the library's hardware model as the snapshot of an earlier run, so that the
    // start of the next run finds nothing changed.
    void writeSnapshotOfHardware() {
        TLXConfigBuilder builder(path("TLXVLConfig.xml"));
        builder.build(lib.getHardwareModel(), nullptr);
        ASSERT_TRUE(builder.writeXML());
    }

    HookClock clock;
    RecordingLib lib;
};
