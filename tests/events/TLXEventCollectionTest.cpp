#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "events/TLXEventCollection.h"
#include "port/DebugMask.h"
#include "support/TestHome.h"

namespace {

TLXEvent info(int code) {
    return TLXEvent(code, 3, "event " + std::to_string(code), "");
}

void fill(TLXEventCollection& queue, int count) {
    for (int code = 0; code < count; ++code) {
        queue.add(info(code));
    }
}

void expectOverloadNotice(const TLXEvent& event) {
    EXPECT_EQ(event.getEventCode(), 200);
    EXPECT_EQ(event.getEventType(), 2);
    EXPECT_EQ(event.getEventDesc(), "TLX Event queue overload. Discarding events.");
    EXPECT_EQ(event.getObjectType(), TLX_OBJ_UNKNOWN);
    EXPECT_EQ(event.getIndentifier(), "");
    EXPECT_EQ(event.getAddr(), Addr());
}

}  // namespace

class TLXEventCollectionTest : public TestHome {
protected:
    std::string logPath() const { return path("TLXVLEvents.log"); }
};

TEST_F(TLXEventCollectionTest, FullQueueOfTwoHundredEndsAtOneEightyTwoWithNoticeOldest) {
    TLXEventCollection queue("", 50, 5);  // 50 is raised to the floor of 200
    EXPECT_EQ(queue.getMaxSize(), 200);
    fill(queue, 200);
    EXPECT_EQ(queue.size(), 200);

    queue.add(info(999));

    ASSERT_EQ(queue.size(), 182);
    std::vector<TLXEvent> events = queue.takeAll();
    ASSERT_EQ(events.size(), 182u);
    expectOverloadNotice(events[0]);
    EXPECT_EQ(events[1].getEventCode(), 20);  // 0..18 dropped, 19 became the notice
    EXPECT_EQ(events.back().getEventCode(), 999);
    EXPECT_EQ(queue.size(), 0);
}

TEST_F(TLXEventCollectionTest, FullQueueOfOneThousandEndsAtNineHundredTwo) {
    TLXEventCollection queue("", 1000, 5);
    fill(queue, 1000);
    queue.add(info(5000));

    std::vector<TLXEvent> events = queue.takeAll();
    ASSERT_EQ(events.size(), 902u);
    expectOverloadNotice(events[0]);
    EXPECT_EQ(events[1].getEventCode(), 100);
    EXPECT_EQ(events.back().getEventCode(), 5000);
}

TEST_F(TLXEventCollectionTest, SetMaxSizeOnlyAcceptsValuesAboveTheFloor) {
    TLXEventCollection big("", 500, 5);
    big.setMaxSize(150);
    EXPECT_EQ(big.getMaxSize(), 500);
    big.setMaxSize(200);
    EXPECT_EQ(big.getMaxSize(), 500);

    TLXEventCollection small("", 0, 5);
    small.setMaxSize(300);
    EXPECT_EQ(small.getMaxSize(), 300);
    fill(small, 300);
    EXPECT_EQ(small.size(), 300);
    small.add(info(1));
    EXPECT_EQ(small.size(), 300 - 29 + 1);
}

TEST_F(TLXEventCollectionTest, EventTypeLevelRules) {
    EXPECT_EQ(TLXEventCollection("", 0, 3).getEventTypeLevel(), 5);
    EXPECT_EQ(TLXEventCollection("", 0, 8).getEventTypeLevel(), 5);
    EXPECT_EQ(TLXEventCollection("", 0, 7).getEventTypeLevel(), 7);

    TLXEventCollection queue("", 0, 5);
    EXPECT_FALSE(queue.setEventTypeLevel(0));
    EXPECT_FALSE(queue.setEventTypeLevel(8));
    EXPECT_EQ(queue.getEventTypeLevel(), 5);
    EXPECT_TRUE(queue.setEventTypeLevel(1));
    EXPECT_EQ(queue.getEventTypeLevel(), 1);
}

TEST_F(TLXEventCollectionTest, FilteredEventsAreLoggedAtDebugLevelsOneAndTwoOnly) {
    const struct {
        int level;
        uint32_t mask;
        bool logged;
    } levels[] = {{0, 0xF00000, false}, {1, 0xFF0000, true}, {2, 0xFFFFFF, true}};
    for (const auto& row : levels) {
        SCOPED_TRACE("debug level " + std::to_string(row.level));
        const std::string name = "events" + std::to_string(row.level) + ".log";
        DebugMask::set(row.mask);
        TLXEvent error(10, 1, "an error", "");
        TLXEvent warning(11, 2, "a warning", "");
        {
            TLXEventCollection queue(path(name), 200, 5);
            ASSERT_TRUE(queue.setEventTypeLevel(1));
            queue.add(error);
            queue.add(warning);
            queue.addText("free text");

            std::vector<TLXEvent> events = queue.takeAll();
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0].getEventCode(), 10);

            // Read while the queue is still open: every entry is flushed as it is written.
            TLXEvent text;
            text.setEventDesc("free text");
            const std::string expected =
                error.toString() + "\n\n" + warning.toString() + "\n\n" + text.toString() + "\n\n";
            EXPECT_EQ(readFile(name), row.logged ? expected : "");
        }
    }
}

