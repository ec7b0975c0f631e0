// The monitor's one catalog shared by two threads: a host thread asks for the SAS drive map
// while the loop makes its own lookups. Run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "MonitorTestSupport.h"
#include "support/TreeBuilder.h"

namespace {

TEST_F(MonitorLoopTest, HostDriveMapWhileTheLoopLooksUpTexts) {
    installShippedCatalog();
    writeFile("TLXConfig.ini", "tlx.eventQueueSize=100000\ntlx.debugMask=2\n");
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    // The host's tree: two SAS drives. The loop names a SATA drive of a tree of its own.
    System hostTree, loopTree;
    TreeBuilder host(&hostTree);
    Adapter* adapter = host.adapter(1, "H1");
    Channel* sas = host.channel(adapter, 0, CHANNEL_TYPE_SAS);
    host.drive(sas, 0)->setFruNumber("F0");
    host.drive(sas, 1)->setWWN1(0xCAFE);
    TreeBuilder loopBuild(&loopTree);
    Adapter* loopAdapter = loopBuild.adapter(2, "L2");
    HardDrive* loopDrive = loopBuild.drive(loopBuild.sataChannel(loopAdapter, 0, 4), 3);

    TestVelmarMonitor monitor(&lib);
    // The texts as one thread makes them.
    monitor.logSASDriveMap(monitor.queue(), adapter);
    std::vector<std::string> expected;
    for (const TLXEvent& event : monitor.getEvents(0)) {
        expected.push_back(event.getEventDesc());
    }
    ASSERT_EQ(expected.size(), 2u);
    ASSERT_NE(expected[0], expected[1]);
    const std::string loopExpected = monitor.getEventID(loopDrive);
    ASSERT_FALSE(loopExpected.empty());

    constexpr int kMaps = 60;
    int maps = 0;  // host thread only, read after join
    std::atomic<bool> hostStarted{false};
    std::atomic<bool> hostDone{false};
    std::atomic<int> loopLookups{0};
    std::atomic<int> overlapping{0};  // lookups made while the host was making its maps
    int loopWrong = 0;                // loop thread only, read after join
    clock.onWait = [&](long) {
        for (int i = 0; i < 4; ++i, ++loopLookups) {
            overlapping += hostStarted && !hostDone;
            loopWrong += monitor.getEventID(loopDrive) != loopExpected;
        }
        if (hostDone) {
            monitor.stop();
        }
    };
    std::thread loop([&] { monitor.start(); });
    std::thread hostThread([&] {
        while (loopLookups == 0) {
            std::this_thread::yield();
        }
        hostStarted = true;
        // At least kMaps maps, and on until the loop has looked up texts meanwhile.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (int i = 0;
             i < kMaps || (overlapping < 20 && std::chrono::steady_clock::now() < deadline); ++i) {
            monitor.logSASDriveMap(monitor.queue(), adapter);
            ++maps;
        }
        hostDone = true;
    });
    hostThread.join();
    loop.join();
    clock.onWait = nullptr;

    int mapEvents = 0;
    for (const TLXEvent& event : monitor.getEvents(0)) {
        if (event.getEventCode() == 423) {
            EXPECT_EQ(event.getEventDesc(), expected[mapEvents % 2]) << "event " << mapEvents;
            ++mapEvents;
        }
    }
    EXPECT_EQ(mapEvents, 2 * maps);
    EXPECT_GE(overlapping, 20);
    EXPECT_EQ(loopWrong, 0);
}

}  // namespace
