// The monitor's one catalog shared by two threads: a host thread asks for the SAS drive map
// while the loop makes lookups of its own. Run under ThreadSanitizer as well.
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
    System hostTree, loopTree;  // the host's SAS drives; the loop names a SATA drive
    TreeBuilder host(&hostTree), other(&loopTree);
    Adapter* adapter = host.adapter(1, "H1");
    Channel* sas = host.channel(adapter, 0, CHANNEL_TYPE_SAS);
    host.drive(sas, 0)->setFruNumber("F0");
    host.drive(sas, 1)->setWWN1(0xCAFE);
    HardDrive* loopDrive = other.drive(other.sataChannel(other.adapter(2, "L2"), 0, 4), 3);

    TestVelmarMonitor monitor(&lib);
    monitor.logSASDriveMap(monitor.queue(), adapter);  // the texts as one thread makes them
    const std::vector<TLXEvent> single = monitor.getEvents(0);
    ASSERT_EQ(single.size(), 2u);
    const std::string loopText = monitor.getEventID(loopDrive);

    std::atomic<bool> hostStarted{false}, hostDone{false};
    std::atomic<int> loopLookups{0}, overlapping{0};
    int loopWrong = 0;  // loop thread only, read after join
    clock.onWait = [&](long) {
        for (int i = 0; i < 4; ++i, ++loopLookups) {
            overlapping += hostStarted && !hostDone;
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
        hostStarted = true;
        // At least 60 maps, and on until the loop has looked texts up meanwhile.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (; maps < 60 || (overlapping < 20 && std::chrono::steady_clock::now() < deadline);
             ++maps) {
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
    EXPECT_GE(overlapping, 20);
    EXPECT_EQ(loopWrong, 0);
}

}  // namespace