TEST_F(TLXEventCollectionTest, LogIsAppendedAndHoldsTheOverloadNotice) {
    writeFile("TLXVLEvents.log", "earlier run\n");
    DebugMask::set(0xFF0000);
    {
        TLXEventCollection queue(logPath(), 200, 5);
        fill(queue, 201);
    }
    const std::string log = readFile("TLXVLEvents.log");
    EXPECT_EQ(log.rfind("earlier run\n", 0), 0u);
    const std::string notice = "| WRN | UNKN | 200:A--C--S--L--- | " +
                               std::string(TLXEventCollection::kOverloadText) + "\n\n";
    const size_t at = log.find(notice);
    ASSERT_NE(at, std::string::npos);
    // The notice comes before the event that caused the overload.
    EXPECT_LT(at, log.find("| 200:A--C--S--L--- | event 200\n\n"));
}

TEST_F(TLXEventCollectionTest, AddTextNeverQueuesAndAnUnopenableLogOnlyDisablesLogging) {
    DebugMask::set(0xFFFFFF);
    TLXEventCollection queue(path("missing/dir/events.log"), 200, 7);
    queue.add(info(1));
    queue.addText("hello");
    queue.addText(nullptr);
    EXPECT_EQ(queue.size(), 1);
}

TEST_F(TLXEventCollectionTest, TakeEdgeCases) {
    TLXEventCollection queue("", 200, 5);
    EXPECT_TRUE(queue.take(3).empty());
    EXPECT_TRUE(queue.takeAll().empty());

    fill(queue, 3);
    EXPECT_TRUE(queue.take(0).empty());
    EXPECT_TRUE(queue.take(-1).empty());
    EXPECT_EQ(queue.size(), 3);

    std::vector<TLXEvent> two = queue.take(2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].getEventCode(), 0);
    EXPECT_EQ(two[1].getEventCode(), 1);

    queue.add(info(3));
    std::vector<TLXEvent> rest = queue.take(5);  // more than queued
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].getEventCode(), 2);
    EXPECT_EQ(rest[1].getEventCode(), 3);
    EXPECT_EQ(queue.size(), 0);
}

TEST_F(TLXEventCollectionTest, RemoveOldest) {
    TLXEventCollection queue("", 200, 5);
    fill(queue, 5);
    queue.removeOldest(-1);
    EXPECT_EQ(queue.size(), 5);
    queue.removeOldest(2);
    ASSERT_EQ(queue.size(), 3);
    EXPECT_EQ(queue.take(1)[0].getEventCode(), 2);
    queue.removeOldest(0);
    EXPECT_EQ(queue.size(), 0);
    fill(queue, 2);
    queue.removeOldest(3);
    EXPECT_EQ(queue.size(), 0);
}

// Producers add while consumers take with both forms: every event arrives exactly once and
// each producer's events arrive in the order they were added.
TEST_F(TLXEventCollectionTest, ProducersAndConsumersOnRealThreads) {
    constexpr int kProducers = 3;
    constexpr int kPerProducer = 2000;
    DebugMask::set(0xFFFFFF);  // log writes run concurrently too
    TLXEventCollection queue(logPath(), kProducers * kPerProducer, 5);
    std::atomic<int> producing{kProducers};

    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&queue, &producing, p] {
            for (int i = 0; i < kPerProducer; ++i) {
                queue.add(TLXEvent(p * 100000 + i, 3, "x", ""));
            }
            --producing;
        });
    }
    std::vector<TLXEvent> received[2];
    std::vector<std::thread> consumers;
    for (int c = 0; c < 2; ++c) {
        consumers.emplace_back([&queue, &producing, &received, c] {
            for (;;) {
                const bool done = producing.load() == 0;
                std::vector<TLXEvent> batch = c == 0 ? queue.take(7) : queue.takeAll();
                received[c].insert(received[c].end(), batch.begin(), batch.end());
                if (done && queue.size() == 0) {
                    return;
                }
                std::this_thread::yield();
            }
        });
    }
    for (auto& thread : producers) {
        thread.join();
    }
    for (auto& thread : consumers) {
        thread.join();
    }

    size_t total = 0;
    for (const auto& events : received) {
        total += events.size();
        std::map<int, int> lastSeen;
        for (const TLXEvent& event : events) {
            const int producer = event.getEventCode() / 100000;
            const int index = event.getEventCode() % 100000;
            auto it = lastSeen.find(producer);
            if (it != lastSeen.end()) {
                EXPECT_GT(index, it->second);
            }
            lastSeen[producer] = index;
        }
    }
    EXPECT_EQ(total, static_cast<size_t>(kProducers * kPerProducer));
    EXPECT_EQ(queue.size(), 0);
}

// A producer overloading a small queue while a consumer takes and another thread reads the
// size and changes the limit: the queue never grows past its limit.
TEST_F(TLXEventCollectionTest, OverloadWhileTakingOnRealThreads) {
    TLXEventCollection queue("", 200, 5);
    std::atomic<bool> running{true};
    std::thread producer([&] {
        for (int i = 0; i < 20000; ++i) {
            queue.add(info(i));
        }
        running = false;
    });
    std::thread consumer([&] {
        while (running.load()) {
            queue.take(3);
            std::this_thread::yield();
        }
    });
    int largest = 0;
    while (running.load()) {
        largest = std::max(largest, queue.size());
        queue.setMaxSize(201 + largest % 2);
    }
    producer.join();
    consumer.join();
    EXPECT_LE(largest, 202);
    EXPECT_LE(queue.size(), 202);
}
