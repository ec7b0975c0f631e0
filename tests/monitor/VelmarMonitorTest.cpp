// The Velmar monitor's poll loop under the fake clock, stopped from inside its own waits so
// that each run covers an exact number of polls.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "MonitorTestSupport.h"
#include "port/DebugMask.h"
#include "snapshot/SimpleXmlException.h"
#include "support/TreeBuilder.h"

namespace {

using Requests = std::vector<std::pair<uint32_t, unsigned long>>;

void appendRecords(VelmarLib& lib, uint32_t adapterID, int count) {
    for (int i = 0; i < count; ++i) {
        lib.appendEvent(adapterID, RaidEvent(500, 1));
    }
}

TEST_F(MonitorLoopTest, ConstructionWaitsOneSecondAndPrimesThreeTimers) {
    const int64_t before = clock.now();
    TestVelmarMonitor monitor(&lib);
    EXPECT_EQ(clock.now() - before, 1);
    EXPECT_EQ(monitor.getPollingRate(), 1);
    EXPECT_FALSE(monitor.isPollingEnabled());
    EXPECT_TRUE(monitor.isStopped());
    EXPECT_FALSE(monitor.isTimeToReportBadStripe());
    EXPECT_FALSE(monitor.isTimeToReportUnsupportedDrives());
    EXPECT_FALSE(monitor.isTimeToReportCriticalLogicalDrives());
    EXPECT_TRUE(monitor.isTimeToReportSASDriveMap());
    const std::string log = debugLog();
    EXPECT_NE(log.find("]  Constructing VelmarMonitor(Default).\n"), std::string::npos);
    EXPECT_NE(log.find("]  Exiting VelmarMonitor(Default).\n"), std::string::npos);

    TestVelmarMonitor second(&lib, path(""));
    EXPECT_NE(readFile("TLXVLDebug.log").find("Constructing VelmarMonitor(pBrixlibIN,logFilePath)"),
              std::string::npos);
}

TEST_F(MonitorLoopTest, WithoutControllersRaisesEvent201AndIdlesUntilStopped) {
    TestVelmarMonitor monitor(&lib);
    runWaits(monitor, 12);
    EXPECT_TRUE(monitor.isStopped());
    EXPECT_FALSE(monitor.isPollingEnabled());
    EXPECT_EQ(monitor.getMyStartTime(), 0);

    const std::vector<TLXEvent> events = monitor.getEvents(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].getEventCode(), 201);
    EXPECT_EQ(events[0].getEventType(), 3);
    EXPECT_EQ(events[0].getObjectType(), TLX_OBJ_SYSTEM);
    EXPECT_EQ(events[0].getIndentifier(), "EVENT_VELMAR_STATE_NOTFOUND");
    EXPECT_EQ(events[0].getEventDesc(), "No controllers were found.");

    const std::string log = debugLog();
    EXPECT_EQ(countOf(log, "]  Found 0 Controller(s)\n"), 1);
    EXPECT_EQ(countOf(log, "]  ERROR: No controller found on the system\n"), 1);
    EXPECT_EQ(countOf(log, "]  Polling...\n"), 3);  // five one-second waits per pass
    EXPECT_EQ(countOf(log, "Checking for events"), 0);
    EXPECT_EQ(countOf(log, "Sleep..."), 0);
    EXPECT_EQ(clock.totalWaitedMillis(), 1000 + 12 * 1000);
    EXPECT_NE(log.find("]  Exiting VelmarMonitor::monitorEvents()\n"), std::string::npos);
    EXPECT_TRUE(lib.getTLXStartTime() > 0);
}

TEST_F(MonitorLoopTest, EachControllerIsAskedFromItsOwnNextNumber) {
    TreeBuilder tree(lib.getHardwareModel());
    tree.adapter(0, "A0");
    tree.adapter(1, "A1");
    writeSnapshotOfHardware();  // a quiet start: the stored configuration is the hardware's
    appendRecords(lib, 0, 11);
    appendRecords(lib, 1, 3);
    TestVelmarMonitor monitor(&lib);
    int waits = 0;
    clock.onWait = [&](long) {
        if (++waits == 1) {
            appendRecords(lib, 0, 6);  // 12..17
        } else if (waits == 2) {
            appendRecords(lib, 1, 2);  // 4..5
        } else if (waits == 3) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;

    EXPECT_EQ(lib.requests(), (Requests{{0, 1}, {1, 1}, {0, 12}, {1, 4}, {0, 18}, {1, 4}}));
    const std::string log = debugLog();
    EXPECT_EQ(countOf(log, "]  Found 2 Controller(s)\n"), 1);
    EXPECT_EQ(countOf(log, "]  Found 11 events\n"), 1);
    EXPECT_EQ(countOf(log, "]  Found 3 events\n"), 1);
    EXPECT_EQ(countOf(log, "]  Found 6 events\n"), 1);
    EXPECT_EQ(countOf(log, "]  Found 2 events\n"), 1);
    EXPECT_EQ(countOf(log, "]  ERROR: Events buffer is NULL\n"), 2);  // {1, 4}, then {0, 18}
    EXPECT_TRUE(monitor.getEvents(0).empty());
}

TEST_F(MonitorLoopTest, EventNumbersAreReadUnsignedAndOddTextsAreIgnored) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    appendRecords(lib, 0, 1);
    const char* const kTexts[] = {
        "<RaidEvent eventCode=\"500\"/>",           // no "eventNumber"
        "<RaidEvent eventNumber=\"-1\"/>",          // not a record number: must not rewind
        "<RaidEvent eventNumber",                   // no "="
        nullptr,                                    // the library's own text, record 1
        "<RaidEvent eventNumber=\"3000000000\"/>",  // above 2^31 - 1: still a number
    };
    size_t call = 0;
    lib.rewrite = [&](uint32_t, char** buffer) {
        if (call < std::size(kTexts) && kTexts[call] != nullptr) {
            replaceText(buffer, kTexts[call]);
        }
        ++call;
    };
    TestVelmarMonitor monitor(&lib);
    runWaits(monitor, 6);
    EXPECT_EQ(lib.requests(),
              (Requests{{0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 2}, {0, 3000000001ul}}));
    EXPECT_EQ(countOf(debugLog(), "]  Found 1 events\n"), 1);
}

