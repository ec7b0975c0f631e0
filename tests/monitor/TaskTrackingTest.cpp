// Task tracking and task events: the start-of-run comparison of the tasks that the snapshot
// recorded with the controllers' tasks now, the task report of new controllers, the
// remembered task starts behind isDuplicateEvent, the RAID 5E override and the percentages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "MonitorTestSupport.h"
#include "raidlib/raidlib.h"

namespace {

constexpr uint32_t U = Addr::kUnset;
constexpr EnumTaskState RUN = TASK_STATE_RUNNING, IDLE = TASK_STATE_NOT_RUNNING,
                        DONE = TASK_STATE_COMPLETED, FAIL = TASK_STATE_FAILED;
constexpr EnumTaskType REB = TASK_TYPE_REBUILD, SYN = TASK_TYPE_SYNC;

// code, adapter ID, logical drive ID of the address, percentage
using Ev = std::tuple<int, uint32_t, uint32_t, int>;
// clang-format off
struct Task { uint32_t adapter, drive; EnumTaskType type; EnumTaskState state; uint32_t percent; };
// clang-format on
// Controllers (ID, serial) with logical drives 0 to 2, the first RAID 5E.
using Layout = std::vector<std::pair<uint32_t, std::string>>;
const Layout kOne = {{0, "A0"}}, kTwo = {{0, "A0"}, {1, "A1"}}, kSwapped = {{1, "A0"}, {0, "A1"}};

class TaskTrackingTest : public MonitorLoopTest {
protected:
    void SetUp() override {
        MonitorLoopTest::SetUp();
        installShippedCatalog();
        fresh();
    }
    void fresh() {
        monitor = std::make_unique<TestVelmarMonitor>(&lib);
        monitor->enablePolling();
    }
    void install(const Layout& layout, const std::vector<Task>& tasks, uint32_t drives = 3) {
        auto* system = new System();
        ModelBuilder tree(system);
        for (const auto& [id, serial] : layout) {
            Adapter* adapter = tree.adapter(id, serial);
            for (uint32_t d = 0; d < drives; ++d) {
                tree.logicalDrive(adapter, d, LD_STATE_OKAY, d == 1 ? RAID_LEVEL_5E : RAID_LEVEL_5);
            }
        }
        lib.setHardwareModel(system);
        for (const Task& t : tasks) {
            ASSERT_TRUE(lib.setTask(t.adapter, t.drive, t.type, t.state, t.percent));
        }
        lib.getNewSystem();
    }
    Adapter* adapter(uint32_t id) {
        Addr addr(id, U, U, U, U, Addr::kUnsetChunk, U, U);
        return static_cast<Adapter*>(lib.getCurrentObject(addr));
    }
    std::vector<Ev> take() {
        std::vector<Ev> out;
        for (const TLXEvent& e : monitor->getEvents(0)) {
            if (!e.getIndentifier().empty()) {
                continue;  // the controller and drive reports of a new controller
            }
            EXPECT_EQ(e.getEventType(), 3);
            EXPECT_EQ(e.getObjectType(), TLX_OBJ_LOGICAL_DRIVE);
            // Percentage events carry the drive number (ID + 1) in the address, as the lun.
            const int percent = e.getPercentCompleted();
            EXPECT_EQ(e.getLun(), static_cast<int>(e.getLogicalDriveID()) + (percent > 0 ? 0 : 1));
            out.emplace_back(e.getEventCode(), e.getAdapterID(), e.getLogicalDriveID(), percent);
            texts.push_back(e.getEventDesc());
        }
        return out;
    }

