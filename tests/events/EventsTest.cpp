#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "events/TLXEventCollection.h"
#include "port/Clock.h"
#include "port/DebugMask.h"
#include "raidlib/Adapter.h"
#include "support/TestHome.h"

namespace {

constexpr uint32_t U = Addr::kUnset;
constexpr int N = TLXEvent::kUnset;

// An informational event with an address and a name, so that the overload notice made from
// it shows whether they were cleared.
TLXEvent info(int code) {
    TLXEvent event(code, 3, "event " + std::to_string(code), "EVENT_NAME");
    event.setAdapterID(1);
    return event;
}

void fill(TLXEventCollection& queue, int count) {
    for (int code = 0; code < count; ++code) {
        queue.add(info(code));
    }
}

std::string codes(const std::vector<TLXEvent>& events) {
    std::string out;
    for (const TLXEvent& event : events) {
        out += std::to_string(event.getEventCode());
    }
    return out;
}

std::string entry(const TLXEvent& event) {
    return event.toString() + "\n\n";
}

}  // namespace

class EventsTest : public TestHome {};

TEST_F(EventsTest, LogLine) {
    std::string start = port::ctimeText(FakeClock::kStart);
    start.replace(start.size() - 1, 1, " | ");
    EXPECT_EQ(TLXEvent().toString(), start + "--- | UNKN | ---:A--C--S--L--- | ");
    // Every row of the severity and object tag tables once, and values outside both.
    // clang-format off
    const struct { int type, object; const char* text; } kinds[] = {
        {1, 1, "ERR | SYS "}, {2, 2, "WRN | ADPT"}, {3, 3, "INF | ARR "}, {5, 4, "INF | LDRV"},
        {7, 5, "INF | PDRV"}, {0, 6, "--- | ENCL"}, {8, 7, "--- | FAN "}, {-1, 8, "--- | PWSP"},
        {N, 9, "--- | UNKN"}};
    for (const auto& kind : kinds) {
        TLXEvent event(7, kind.type, "x", "");
        event.setObjectType(static_cast<EnumObjectType>(kind.object));
        EXPECT_EQ(event.toString(), start + kind.text + " | 007:A--C--S--L--- | x");
    }
    // The location fields (A, C, S and L) have minimum widths and print large IDs in full.
    const struct { int code; uint32_t a, c, s, l; const char* text; } places[] = {
        {202, 0, U, U, U, "202:A00C--S--L---"}, {5, 1, 2, 3, 4, "005:A01C02S03L004"},
        {1234, 100, 123, 255, 1000, "1234:A100C123S255L1000"}};
    // clang-format on
    for (const auto& p : places) {
        TLXEvent event(p.code, 3, "x", "");
        event.setAddr(Addr(p.a, U, p.l, p.c, p.s, Addr::kUnsetChunk, U, U));
        EXPECT_EQ(event.toString(), start + "INF | UNKN | " + p.text + " | x");
    }
}

TEST_F(EventsTest, ResetKeepsDriveSerialAndEnclosureModel) {
    TLXEvent event(300, 1, "text", Addr(1, 2, 3, 4, 5, 6, 7, 8), 1, 2, 3, "SER", "ID", "FRU");
    event.setObjectType(TLX_OBJ_PHYSICAL_DRIVE);
    event.setPercentComplete(40);
    event.setHardDriveSerialNumber("WD-123");
    event.setEnclosureModel("ENC-9");
    clock_.advanceSeconds(60);
    event.reset();
    EXPECT_EQ(event.toString(), TLXEvent().toString());  // made at the new time
    EXPECT_EQ(event.getAddr(), Addr());
    EXPECT_EQ((std::vector<int>{event.getLun(), event.getFan(), event.getPowerSupply(),
                                event.getPercentCompleted()}),
              (std::vector<int>{N, N, N, 0}));
    EXPECT_EQ(event.getAdapterSerial() + event.getIndentifier() + event.getFru() + "|" +
                  event.getHardDriveSerialNumber() + event.getEnclosureModel(),
              "|WD-123ENC-9");
}

TEST_F(EventsTest, AdapterSerialFallsBackToBusFunctionDevice) {
    Adapter adapter;
    adapter.setPCIBus(3);
    adapter.setPCIFunction(0);
    adapter.setPciDevice(2);
    TLXEvent event;
    event.setAdapterSerial(&adapter);
    EXPECT_EQ(event.getAdapterSerial(), "3-0-2");
    adapter.setSerialNumString("SN-778");
    event.setAdapterSerial(&adapter);
    event.setAdapterSerial(static_cast<Adapter*>(nullptr));  // changes nothing
    EXPECT_EQ(event.getAdapterSerial(), "SN-778");
}

// A full queue drops its oldest tenth less one and turns the oldest survivor into the
// notice, which the log holds before the event that caused the overload.
TEST_F(EventsTest, OverloadDropsTheOldestTenthAndLeavesANotice) {
    // Raised to the floor of 200 (0..18 dropped, 19 the notice); above the floor; the floor.
    const struct {
        int constructed, set, limit, kept, firstSurvivor;
    } rows[] = {{50, 0, 200, 182, 20}, {0, 300, 300, 272, 30}, {500, 200, 500, 452, 50}};
    const std::string notice = entry(TLXEvent(200, 2, TLXEventCollection::kOverloadText, ""));
    DebugMask::set(0xFF0000);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.limit);
        const std::string log = std::to_string(row.limit) + ".log";
        TLXEventCollection queue(path(log), row.constructed, 5);
        queue.setMaxSize(row.set);
        fill(queue, row.limit + 1);
        const std::vector<TLXEvent> events = queue.takeAll();
        ASSERT_EQ(events.size(), static_cast<size_t>(row.kept));
        EXPECT_EQ(entry(events[0]), notice);
        EXPECT_EQ(events[0].getIndentifier(), "");
        EXPECT_EQ(events[1].getEventCode(), row.firstSurvivor);
        EXPECT_EQ(events.back().getEventCode(), row.limit);
        const size_t at = readFile(log).find(notice);
        ASSERT_NE(at, std::string::npos);
        EXPECT_LT(at, readFile(log).find(entry(info(row.limit))));
    }
}