TEST_F(MonitorLoopTest, AControllerWhoseEventsCannotBeReadDoesNotStopTheOthers) {
    TreeBuilder tree(lib.getHardwareModel());
    tree.adapter(0, "A0");
    tree.adapter(1, "A1");
    appendRecords(lib, 0, 2);
    appendRecords(lib, 1, 2);
    int call = 0;
    lib.rewrite = [&](uint32_t adapterID, char**) {
        ++call;
        if (adapterID == 0 && call == 1) {
            throw SimpleXmlException('=', 17);
        }
        if (adapterID == 0 && call == 3) {
            throw std::runtime_error("controller went away");
        }
    };
    TestVelmarMonitor monitor(&lib);
    runWaits(monitor, 3);
    EXPECT_EQ(lib.requests(), (Requests{{0, 1}, {1, 1}, {0, 1}, {1, 3}, {0, 1}, {1, 3}}));
    const std::string log = debugLog();
    EXPECT_EQ(countOf(log,
                      "]  ERROR: Malformed event text of controller 0: character '=' at "
                      "offset 17\n"),
              1);
    EXPECT_EQ(countOf(log,
                      "]  ERROR: Cannot read the events of controller 0: controller went "
                      "away\n"),
              1);
    EXPECT_EQ(countOf(log, "]  Found 2 events\n"), 2);
    EXPECT_TRUE(monitor.isStopped());
}

TEST_F(MonitorLoopTest, SnapshotAfterEveryFifthPollAndAliveLineAtSixHundredSeconds) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    {
        TestVelmarMonitor monitor(&lib);
        runWaits(monitor, 601);
        const std::string log = debugLog();
        std::vector<int> fifthPolls;
        for (int poll = 5; poll <= 600; poll += 5) {
            fifthPolls.push_back(poll);
        }
        EXPECT_EQ(markersBefore(log, "]  Saving config to XML", "]  Sleep..."), fifthPolls);
        EXPECT_EQ(countOf(log, "]  Set the progress Collection before dumping the config\n"),
                  1 + 120);  // once at the start
        EXPECT_NE(readFile("TLXVLConfig.xml").find("A0"), std::string::npos);
        EXPECT_EQ(markersBefore(log, "Velmar Monitor is Running...", "]  Sleep..."),
                  std::vector<int>{600});
    }
    {
        TestVelmarMonitor monitor(&lib, path(""));
        monitor.setPollingRate(7);
        runWaits(monitor, 100);  // 700 seconds: past 600 without meeting it
        const std::string log = readFile("TLXVLDebug.log");
        EXPECT_EQ(countOf(log, "]  Sleep..."), 100);
        EXPECT_EQ(countOf(log, "Velmar Monitor is Running..."), 0);
    }
}

TEST_F(MonitorLoopTest, APollingRateBelowOneStillWaitsASecondBetweenPolls) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    monitor.setPollingRate(0);
    std::vector<long> waits;
    clock.onWait = [&](long ms) {
        waits.push_back(ms);
        if (waits.size() == 3) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;
    EXPECT_EQ(waits, std::vector<long>({1000, 1000, 1000}));
}

TEST_F(MonitorLoopTest, SettingsEditedWhileRunningApplyAfterTheNextPoll) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    std::vector<std::pair<int, uint32_t>> seen;  // queue limit and mask at each wait
    int waits = 0;
    clock.onWait = [&](long) {
        seen.emplace_back(monitor.queue().getMaxSize(), DebugMask::get());
        if (++waits == 2) {
            writeFile("TLXConfig.ini", "tlx.eventQueueSize=500\ntlx.debugMask=1\n");
        } else if (waits == 3) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], std::make_pair(200, 0xFFFFFFu));
    EXPECT_EQ(seen[2], std::make_pair(500, 0xFF0000u));
    EXPECT_EQ(monitor.getEventQueueSize(), 500);
}

class FailingLib : public RecordingLib {
public:
    System* getNewSystem() override { throw std::runtime_error("discovery failed"); }
};

TEST_F(MonitorLoopTest, StartWithoutLibraryAndALoopThatThrows) {
    TestVelmarMonitor orphan(nullptr);
    orphan.start();  // no library: nothing to poll, and no claim to be running afterwards
    EXPECT_TRUE(orphan.isStopped());
    EXPECT_FALSE(orphan.isPollingEnabled());

    orphan.enablePolling();
    orphan.monitorEvents();  // called directly, as the exported interface allows
    EXPECT_NE(debugLog().find("BrixLibPlugin handle is NULL!!"), std::string::npos);
    orphan.disablePolling();

    FailingLib failing;
    TestVelmarMonitor unlucky(&failing);
    unlucky.start();  // the exception stays inside the monitor
    EXPECT_TRUE(unlucky.isStopped());
    EXPECT_FALSE(unlucky.isPollingEnabled());
    EXPECT_NE(debugLog().find("]  ERROR: VelmarMonitor::monitorEvents() ended by an exception: "
                              "discovery failed\n"),
              std::string::npos);

    unlucky.enablePolling();
    EXPECT_NO_THROW(unlucky.monitorEvents());  // called directly: nothing reaches the host
    EXPECT_FALSE(unlucky.isPollingEnabled());
}

}  // namespace
