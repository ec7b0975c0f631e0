// Faults found by hammering the monitor: settings that are not numbers, a record whose text
// mentions "eventNumber", the null text of a quiet controller, stop() racing start() or
// coming between controllers or before a new run, and logs that cannot be written or grow
// without end.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "monitor/MonitorTestSupport.h"
#include "raidlib/ModelBuilder.h"
#include "support/FaultyFileOps.h"

namespace {

using Requests = RecordingLib::Requests;

// A value that is not a whole number in range keeps the current value and is reported once;
// a missing value reads as 0, the default.
TEST_F(MonitorLoopTest, SettingsAreParsedStrictly) {
    // clang-format off
    const struct { const char* text; int queueSize; bool reported; } cases[] = {  // from 500
        {"99999999999", 500, true}, {"-1", 500, true}, {"700junk", 500, true}, {"0x10", 500, true},
        {" 42 ", 42, false}, {"", 0, false}, {"1000001", 500, true}, {"1000000", 1000000, false}};
    // clang-format on
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

// The next record number is the last record's own eventNumber attribute, read as unsigned
// 32-bit; a text without one, or with the word only inside another value, does not move it.
TEST_F(MonitorLoopTest, TheNextRecordNumberComesFromTheLastRecordsOwnAttribute) {
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    lib.appendEvent(0, RaidEvent(401, 4));
    // clang-format off
    const std::pair<const char*, unsigned long> kTexts[] = {  // text (null: the library's), next
        {"<RaidEvent eventCode=\"500\"/>", 1}, {"<RaidEvent eventNumber=\"-1\"/>", 1},
        {"<RaidEvent eventNumber", 1}, {nullptr, 2},
        {"<RaidEvent eventNumber=\"5\" FRU=\"eventNumber= 4000000000\"/>\n", 6},
        {"<RaidEvent FRU='x eventNumber=\"9\"' eventNumber='7'/>\n", 8},
        {"<RaidEvent eventCode=\"1\" eventNumber=\"8\"/><RaidEvent FRU=\"eventNumber=99\"/>\n", 8},
        {"<RaidEvent eventNumber=\"3000000000\"/>", 3000000001ul}};
    // clang-format on
    size_t call = 0;
    Requests expected{{0, 1}};
    lib.rewrite = [&](uint32_t, char** buffer) {
        if (call < std::size(kTexts) && kTexts[call].first != nullptr) {
            std::free(*buffer);
            *buffer = strdup(kTexts[call].first);
        }
        ++call;
    };
    for (const auto& text : kTexts) {
        expected.emplace_back(0, text.second);
    }
    TestVelmarMonitor monitor(&lib);
    writeSnapshotOfHardware();
    runWaits(monitor, static_cast<int>(expected.size()));
    EXPECT_EQ(lib.requests(), expected);
}

// A stop() while one controller is asked for its records ends the poll there: the next
// controller is not asked.
TEST_F(MonitorLoopTest, StopWithinAPollAsksNoFurtherController) {
    ModelBuilder tree(lib.getHardwareModel());
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
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    for (const bool hostRun : {false, true}) {
        monitor.stop();
        const int64_t before = clock.totalWaitedMillis();
        runWaits(monitor, 3, hostRun);
        EXPECT_EQ(clock.totalWaitedMillis() - before, 3000) << hostRun;
    }
}

// A controller without new records answers with a null text: a trace line (see
// VelmarMonitorTest), neither an error nor an event log line (both shown at level 1).
TEST_F(MonitorLoopTest, AQuietControllerWritesNoErrorLine) {
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    writeSnapshotOfHardware();
    writeFile("TLXConfig.ini", "tlx.debugMask=1\n");
    TestVelmarMonitor monitor(&lib);
    runWaits(monitor, 4);
    EXPECT_EQ(counts(debugLog(), {"Events buffer is NULL"})[0], 0);
}

// The polls the library sees while the loop advances fake time by at least a second, or by
// nothing in 50 polls when it spins (five seconds of real time at most); the loop may run on
// past the second before this thread looks again, so the seconds are counted too.
struct PollCount {
    int polls;
    int64_t seconds;
};
PollCount countPollsForAFakeSecond(const HookClock& clock, const RecordingLib& lib) {
    const int64_t waited = clock.totalWaitedMillis();
    const size_t polls = lib.requests().size();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (clock.totalWaitedMillis() < waited + 1000 && lib.requests().size() < polls + 50 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    return {static_cast<int>(lib.requests().size() - polls),
            (clock.totalWaitedMillis() - waited) / 1000};
}

// A start() that begins while stop() has switched polling off but not yet raised its signal
// (held there through the interrupt seam for up to 200 ms, or until that start() claims the
// monitor): the loop that runs afterwards still waits its interval, with the monitor idle
// before or a loop running.
TEST_F(MonitorLoopTest, AStartInsideAStopStillWaitsItsInterval) {
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    writeFile("TLXConfig.ini", "tlx.debugMask=0\n");
    writeSnapshotOfHardware();
    for (const bool running : {false, true}) {
        SCOPED_TRACE(running ? "loop running" : "monitor idle");
        struct Held {
            explicit Held(VelmarLib* lib) : monitor(lib) {}
            TestVelmarMonitor monitor;
            std::thread starter;
        } held(&lib);
        std::thread first;
        if (running) {
            const int full = clock.fullWaits.load();
            first = std::thread([&] { held.monitor.start(); });
            while (clock.fullWaits.load() == full) {
                std::this_thread::yield();
            }
        }
        port::Interrupt::setRaiseHook(
            [](void* context) {
                Held& h = *static_cast<Held*>(context);
                h.starter = std::thread([&h] { h.monitor.start(); });
                const auto deadline =
                    std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
                while (!h.monitor.isPollingEnabled() &&
                       std::chrono::steady_clock::now() < deadline) {
                    std::this_thread::yield();
                }
            },
            &held);
        held.monitor.stop();
        port::Interrupt::setRaiseHook(nullptr, nullptr);
        while (!held.monitor.isPollingEnabled()) {
            std::this_thread::yield();
        }
        const PollCount count = countPollsForAFakeSecond(clock, lib);
        EXPECT_GE(count.seconds, 1);
        EXPECT_LE(count.polls, count.seconds + 1);  // one poll per second of waiting
        held.monitor.stop();
        held.starter.join();
        if (first.joinable()) {
            first.join();
        }
    }
}

// 1,000 rounds of two start() calls racing a stop() from three host threads: every loop that
// is left running waits its interval twice (fake time advances), and waits are cut short
// only by stop() calls.
TEST_F(MonitorLoopTest, StartsAndStopsFromThreeThreadsNeverLeaveALoopSpinning) {
    constexpr int kRounds = 1000;
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    writeFile("TLXConfig.ini", "tlx.debugMask=0\n");
    writeSnapshotOfHardware();
    TestVelmarMonitor monitor(&lib);
    std::atomic<int> round{-1};
    std::atomic<int> returned[3] = {{0}, {0}, {0}};  // rounds each host thread completed
    std::vector<std::thread> hosts;
    for (int h = 0; h < 3; ++h) {
        hosts.emplace_back([&, h] {
            for (int r = 0; r < kRounds; ++r) {
                while (round.load() < r) {
                    std::this_thread::yield();
                }
                h < 2 ? monitor.start() : monitor.stop();
                returned[h] = r + 1;
            }
        });
    }
    int stops = 0;
    for (int r = 0; r < kRounds; ++r) {
        round = r;
        // Both start() calls have returned or one of them runs a loop, after the stop().
        while (returned[2] <= r ||
               (!monitor.isPollingEnabled() && (returned[0] <= r || returned[1] <= r))) {
            std::this_thread::yield();
        }
        ++stops;
        if (monitor.isPollingEnabled()) {
            const int full = clock.fullWaits.load();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (clock.fullWaits.load() < full + 2 &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::yield();
            }
            EXPECT_GE(clock.fullWaits.load(), full + 2) << "round " << r;
        }
        // A start() that came late may claim the monitor after this stop(): stop it too.
        while (returned[0] <= r || returned[1] <= r || monitor.isPollingEnabled()) {
            if (monitor.isPollingEnabled()) {
                monitor.stop();
                ++stops;
            }
            std::this_thread::yield();
        }
    }
    for (std::thread& host : hosts) {
        host.join();
    }
    // A loop may see one raise twice when it passes its check between a start()'s claim and
    // that start()'s clearing of the signal; a spinning loop sees it thousands of times.
    EXPECT_LE(clock.cutWaits.load(), 2 * stops);
}

// A log that cannot be opened is tried again once per settings reload until it opens; a
// line that cannot be written is lost, and the next one tries again. The first five opens
// of a log fail (construction: the debug log twice, the event log once; the first reload:
// both logs), and so does the third line written to the debug log.
TEST_F(MonitorLoopTest, ALogThatCouldNotBeWrittenHealsAtTheNextTry) {
    enum Action { Construct, Reload, Line };
    // written: the line of the step reaches the debug log; opens: of either log so far.
    // clang-format off
    const struct { const char* what; Action action; bool written; int opens; } steps[] = {
        {"construct, logs unopenable", Construct, false, 3}, {"reload, failing", Reload, false, 5},
        {"reload, fault cleared", Reload, true, 7}, {"reload, both open", Reload, true, 7},
        {"line on a full disk", Line, false, 7}, {"next line, space freed", Line, true, 7}};
    // clang-format on
    std::vector<Fault> faults;
    for (int call = 1; call <= 5; ++call) {
        faults.push_back({FileOp::Open, ".log", EACCES, call});
    }
    faults.push_back({FileOp::Write, "TLXVLDebug.log", ENOSPC, 3});
    FaultyFileOps ops(faults);
    writeFile("TLXConfig.ini", "tlx.debugMask=0\n");  // no lines but the test's own
    std::unique_ptr<TestVelmarMonitor> monitor;
    int step = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.action == Construct) {
            monitor = std::make_unique<TestVelmarMonitor>(&lib);
        } else if (s.action == Reload) {
            monitor->readConfig();
        }
        const std::string line = "step " + std::to_string(step++) + "\n";
        monitor->logDebugMsg("%s", line.c_str());
        EXPECT_EQ(monitor->isDebugLogWritten(), s.written);
        EXPECT_EQ(counts(debugLog(), {line})[0], s.written ? 1 : 0);
        EXPECT_EQ(ops.count(FileOp::Open, ".log"), s.opens);
    }
    EXPECT_TRUE(exists("kvorlogs/TLXVLEvents.log"));
}

// "tlx.logMaxBytes", read at construction or at a later reload, bounds both logs; 0, a
// missing key and a rejected value leave the default of 16 MB. No line is lost across the
// rotation.
TEST_F(MonitorLoopTest, BothLogsRotateAtTheSetBound) {
    // clang-format off
    const struct { const char* setting; bool atReload, rotated, reported; } cases[] = {
        {"tlx.logMaxBytes=4096\n", false, true, false}, {"", false, false, false},
        {"tlx.logMaxBytes=4096\n", true, true, false}, {"tlx.logMaxBytes=0\n", false, false, false},
        {"tlx.logMaxBytes=4095\n", true, false, true}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        std::filesystem::remove_all(path("kvorlogs"));
        const std::string settings = std::string("tlx.debugMask=1\n") + c.setting;
        writeFile("TLXConfig.ini", c.atReload ? "tlx.debugMask=1\n" : settings);
        TestVelmarMonitor monitor(&lib);
        if (c.atReload) {
            writeFile("TLXConfig.ini", settings);
            monitor.readConfig();
        }
        for (int i = 0; i < 60; ++i) {
            monitor.logDebugMsg("line %02d %s\n", i, std::string(80, 'x').c_str());
            monitor.queue().add(TLXEvent(i, 5, std::string(200, 'e'), ""));
        }
        const std::string debug = readFile("kvorlogs/TLXVLDebug.log.1") + debugLog();
        for (int i = 0; i < 60; ++i) {
            char line[16];
            std::snprintf(line, sizeof line, "line %02d x", i);
            EXPECT_EQ(counts(debug, {line})[0], 1) << line;
        }
        EXPECT_EQ(counts(debug, {"is not a whole number"})[0], c.reported ? 1 : 0);
        for (const char* log : {"kvorlogs/TLXVLDebug.log", "kvorlogs/TLXVLEvents.log"}) {
            EXPECT_EQ(exists(std::string(log) + ".1"), c.rotated) << log;
            EXPECT_EQ(readFile(log).size() <= 4096, c.rotated) << log;
        }
    }
}

}  // namespace