    std::unique_ptr<TestVelmarMonitor> monitor;
    std::vector<std::string> texts;
};

TEST_F(TaskTrackingTest, StoredTaskAgainstTheControllersTaskNow) {
    // Controllers before and now: one, two, two whose IDs swapped.
    const std::pair<const Layout*, const Layout*> layouts[] = {
        {&kOne, &kOne}, {&kTwo, &kTwo}, {&kTwo, &kSwapped}};
    const Task r0 = {0, 0, REB, RUN, 40}, r1 = {0, 1, REB, RUN, 5}, r2 = {0, 2, REB, RUN, 5},
               s0 = {0, 0, SYN, RUN, 5}, s1 = {0, 1, SYN, RUN, 5}, s11 = {1, 1, SYN, RUN, 5},
               m0 = {0, 0, TASK_TYPE_MIGRATION, RUN, 5};
    // clang-format off
    struct Case {
        const char* name; int layout; std::vector<Task> stored, now; std::vector<Ev> events;
        std::vector<std::tuple<uint32_t, int, int>> remembered;  // adapter, code, drive
        uint32_t drivesNow = 3;
    } cases[] = {
        {"finished while away", 0, {r0}, {{0, 0, REB, IDLE, 100}}, {{305, 0, 0, 0}}, {}},
        {"stopped at 99", 0, {r0}, {{0, 0, REB, IDLE, 99}}, {{385, 0, 0, 0}}, {}},
        {"completed", 0, {r0}, {{0, 0, REB, DONE, 100}}, {{305, 0, 0, 0}}, {}},
        {"failed", 0, {r0}, {{0, 0, REB, FAIL, 60}}, {{306, 0, 0, 0}}, {}},
        {"still runs", 0, {r0}, {{0, 0, REB, RUN, 70}}, {}, {{0, 304, 0}}},
        {"same type, other drive", 0, {s0}, {s1}, {{307, 0, 1, 0}, {386, 0, 0, 0}}, {{0, 307, 1}}},
        {"other type", 0, {m0}, {r1}, {{304, 0, 1, 0}, {387, 0, 0, 0}}, {{0, 304, 1}}},
        {"both idle", 0, {}, {}, {}, {}},
        {"started while away", 0, {}, {r2}, {{304, 0, 2, 0}}, {{0, 304, 2}}},
        {"gone, controller idle", 0, {r1}, {}, {{385, 0, 1, 0}}, {}},
        {"drive deleted", 0, {r2}, {}, {{385, 0, 2, 0}}, {}, 2},
        {"each controller with its own", 1, {r0, s11}, {r0, s11}, {}, {{0, 304, 0}, {1, 307, 1}}},
        {"IDs swapped", 2, {r0, s11}, {{1, 0, REB, RUN, 50}, s1}, {}, {{1, 304, 0}, {0, 307, 1}}},
        {"one finished", 1, {r0, s11}, {{0, 0, REB, DONE, 100}, s11}, {{305, 0, 0, 0}}, {{1, 307, 1}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();  // no percentage state from earlier cases
        const auto [before, after] = layouts[c.layout];
        install(*before, c.stored);
        monitor->writeXML();
        install(*after, c.now, c.drivesNow);
        monitor->vlEventPersistence();  // pairs the controllers by serial number
        EXPECT_EQ(take(), c.events);
        for (const auto& [adapterID, code, drive] : c.remembered) {
            EXPECT_TRUE(monitor->isDuplicateEvent(adapterID, code, drive));  // once
            EXPECT_FALSE(monitor->isDuplicateEvent(adapterID, code, drive));
        }
        EXPECT_FALSE(monitor->isDuplicateEvent(0, 304, 0));
    }
}

// A new controller: each logical drive's task goes to AddProgressEvent, which raises only
// the pairs of its table, failures as informational events too.
TEST_F(TaskTrackingTest, NewControllersReportTheirTasksAndDropTheirOwnStartRecordOnce) {
    // Types 9, 12 and 13 raise nothing, nor do states 4 and 0.
    const auto T = [](int type) { return static_cast<EnumTaskType>(type); };
    // clang-format off
    const std::vector<Task> tasks = {{0, 0, REB, TASK_STATE_PAUSED, 9}, {0, 1, REB, RUN, 30},
        {0, 2, REB, IDLE, 40}, {0, 3, T(9), RUN, 1}, {0, 4, T(12), DONE, 9}, {0, 5, T(13), FAIL, 1},
        {1, 0, SYN, RUN, 5}, {1, 1, REB, FAIL, 5}};
    // clang-format on
    install(kTwo, tasks, 7);
    auto* failing = static_cast<LogicalDrive*>(lib.getCurrentSystem()->getObject(0, U, 6, U, U));
    failing->setProgress(Progress(REB, RUN, 1, 6));
    failing->setProgressReturnCode(5);
    monitor->compareProgress(monitor->queue(), adapter(0), nullptr);
    monitor->checkProgress(monitor->queue(), adapter(1));
    EXPECT_EQ(take(), (std::vector<Ev>{{304, 0, 1, 0}, {307, 1, 0, 0}, {306, 1, 1, 0}}));
    EXPECT_EQ(texts[0],
              "A rebuild is running on logical drive 2 of controller 1 VELMAR RAID "
              "Controller #A0 (slot Unknown).");
    monitor->writeXML();  // the snapshot write after the start-of-run pass keeps them
    const auto dup = [&](uint32_t id, int code, int drive) {
        return monitor->isDuplicateEvent(id, code, drive);
    };
    // Its own record once; another controller's or drive's, or another code, never.
    EXPECT_EQ((std::vector<bool>{dup(0, 304, 1), dup(0, 304, 1), dup(1, 304, 1), dup(0, 304, 0),
                                 dup(1, 306, 1)}),
              (std::vector<bool>{true, false, false, false, false}));
    monitor->LDMProgressType(nullptr);  // the next run starts afresh
    EXPECT_FALSE(monitor->isDuplicateEvent(1, 307, 0));
}

TEST_F(TaskTrackingTest, Raid5EOverrideAppliesToItsOwnDriveOnly) {
    const std::pair<EnumLogicalDeviceState, int> rows[] = {
        {LD_STATE_DEGRADED, 313}, {LD_STATE_RECOVERING, 316}, {LD_STATE_OKAY, 310}};
    for (const auto& [state, code] : rows) {
        install(kTwo, {});  // drive 1 of both controllers is RAID 5E; the first one decides
        static_cast<LogicalDrive*>(lib.getCurrentSystem()->getObject(0, U, 1, U, U))
            ->setState(state);
        monitor->writeXML();
        monitor->vlEventPersistence();
        for (const auto& [adapterID, drive] :
             {std::pair<uint32_t, uint32_t>{0, 1}, {0, 0}, {1, 1}}) {
            monitor->AddProgressEvent(monitor->queue(), TASK_TYPE_MIGRATION, RUN,
                                      adapter(adapterID), drive);
        }
        EXPECT_EQ(take(), (std::vector<Ev>{{code, 0, 1, 0}, {310, 0, 0, 0}, {310, 1, 1, 0}}));
    }
}

TEST_F(TaskTrackingTest, PercentagesPerControllerAndTask) {
    System system;
    ModelBuilder tree(&system);
    Adapter* adapters[] = {tree.adapter(0, "A0"), tree.adapter(1, "A1")};
    // clang-format off
    struct Step { uint32_t adapter; EnumTaskType type; uint32_t drive, percent; EnumTaskState state = RUN; };
    struct Case { const char* name; std::vector<Step> steps; std::vector<Ev> events; } cases[] = {
        {"grows", {{0, REB, 0, 10}, {0, REB, 0, 30}, {0, REB, 0, 30}, {0, REB, 0, 55}},
         {{372, 0, 1, 30}, {372, 0, 1, 55}}},
        {"two controllers", {{0, REB, 0, 10}, {1, SYN, 2, 10}, {0, REB, 0, 30}, {1, SYN, 2, 40}},
         {{372, 0, 1, 30}, {373, 1, 3, 40}}},
        {"new type after 80", {{0, REB, 0, 10}, {0, REB, 0, 80}, {0, SYN, 0, 20}, {0, SYN, 0, 50}, {0, SYN, 0, 85}},
         {{372, 0, 1, 80}, {373, 0, 1, 50}, {373, 0, 1, 85}}},
        {"other drive", {{0, REB, 0, 10}, {0, REB, 0, 30}, {0, REB, 1, 50}, {0, REB, 1, 60}},
         {{372, 0, 1, 30}, {372, 0, 2, 60}}},
        {"restarted lower", {{0, REB, 0, 10}, {0, REB, 0, 60}, {0, REB, 0, 20}, {0, REB, 0, 40}},
         {{372, 0, 1, 60}, {372, 0, 1, 40}}},
        {"paused", {{0, REB, 0, 10}, {0, REB, 0, 30}, {0, REB, 0, 50, TASK_STATE_PAUSED}, {0, REB, 0, 50}},
         {{372, 0, 1, 30}, {372, 0, 1, 50}}},
        {"no percentage event", {{0, TASK_TYPE_COPY_BACK, 0, 10}, {0, TASK_TYPE_COPY_BACK, 0, 20}}, {}},
        {"snapshot", {{1, TASK_TYPE_SNAPSHOT, 0, 10}, {1, TASK_TYPE_SNAPSHOT, 0, 20}}, {{377, 1, 1, 20}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        for (const Step& s : c.steps) {
            Progress task(s.type, s.state, s.percent, s.drive);
            monitor->logProgressEvent(adapters[s.adapter], task);
        }
        EXPECT_EQ(take(), c.events);
    }
    EXPECT_EQ(texts[0],
              "The rebuild of logical drive 1 of controller 1 VELMAR RAID Controller #A0 (slot "
              "Unknown) is 30 percent complete.");
}

}  // namespace
