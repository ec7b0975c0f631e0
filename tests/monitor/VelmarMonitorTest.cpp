// The Velmar monitor's poll loop under the fake clock, stopped from inside its own waits so
// that each run covers an exact number of polls.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "MonitorTestSupport.h"
#include "port/DebugMask.h"
#include "raidlib/ModelBuilder.h"
#include "support/FaultyFileOps.h"

namespace {

using Requests = RecordingLib::Requests;

void appendRecords(VelmarLib& lib, uint32_t adapterID, int count) {
    for (int i = 0; i < count; ++i) {
        lib.appendEvent(adapterID, RaidEvent(500, 1));
    }
}

TEST_F(MonitorLoopTest, ConstructionWaitsOneSecondAndPrimesThreeTimers) {
    const int64_t before = clock.now();
    TestVelmarMonitor monitor(&lib);
    EXPECT_EQ(clock.now() - before, 1);
    // A primed timer first fires one full interval from now; the drive map's is not primed.
    EXPECT_EQ(
        (std::vector<bool>{
            monitor.isTimeToReportBadStripe(), monitor.isTimeToReportUnsupportedDrives(),
            monitor.isTimeToReportCriticalLogicalDrives(), monitor.isTimeToReportSASDriveMap()}),
        (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(counts(debugLog(), {"]  Constructing VelmarMonitor(Default).\n",
                                  "]  Exiting VelmarMonitor(Default).\n"}),
              (std::vector<int>{1, 1}));
}

TEST_F(MonitorLoopTest, WithoutControllersRaisesEvent201AndIdlesUntilStopped) {
    TestVelmarMonitor monitor(&lib);
    runWaits(monitor, 12);
    EXPECT_TRUE(monitor.isStopped());
    EXPECT_FALSE(monitor.isPollingEnabled());
    // The event's code, name and object are shown by the demo's no-controllers scenario.
    const std::vector<TLXEvent> events = monitor.getEvents(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].getEventDesc(), "No controllers were found.");
    // Five one-second waits per pass; no controller is asked.
    EXPECT_EQ(counts(debugLog(),
                     {"]  Found 0 Controller(s)\n", "]  ERROR: No controller found on the system\n",
                      "]  Polling...\n", "Checking for events", "Sleep...",
                      "]  Exiting VelmarMonitor::monitorEvents()\n"}),
              (std::vector<int>{1, 1, 3, 0, 0, 1}));
    EXPECT_EQ(clock.totalWaitedMillis(), 1000 + 12 * 1000);
    EXPECT_GT(lib.getTLXStartTime(), 0);
}

// Controllers number their records independently. A polling rate below one second still
// waits a second between polls.
TEST_F(MonitorLoopTest, EachControllerIsAskedFromItsOwnNextNumber) {
    ModelBuilder tree(lib.getHardwareModel());
    tree.adapter(0, "A0");
    tree.adapter(1, "A1");
    writeSnapshotOfHardware();  // a quiet start: the stored configuration is the hardware's
    appendRecords(lib, 0, 11);
    appendRecords(lib, 1, 3);
    TestVelmarMonitor monitor(&lib);
    monitor.setPollingRate(0);
    std::vector<long> waits;
    clock.onWait = [&](long ms) {
        waits.push_back(ms);
        if (waits.size() == 1) {
            appendRecords(lib, 0, 6);  // 12..17
        } else if (waits.size() == 2) {
            appendRecords(lib, 1, 2);  // 4..5
        } else if (waits.size() == 3) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;

    EXPECT_EQ(waits, std::vector<long>({1000, 1000, 1000}));
    EXPECT_EQ(lib.requests(), (Requests{{0, 1}, {1, 1}, {0, 12}, {1, 4}, {0, 18}, {1, 4}}));
    // The library leaves the text empty when there is nothing new: {1, 4}, then {0, 18}.
    EXPECT_EQ(counts(debugLog(), {"]  Found 2 Controller(s)\n", "]  Found 11 events\n",
                                  "]  Found 3 events\n", "]  Found 6 events\n",
                                  "]  Found 2 events\n", "]  ERROR: Events buffer is NULL\n"}),
              (std::vector<int>{1, 1, 1, 1, 1, 2}));
    EXPECT_TRUE(monitor.getEvents(0).empty());
}

// Malformed text of one controller is covered with the translation; here its library call
// throws: the controller is asked from the same number again and the others go on.
TEST_F(MonitorLoopTest, AControllerWhoseEventsCannotBeReadDoesNotStopTheOthers) {
    ModelBuilder tree(lib.getHardwareModel());
    tree.adapter(0, "A0");
    tree.adapter(1, "A1");
    appendRecords(lib, 0, 2);
    appendRecords(lib, 1, 2);
    bool thrown = false;
    lib.rewrite = [&](uint32_t adapterID, char**) {
        if (adapterID == 0 && !thrown) {
            thrown = true;
            throw std::runtime_error("controller went away");
        }
    };
    TestVelmarMonitor monitor(&lib);
    runWaits(monitor, 2);
    EXPECT_EQ(lib.requests(), (Requests{{0, 1}, {1, 1}, {0, 1}, {1, 3}}));
    EXPECT_EQ(counts(debugLog(), {"]  ERROR: Cannot read the events of controller 0: controller "
                                  "went away\n",
                                  "]  Found 2 events\n"}),
              (std::vector<int>{1, 2}));
}

TEST_F(MonitorLoopTest, ProgressAtEveryFifthPollAndAliveLineAtSixHundredSeconds) {
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    {
        TestVelmarMonitor monitor(&lib);
        runWaits(monitor, 601);
        const std::string log = debugLog();
        EXPECT_EQ(counts(log, {"]  Set the progress Collection before dumping the config\n"}),
                  std::vector<int>{1 + 120});  // once at the start
        EXPECT_EQ(markersBefore(log, "Velmar Monitor is Running...", "]  Sleep..."),
                  std::vector<int>{600});
    }
    TestVelmarMonitor monitor(&lib, path(""));
    monitor.setPollingRate(7);
    runWaits(monitor, 100);  // 700 seconds: past 600 without meeting it
    EXPECT_EQ(counts(readFile("TLXVLDebug.log"), {"]  Sleep...", "Velmar Monitor is Running..."}),
              (std::vector<int>{100, 0}));
}

TEST_F(MonitorLoopTest, SettingsEditedWhileRunningApplyAfterTheNextPoll) {
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    std::vector<std::pair<int, uint32_t>> seen;  // queue limit and mask at each wait
    clock.onWait = [&](long) {
        seen.emplace_back(monitor.queue().getMaxSize(), DebugMask::get());
        if (seen.size() == 2) {
            writeFile("TLXConfig.ini", "tlx.eventQueueSize=500\ntlx.debugMask=1\n");
        } else if (seen.size() == 3) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], std::make_pair(200, 0xFFFFFFu));
    EXPECT_EQ(seen[2], std::make_pair(500, 0xFF0000u));
}

class FailingLib : public RecordingLib {
public:
    System* getNewSystem() override { throw std::runtime_error("discovery failed"); }
};

// Nothing thrown in the loop reaches the host, and a loop that ended claims no longer to run,
// also when the exported monitorEvents() is called directly.
TEST_F(MonitorLoopTest, StartWithoutLibraryAndALoopThatThrows) {
    TestVelmarMonitor orphan(nullptr);
    orphan.start();  // no library: nothing to poll, and no claim to be running afterwards
    EXPECT_TRUE(orphan.isStopped());
    EXPECT_FALSE(orphan.isPollingEnabled());
    orphan.enablePolling();
    orphan.monitorEvents();
    EXPECT_NE(debugLog().find("BrixLibPlugin handle is NULL!!"), std::string::npos);
    orphan.disablePolling();

    FailingLib failing;
    TestVelmarMonitor unlucky(&failing);
    unlucky.start();
    EXPECT_TRUE(unlucky.isStopped());
    EXPECT_FALSE(unlucky.isPollingEnabled());
    EXPECT_NE(debugLog().find("]  ERROR: VelmarMonitor::monitorEvents() ended by an exception: "
                              "discovery failed\n"),
              std::string::npos);
    unlucky.enablePolling();
    EXPECT_NO_THROW(unlucky.monitorEvents());
    EXPECT_FALSE(unlucky.isPollingEnabled());
}

// The fifth-poll snapshot write through the poll loop: an unchanged configuration leaves the
// file alone (it is not even replaced), a deleted file comes back at the next fifth poll, and
// a changed configuration is written at the next fifth poll.
TEST_F(MonitorLoopTest, FifthPollWritesOnlyAChangedOrMissingSnapshot) {
    ModelBuilder tree(lib.getHardwareModel());
    tree.drive(tree.channel(tree.adapter(0, "S0"), 0), 1);
    TestVelmarMonitor monitor(&lib);
    FaultyFileOps ops;
    // The snapshot files put in place by the start and the polls up to each wait (polls write
    // after waits 5, 10, ...); the file is deleted at wait 6 and the drive fails at wait 11.
    std::vector<int> renames;
    clock.onWait = [&](long) {
        renames.push_back(ops.count(FileOp::Rename, "TLXVLConfig.xml.tmp"));
        if (renames.size() == 6) {
            std::filesystem::remove(path("TLXVLConfig.xml"));
        } else if (renames.size() == 11) {
            lib.setDriveState(0, 0, 1, PD_STATE_DEFUNCT);
        } else if (renames.size() == 21) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;
    EXPECT_EQ(renames,
              (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3}));
    EXPECT_NE(readFile("TLXVLConfig.xml").find("state=\"2\""), std::string::npos);
}

}  // namespace