// Events above the severity filter are not queued. The constructor takes 5..7 (anything
// else is 5); setEventTypeLevel takes 1..7.
TEST_F(EventsTest, SeverityFilter) {
    // clang-format off
    const struct { int constructed, set; bool accepted; int level; } rows[] = {
        {3, 0, false, 5}, {8, 8, false, 5}, {7, 9, false, 7}, {5, 1, true, 1}};
    // clang-format on
    for (const auto& row : rows) {
        TLXEventCollection queue("", 200, row.constructed);
        EXPECT_EQ(queue.setEventTypeLevel(row.set), row.accepted);
        for (int type = 1; type <= 8; ++type) {
            queue.add(TLXEvent(type, type, "x", ""));
        }
        EXPECT_EQ(queue.size(), row.level) << row.constructed << " then " << row.set;
    }
}

// take(n) and removeOldest(n) on a queue of 0..4.
TEST_F(EventsTest, TakeAndRemoveOldest) {
    // clang-format off
    const struct { bool take; int n; const char *taken, *left; } rows[] = {
        {true, 0, "", "01234"}, {true, -1, "", "01234"}, {true, 2, "01", "234"},
        {true, 9, "01234", ""}, {false, -1, "", "01234"}, {false, 2, "", "234"},
        {false, 0, "", ""}, {false, 9, "", ""}};
    // clang-format on
    for (const auto& row : rows) {
        TLXEventCollection queue("", 200, 5);
        fill(queue, 5);
        const std::vector<TLXEvent> taken =
            row.take ? queue.take(row.n) : (queue.removeOldest(row.n), std::vector<TLXEvent>());
        EXPECT_EQ(codes(taken), row.taken) << row.take << " " << row.n;
        EXPECT_EQ(codes(queue.takeAll()), row.left) << row.take << " " << row.n;
    }
}

// Every event, filtered or not, and every addText is appended to the log and flushed at
// debug levels 1 and 2 only; an unopenable log only disables logging. addText never queues.
TEST_F(EventsTest, EventLogAtDebugLevelsOneAndTwo) {
    // clang-format off
    const struct { uint32_t mask; const char* name; bool logged; } rows[] = {
        {0xF00000, "events0.log", false}, {0xFF0000, "events1.log", true},
        {0xFFFFFF, "missing/dir/events.log", false}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DebugMask::set(row.mask);
        writeFile(row.name, "earlier run\n");
        const std::string before = readFile(row.name);  // empty where the log cannot be
        const TLXEvent error(10, 1, "an error", ""), warning(11, 2, "a warning", "");
        TLXEvent text;
        text.setEventDesc("free text");
        TLXEventCollection queue(path(row.name), 200, 5);
        ASSERT_TRUE(queue.setEventTypeLevel(1));
        queue.add(error);
        queue.add(warning);
        queue.addText("free text");
        queue.addText(nullptr);
        EXPECT_EQ(codes(queue.takeAll()), "10");
        const std::string logged = entry(error) + entry(warning) + entry(text) + entry(TLXEvent());
        EXPECT_EQ(readFile(row.name), before + (row.logged ? logged : ""));  // queue still open
    }
}

// Producers add while consumers take with both forms: every event arrives exactly once and
// each producer's events arrive in the order they were added.
TEST_F(EventsTest, ProducersAndConsumersOnRealThreads) {
    DebugMask::set(0xFFFFFF);  // log writes run concurrently too
    TLXEventCollection queue(path("TLXVLEvents.log"), 6000, 5);
    std::atomic<int> producing{3};
    std::vector<TLXEvent> received[2];
    std::vector<std::thread> threads;
    for (int p = 0; p < 3; ++p) {
        threads.emplace_back([&, p] {
            for (int i = 0; i < 2000; ++i) {
                queue.add(TLXEvent(p * 100000 + i, 3, "x", ""));
            }
            --producing;
        });
    }
    for (int c = 0; c < 2; ++c) {
        threads.emplace_back([&, c] {
            for (bool done = false; !done; std::this_thread::yield()) {
                done = producing.load() == 0;
                const std::vector<TLXEvent> batch = c == 0 ? queue.take(7) : queue.takeAll();
                received[c].insert(received[c].end(), batch.begin(), batch.end());
                done = done && queue.size() == 0;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(received[0].size() + received[1].size(), 6000u);
    for (const auto& events : received) {
        int last[3] = {-1, -1, -1};
        for (const TLXEvent& event : events) {
            const int producer = event.getEventCode() / 100000;
            EXPECT_GT(event.getEventCode() % 100000, last[producer]);
            last[producer] = event.getEventCode() % 100000;
        }
    }
}

// A producer overloading a small queue while a consumer takes and another thread reads the
// size and changes the limit: the queue never grows past its limit.
TEST_F(EventsTest, OverloadWhileTakingOnRealThreads) {
    TLXEventCollection queue("", 200, 5);
    std::atomic<bool> running{true};
    std::thread producer([&] {
        fill(queue, 20000);
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
