// The monitor with real threads: the loop on one, the host starting, stopping, destroying
// or asking for the SAS drive map on others. Run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "MonitorTestSupport.h"
#include "raidlib/ModelBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits in real time until condition holds; false after ten seconds.
template <typename Condition>
bool eventually(Condition condition) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST_F(MonitorLoopTest, StopDuringTheWaitEndsItAtOnceWithoutFurtherLibraryCalls) {
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    monitor.setPollingRate(3600);
    clock.blockFrom = 2000;
    std::thread loop([&] { monitor.start(); });
    ASSERT_TRUE(eventually([&] { return clock.blocking.load(); }));
    const auto before = Clock::now();
    std::thread([&] { monitor.stop(); }).join();
    loop.join();
    EXPECT_LT(Clock::now() - before, std::chrono::seconds(2));

    EXPECT_EQ(lib.requests().size(), 1u);
}

TEST_F(MonitorLoopTest, StartAfterStopWaitsForTheEndingLoopSoTwoLoopsNeverRun) {
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    lib.hold = true;
    std::thread first([&] { monitor.start(); });
    ASSERT_TRUE(eventually([&] { return lib.held.load(); }));
    monitor.start();  // while the first loop runs: returns at once
    monitor.stop();   // the first loop is inside a library call
    std::thread second([&] { monitor.start(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(lib.requests().size(), 1u);  // the second waits for the first to end
    lib.hold = false;
    first.join();
    ASSERT_TRUE(eventually([&] { return lib.requests().size() >= 3; }));
    monitor.stop();
    second.join();
    const std::string log = debugLog();
    EXPECT_EQ(markersBefore(log, "]  In VelmarMonitor::monitorEvents()",
                            "]  Exiting VelmarMonitor::monitorEvents()"),
              (std::vector<int>{0, 1}));
    EXPECT_EQ(counts(log, {"]  Exiting VelmarMonitor::monitorEvents()",
                           "]  VelmarMonitor already running.\n"}),
              (std::vector<int>{2, 1}));
}

TEST_F(MonitorLoopTest, DestroyingRightAfterStopWaitsForTheLoopToLeaveTheLibrary) {
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    auto monitor = std::make_unique<TestVelmarMonitor>(&lib);
    lib.hold = true;
    std::thread loop([host = monitor.get()] { host->start(); });
    ASSERT_TRUE(eventually([&] { return lib.held.load(); }));
    monitor->stop();
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        lib.hold = false;
    });
    monitor.reset();  // returns only after the loop has ended
    EXPECT_FALSE(lib.hold.load());
    releaser.join();
    loop.join();
}

// The monitor's one catalog shared by the host asking for the SAS drive map and the loop
// making lookups of its own: every text must come out as one thread makes it.
TEST_F(MonitorLoopTest, HostDriveMapWhileTheLoopLooksUpTexts) {
    installShippedCatalog();
    writeFile("TLXConfig.ini", "tlx.eventQueueSize=100000\ntlx.debugMask=2\n");
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    System hostTree, loopTree;  // the host's SAS drives; the loop names a SATA drive
    ModelBuilder host(&hostTree), other(&loopTree);
    Adapter* adapter = host.adapter(1, "H1");
    Channel* sas = host.channel(adapter, 0, CHANNEL_TYPE_SAS);
    host.drive(sas, 0)->setFruNumber("F0");
    host.drive(sas, 1)->setWWN1(0xCAFE);
    HardDrive* loopDrive = other.drive(other.sataChannel(other.adapter(2, "L2"), 0, 4), 3);

    TestVelmarMonitor monitor(&lib);
    monitor.logSASDriveMap(monitor.queue(), adapter);
    const std::vector<TLXEvent> single = monitor.getEvents(0);
    ASSERT_EQ(single.size(), 2u);
    const std::string loopText = monitor.getEventID(loopDrive);

    std::atomic<bool> hostDone{false};
    std::atomic<int> loopLookups{0};
    int loopWrong = 0;  // loop thread only, read after join
    clock.onWait = [&](long) {
        for (int i = 0; i < 4; ++i, ++loopLookups) {
            loopWrong += monitor.getEventID(loopDrive) != loopText;
        }
        if (hostDone) {
            monitor.stop();
        }
    };
    int maps = 0;  // host thread only, read after join
    std::thread loop([&] { monitor.start(); });
    std::thread hostThread([&] {
        while (loopLookups == 0) {
            std::this_thread::yield();
        }
        // At least 60 maps, and on until the loop has made 20 lookups meanwhile (it looks
        // texts up until this thread is done).
        for (const int from = loopLookups; maps < 60 || loopLookups < from + 20; ++maps) {
            monitor.logSASDriveMap(monitor.queue(), adapter);
        }
        hostDone = true;
    });
    hostThread.join();
    loop.join();
    clock.onWait = nullptr;

    int mapEvents = 0;
    for (const TLXEvent& event : monitor.getEvents(0)) {
        if (event.getEventCode() == 423) {
            EXPECT_EQ(event.getEventDesc(), single[mapEvents++ % 2].getEventDesc());
        }
    }
    EXPECT_EQ(mapEvents, 2 * maps);
    EXPECT_EQ(loopWrong, 0);
}

}  // namespace
