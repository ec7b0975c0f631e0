// The monitor with real threads: the loop on one, the host pulling on another, stop() from
// a third.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "MonitorTestSupport.h"
#include "support/TreeBuilder.h"

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

TEST_F(MonitorLoopTest, HostPullsWhileTheLoopProducesAndAnotherThreadStops) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    writeFile("TLXConfig.ini", "tlx.eventQueueSize=100000\ntlx.debugMask=2\n");
    TestVelmarMonitor monitor(&lib);
    constexpr int kEvents = 3000;
    int produced = 0;  // loop thread only
    clock.onWait = [&](long) {
        for (int i = 0; i < 10 && produced < kEvents; ++i) {
            ++produced;
            monitor.queue().add(TLXEvent(produced, TLX_EVENT_INFORMATIONAL, "poll", ""));
        }
    };

    std::thread loop([&] { monitor.start(); });
    ASSERT_TRUE(eventually([&] { return !monitor.isStopped(); }));
    monitor.start();  // from a second thread while running: returns at once

    // The start of the run may raise events about the controller before the loop's own;
    // only the loop's events count, and they must arrive whole and in order.
    std::vector<int> received;
    const auto receive = [&received](const TLXEvent& event) {
        if (event.getEventDesc() == "poll") {
            received.push_back(event.getEventCode());
        }
    };
    std::atomic<bool> done{false};
    std::thread host([&] {
        TLXEvent buffer[7];
        bool useArray = true;
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (static_cast<int>(received.size()) < kEvents && Clock::now() < deadline) {
            if (monitor.getNumberOfEvents() == 0) {
                std::this_thread::yield();
            }
            if (useArray) {
                const int n = monitor.getEvents(buffer, 7);
                for (int i = 0; i < n; ++i) {
                    receive(buffer[i]);
                }
            } else {
                for (const TLXEvent& event : monitor.getEvents(received.size() % 2 ? 0 : 3)) {
                    receive(event);
                }
            }
            useArray = !useArray;
        }
        done = true;
    });
    std::thread stopper([&] {
        while (!done) {
            std::this_thread::yield();
        }
        monitor.stop();
    });
    host.join();
    stopper.join();
    loop.join();
    clock.onWait = nullptr;

    ASSERT_EQ(received.size(), static_cast<size_t>(kEvents));
    for (int i = 0; i < kEvents; ++i) {
        ASSERT_EQ(received[i], i + 1);
    }
    EXPECT_TRUE(monitor.isStopped());
    EXPECT_EQ(countOf(debugLog(), "]  VelmarMonitor already running.\n"), 1);
}

TEST_F(MonitorLoopTest, StopDuringTheWaitEndsItAtOnceWithoutFurtherLibraryCalls) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    monitor.setPollingRate(3600);
    clock.blockFrom = 2000;
    std::thread loop([&] { monitor.start(); });
    ASSERT_TRUE(eventually([&] { return clock.blocking.load(); }));

    const auto before = Clock::now();
    std::thread stopper([&] { monitor.stop(); });
    stopper.join();
    loop.join();
    EXPECT_LT(Clock::now() - before, std::chrono::seconds(2));

    EXPECT_EQ(lib.requests().size(), 1u);
    const std::string log = debugLog();
    const size_t sleep = log.rfind("]  Sleep...");
    ASSERT_NE(sleep, std::string::npos);
    EXPECT_EQ(log.find("Checking for events", sleep), std::string::npos);
    EXPECT_NE(log.find("]  Exiting VelmarMonitor::monitorEvents()\n", sleep), std::string::npos);
}

TEST_F(MonitorLoopTest, StartAfterStopWaitsForTheEndingLoopSoTwoLoopsNeverRun) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    TestVelmarMonitor monitor(&lib);
    std::atomic<bool> inCall{false};
    std::atomic<bool> release{false};
    lib.rewrite = [&](uint32_t, char**) {
        if (!inCall.exchange(true)) {
            while (!release) {
                std::this_thread::yield();
            }
        }
    };
    std::thread first([&] { monitor.start(); });
    ASSERT_TRUE(eventually([&] { return inCall.load(); }));
    monitor.stop();  // the first loop is inside a library call
    std::thread second([&] { monitor.start(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(lib.requests().size(), 1u);  // the second waits for the first to end
    release = true;
    first.join();
    ASSERT_TRUE(eventually([&] { return lib.requests().size() >= 3; }));
    monitor.stop();
    second.join();

    const std::string log = debugLog();
    EXPECT_EQ(markersBefore(log, "]  In VelmarMonitor::monitorEvents()",
                            "]  Exiting VelmarMonitor::monitorEvents()"),
              (std::vector<int>{0, 1}));
    EXPECT_EQ(countOf(log, "]  Exiting VelmarMonitor::monitorEvents()"), 2);
}

TEST_F(MonitorLoopTest, DestroyingRightAfterStopWaitsForTheLoopToLeaveTheLibrary) {
    TreeBuilder(lib.getHardwareModel()).adapter(0, "A0");
    auto monitor = std::make_unique<TestVelmarMonitor>(&lib);
    std::atomic<bool> inCall{false};
    std::atomic<bool> release{false};
    lib.rewrite = [&](uint32_t, char**) {
        inCall = true;
        while (!release) {
            std::this_thread::yield();
        }
    };
    std::thread loop([host = monitor.get()] { host->start(); });
    ASSERT_TRUE(eventually([&] { return inCall.load(); }));
    monitor->stop();
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        release = true;
    });
    monitor.reset();  // returns only after the loop has ended
    EXPECT_TRUE(release.load());
    releaser.join();
    loop.join();
}

}  // namespace
