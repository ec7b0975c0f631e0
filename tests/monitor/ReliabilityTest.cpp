// Faults found by hammering the monitor: settings that are not numbers, a record whose text
// mentions "eventNumber", the null text of a quiet controller, and stop() racing start().
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "monitor/MonitorTestSupport.h"
#include "port/DebugMask.h"
#include "support/TreeBuilder.h"

namespace {

using Requests = RecordingLib::Requests;

// A value that is not a whole number in range keeps the current value and is reported once;
// a missing value reads as 0, the default.
TEST_F(MonitorLoopTest, SettingsAreParsedStrictly) {
    const struct {
        const char* text;
        int queueSize;  // after reading it, starting from 500
        bool reported;
    } cases[] = {
        {"99999999999", 500, true}, {"-1", 500, true},           {"700junk", 500, true},
        {"0x10", 500, true},        {" 42 ", 42, false},         {"", 0, false},
        {"1000001", 500, true},     {"1000000", 1000000, false},
    };
    writeFile("TLXConfig.ini", "tlx.eventQueueSize=500\n");
    TestVelmarMonitor monitor(&lib);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        writeFile("TLXConfig.ini", "tlx.eventQueueSize=500\n");
        monitor.readConfig();
        writeFile("TLXConfig.ini", std::string("tlx.eventQueueSize=") + c.text + "\n");
        monitor.readConfig();
        monitor.readConfig();  // the same wrong text again: no second line
        EXPECT_EQ(monitor.getEventQueueSize(), c.queueSize);
        const std::string line = std::string("tlx.eventQueueSize=") + NLSParser::trim(c.text) +
                                 " is not a whole number from 0 to 1000000; keeping 500\n";
        EXPECT_EQ(counts(debugLog(), {line})[0], c.reported ? 1 : 0);
    }
}

// The next record number comes from the last record's own eventNumber attribute, never from
// a text value that happens to hold the word.
TEST_F(MonitorLoopTest, ARecordTextCannotMoveTheNextRecordNumber) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    lib.appendEvent(0, RaidEvent(401, 4));
    const char* const kTexts[] = {
        "<RaidEvent eventNumber=\"5\" FRU=\"eventNumber= 4000000000\"/>\n",
        "<RaidEvent FRU='x eventNumber=\"9\"' eventNumber='7'/>\n",
        "<RaidEvent eventCode=\"1\" eventNumber=\"8\"/><RaidEvent FRU=\"eventNumber=99\"/>\n",
    };
    size_t call = 0;
    lib.rewrite = [&](uint32_t, char** buffer) {
        if (call < std::size(kTexts)) {
            std::free(*buffer);
            *buffer = strdup(kTexts[call]);
        }
        ++call;
    };
    TestVelmarMonitor monitor(&lib);
    writeSnapshotOfHardware();
    runWaits(monitor, 5);
    // The third text's last record has no number: the next number stays.
    EXPECT_EQ(lib.requests(), (Requests{{0, 1}, {0, 6}, {0, 8}, {0, 8}, {0, 8}}));
}

// A stop() while one controller is asked for its records ends the poll there: the next
// controller is not asked.
TEST_F(MonitorLoopTest, StopWithinAPollAsksNoFurtherController) {
    TreeBuilder tree(lib.getHardwareModel());
    tree.adapter(0, "A0");
    tree.adapter(1, "A1");
    TestVelmarMonitor monitor(&lib);
    lib.rewrite = [&](uint32_t, char**) { monitor.stop(); };
    monitor.start();
    EXPECT_EQ(lib.requests(), (Requests{{0, 1}}));
}

// The signal of an earlier stop() is cleared when the next run begins, through start() or
// through a host's own run() with polling enabled: its waits last their time (fake time
// moves by the three one-second waits) instead of ending at once.
TEST_F(MonitorLoopTest, ANewRunClearsTheSignalOfAnEarlierStop) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    for (const bool hostRun : {false, true}) {
        monitor.stop();
        const int64_t before = clock.totalWaitedMillis();
        if (hostRun) {
            monitor.enablePolling();
            int seen = 0;
            clock.onWait = [&](long) {
                if (++seen == 3) {
                    monitor.stop();
                }
            };
            monitor.run();
            clock.onWait = nullptr;
        } else {
            runWaits(monitor, 3);
        }
        EXPECT_EQ(clock.totalWaitedMillis() - before, 3000) << hostRun;
    }
}

// A controller without new records answers with a null text: a trace line, not an error
// line at every poll.
TEST_F(MonitorLoopTest, AQuietControllerWritesNoErrorLine) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    writeFile("TLXConfig.ini", "tlx.debugMask=0\n");
    TestVelmarMonitor monitor(&lib);
    writeSnapshotOfHardware();
    runWaits(monitor, 4);
    EXPECT_EQ(counts(debugLog(), {"Events buffer is NULL"})[0], 0);
}

// stop() and start() from different threads at once: whichever wins, a loop that runs
// waits its interval (fake time advances) instead of finding the stop signal raised, and
// the last stop() ends it.
TEST_F(MonitorLoopTest, StopRacingStartNeverLeavesALoopSpinning) {
    writeFile("TLXConfig.ini", "tlx.debugMask=0\n");
    TestVelmarMonitor monitor(&lib);
    for (int round = 0; round < 200; ++round) {
        std::atomic<bool> go{false};
        std::atomic<bool> returned{false};
        std::thread loop([&] {
            while (!go) {
            }
            monitor.start();
            returned = true;
        });
        std::thread stopper([&] {
            while (!go) {
            }
            monitor.stop();
        });
        go = true;
        stopper.join();
        // A stop() that came before start() began is not meant to stop it: wait until
        // start() has either claimed the monitor or returned.
        while (!returned && !monitor.isPollingEnabled()) {
            std::this_thread::yield();
        }
        if (monitor.isPollingEnabled()) {
            const int64_t before = clock.totalWaitedMillis();
            // A loop whose waits were cut short would spin without moving fake time.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (clock.totalWaitedMillis() < before + 3000 &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::yield();
            }
            EXPECT_GE(clock.totalWaitedMillis(), before + 3000) << "round " << round;
        }
        monitor.stop();
        loop.join();
    }
}

}  // namespace
