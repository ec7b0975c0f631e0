// Task tracking and task events: the start-of-run comparison of the tasks that the snapshot
// recorded with the controllers' tasks now, the task report of new controllers, the
// remembered task starts behind isDuplicateEvent, the RAID 5E override and the percentages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "monitor/VelmarMonitor.h"
#include "raidlib/raidlib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"
#include "support/TestHome.h"
#include "support/TreeBuilder.h"

namespace {

constexpr uint32_t U = Addr::kUnset;
constexpr EnumTaskState RUN = TASK_STATE_RUNNING;

class TaskMonitor : public VelmarMonitor {
public:
    using VelmarMonitor::VelmarMonitor;
    // Rebuilds the snapshot that writeXML left and takes its task list as the stored one.
    TLXSystem* readStored() {
        configBuilder->readXML();
        FilterCollection lists(configBuilder->getSystem());
        storedTaskList = lists.apply("ProgressCollection", false)->elementAt(0);
        return configBuilder->getSystem();
    }
    TLXEventCollection& queue() { return *events; }
    int storedTaskCount() const { return storedTaskList ? storedTaskList->getChildCount() : -1; }
};

// code, adapter ID, logical drive ID of the address, lun, percentage
using Ev = std::tuple<int, uint32_t, uint32_t, int, int>;
struct Task {
    uint32_t adapter, drive;
    EnumTaskType type;
    EnumTaskState state;
    uint32_t percent;
};
struct Start {
    uint32_t adapter;
    int code;
    uint32_t drive;
};
struct Layout {
    std::vector<std::pair<uint32_t, std::string>> adapters;  // ID, serial
    std::vector<Task> tasks;
    uint32_t drives = 3;  // logical drives 0.. of every controller
};

class TaskTrackingTest : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        installShippedCatalog();
        monitor = std::make_unique<TaskMonitor>(&lib);
        monitor->enablePolling();
    }
    void install(const Layout& layout) {
        auto* system = new System();
        TreeBuilder tree(system);
        for (const auto& [id, serial] : layout.adapters) {
            Adapter* adapter = tree.adapter(id, serial);
            for (uint32_t d = 0; d < layout.drives; ++d) {
                tree.logicalDrive(adapter, d, LD_STATE_OKAY, d == 1 ? RAID_LEVEL_5E : RAID_LEVEL_5);
            }
        }
        lib.setHardwareModel(system);
        for (const Task& t : layout.tasks) {
            ASSERT_TRUE(lib.setTask(t.adapter, t.drive, t.type, t.state, t.percent));
        }
        lib.getNewSystem();
    }
    // Writes the snapshot of `before`, then runs the start-of-run comparison against `after`.
    void compare(const Layout& before, const Layout& after) {
        monitor = std::make_unique<TaskMonitor>(&lib);  // no percentage state from earlier cases
        monitor->enablePolling();
        install(before);
        monitor->writeXML();
        install(after);
        TLXSystem* stored = monitor->readStored();
        EXPECT_EQ(monitor->storedTaskCount(), static_cast<int>(before.adapters.size()));
        monitor->LDMProgressType(stored);
        FilterCollection twins(stored);
        twins.apply("Adapter", false);
        for (const auto& [id, serial] : after.adapters) {
            Adapter* twin = nullptr;
            for (int i = 0; i < twins.size(); ++i) {
                auto* candidate = static_cast<Adapter*>(twins.elementAt(i));
                twin = serial == candidate->getSerialNumString() ? candidate : twin;
            }
            monitor->compareProgress(monitor->queue(), getAdapter(id), twin);
        }
    }
    Adapter* getAdapter(uint32_t id) {
        Addr addr(id, U, U, U, U, Addr::kUnsetChunk, U, U);
        return static_cast<Adapter*>(lib.getCurrentObject(addr));
    }
    std::vector<Ev> take() {
        std::vector<Ev> out;
        for (const TLXEvent& e : monitor->getEvents(0)) {
            EXPECT_EQ(e.getEventType(), 3);
            EXPECT_EQ(e.getObjectType(), TLX_OBJ_LOGICAL_DRIVE);
            out.emplace_back(e.getEventCode(), e.getAdapterID(), e.getLogicalDriveID(), e.getLun(),
                             e.getPercentCompleted());
            texts.push_back(e.getEventDesc());
        }
        return out;
    }

    VelmarLib lib;
    std::unique_ptr<TaskMonitor> monitor;
    std::vector<std::string> texts;
};

const std::string kController0 =
    "logical drive 1 of controller 1 VELMAR RAID Controller #A0 (slot Unknown)";

TEST_F(TaskTrackingTest, StoredTaskAgainstTheControllersTaskNow) {
    const std::vector<std::pair<uint32_t, std::string>> one = {{0, "A0"}},
                                                        two = {{0, "A0"}, {1, "A1"}},
                                                        swapped = {{1, "A0"}, {0, "A1"}};
    const Task rebuild0 = {0, 0, TASK_TYPE_REBUILD, RUN, 40},
               sync1 = {1, 1, TASK_TYPE_SYNC, RUN, 5};
    struct Case {
        const char* name;
        Layout before, after;
        std::vector<Ev> events;
        std::vector<Start> remembered;
    } cases[] = {
        {"finished while away",
         {one, {rebuild0}},
         {one, {{0, 0, TASK_TYPE_REBUILD, TASK_STATE_NOT_RUNNING, 100}}},
         {{305, 0, 0, 1, 0}},
         {}},
        {"stopped at 99",
         {one, {rebuild0}},
         {one, {{0, 0, TASK_TYPE_REBUILD, TASK_STATE_NOT_RUNNING, 99}}},
         {{385, 0, 0, 1, 0}},
         {}},
        {"completed",
         {one, {rebuild0}},
         {one, {{0, 0, TASK_TYPE_REBUILD, TASK_STATE_COMPLETED, 100}}},
         {{305, 0, 0, 1, 0}},
         {}},
        {"failed",
         {one, {rebuild0}},
         {one, {{0, 0, TASK_TYPE_REBUILD, TASK_STATE_FAILED, 60}}},
         {{306, 0, 0, 1, 0}},
         {}},
        {"still runs",
         {one, {rebuild0}},
         {one, {{0, 0, TASK_TYPE_REBUILD, RUN, 70}}},
         {},
         {{0, 304, 0}}},
        {"same type, other drive",
         {one, {{0, 0, TASK_TYPE_SYNC, RUN, 5}}},
         {one, {{0, 1, TASK_TYPE_SYNC, RUN, 5}}},
         {{307, 0, 1, 2, 0}, {386, 0, 0, 1, 0}},
         {{0, 307, 1}}},
        {"other type",
         {one, {{0, 0, TASK_TYPE_MIGRATION, RUN, 5}}},
         {one, {{0, 1, TASK_TYPE_REBUILD, RUN, 5}}},
         {{304, 0, 1, 2, 0}, {387, 0, 0, 1, 0}},
         {{0, 304, 1}}},
        {"both idle", {one, {}}, {one, {}}, {}, {}},
        {"started while away",
         {one, {}},
         {one, {{0, 2, TASK_TYPE_REBUILD, RUN, 5}}},
         {{304, 0, 2, 3, 0}},
         {{0, 304, 2}}},
        {"gone, controller idle",
         {one, {{0, 1, TASK_TYPE_REBUILD, RUN, 5}}},
         {one, {}},
         {{385, 0, 1, 2, 0}},
         {}},
        {"drive deleted",
         {one, {{0, 2, TASK_TYPE_REBUILD, RUN, 5}}},
         {one, {}, 2},
         {{385, 0, 2, 3, 0}},
         {}},
        {"each controller with its own",
         {two, {rebuild0, sync1}},
         {two, {rebuild0, sync1}},
         {},
         {{0, 304, 0}, {1, 307, 1}}},
        {"IDs swapped",
         {two, {rebuild0, sync1}},
         {swapped, {{1, 0, TASK_TYPE_REBUILD, RUN, 50}, {0, 1, TASK_TYPE_SYNC, RUN, 9}}},
         {},
         {{1, 304, 0}, {0, 307, 1}}},
        {"one of two finished",
         {two, {rebuild0, sync1}},
         {two, {{0, 0, TASK_TYPE_REBUILD, TASK_STATE_COMPLETED, 100}, sync1}},
         {{305, 0, 0, 1, 0}},
         {{1, 307, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        compare(c.before, c.after);
        EXPECT_EQ(take(), c.events);
        for (const Start& s : c.remembered) {
            EXPECT_TRUE(monitor->isDuplicateEvent(s.adapter, s.code, s.drive));
            EXPECT_FALSE(monitor->isDuplicateEvent(s.adapter, s.code, s.drive));
        }
        EXPECT_FALSE(monitor->isDuplicateEvent(0, 304, 0));
    }
    EXPECT_EQ(texts[0], "The rebuild of " + kController0 + " has completed.");
}

TEST_F(TaskTrackingTest, NewControllersReportRunningTasksAndDropTheirOwnStartRecordOnce) {
    install({{{0, "A0"}, {1, "A1"}},
             {{0, 1, TASK_TYPE_REBUILD, RUN, 30}, {1, 0, TASK_TYPE_SYNC, RUN, 5}}});
    LogicalDrive* failing =
        static_cast<LogicalDrive*>(lib.getCurrentSystem()->getObject(0, U, 2, U, U));
    failing->setProgress(Progress(TASK_TYPE_REBUILD, RUN, 1, 2));
    failing->setProgressReturnCode(5);
    monitor->compareProgress(monitor->queue(), getAdapter(0), nullptr);
    monitor->checkProgress(monitor->queue(), getAdapter(1));
    EXPECT_EQ(take(), (std::vector<Ev>{{304, 0, 1, 2, 0}, {307, 1, 0, 1, 0}}));
    EXPECT_EQ(texts[0],
              "A rebuild is running on logical drive 2 of controller 1 VELMAR RAID Controller #A0 "
              "(slot Unknown).");
    monitor->writeXML();  // the snapshot write after the start-of-run pass keeps them
    const std::tuple<uint32_t, int, int, bool> records[] = {
        {0, 304, 1, true},  {0, 304, 1, false}, {1, 304, 1, false},
        {0, 304, 0, false}, {0, 305, 1, false},
    };
    for (const auto& [adapter, code, drive, dropped] : records) {
        EXPECT_EQ(monitor->isDuplicateEvent(adapter, code, drive), dropped)
            << adapter << " " << code << " " << drive;
    }
    monitor->LDMProgressType(nullptr);  // the next run starts afresh
    EXPECT_FALSE(monitor->isDuplicateEvent(1, 307, 0));
}

TEST_F(TaskTrackingTest, Raid5EOverrideAppliesToItsOwnDriveOnly) {
    const std::pair<EnumLogicalDeviceState, int> rows[] = {
        {LD_STATE_DEGRADED, 313}, {LD_STATE_RECOVERING, 316}, {LD_STATE_OKAY, 310}};
    for (const auto& [state, code] : rows) {
        install({{{0, "A0"}, {1, "A1"}}, {}});
        static_cast<LogicalDrive*>(lib.getHardwareModel()->getObject(0, U, 1, U, U))
            ->setState(state);
        lib.getNewSystem();
        monitor->writeXML();
        monitor->LDMProgressType(monitor->readStored());
        for (const auto& [adapter, drive] : {std::pair<uint32_t, uint32_t>{0, 1}, {0, 0}, {1, 1}}) {
            monitor->AddProgressEvent(monitor->queue(), TASK_TYPE_MIGRATION, RUN,
                                      getAdapter(adapter), drive);
        }
        EXPECT_EQ(take(),
                  (std::vector<Ev>{{code, 0, 1, 2, 0}, {310, 0, 0, 1, 0}, {310, 1, 1, 2, 0}}));
    }
}

TEST_F(TaskTrackingTest, AddProgressEventByTypeAndState) {
    install({{{0, "A0"}}, {}});
    const std::tuple<EnumTaskType, EnumTaskState, uint32_t, int> rows[] = {
        {TASK_TYPE_REBUILD, RUN, 0, 304},
        {TASK_TYPE_REBUILD, TASK_STATE_PAUSED, 0, 0},
        {TASK_TYPE_REBUILD, TASK_STATE_NOT_RUNNING, 0, 0},
        {TASK_TYPE_REBUILD, TASK_STATE_FAILED, 1, 306},
        {TASK_TYPE_COPY_BACK, RUN, 0, 0},
        {TASK_TYPE_QUICK_INIT, TASK_STATE_COMPLETED, 0, 0},
        {TASK_TYPE_MEDIA_SCAN, TASK_STATE_FAILED, 0, 0},
        {TASK_TYPE_NONE, RUN, 0, 0},
        {TASK_TYPE_SYNC_NO_FIX, TASK_STATE_STOPPED, 2, 386},
        {TASK_TYPE_DECOMPRESSION, TASK_STATE_COMPLETED, 0, 317},
    };
    for (const auto& [type, state, drive, code] : rows) {
        monitor->AddProgressEvent(monitor->queue(), type, state, getAdapter(0), drive);
        const std::vector<Ev> events = take();
        const std::vector<Ev> expected = {{code, 0, drive, int(drive) + 1, 0}};
        EXPECT_EQ(events, code == 0 ? std::vector<Ev>() : expected) << type << "/" << state;
    }
    EXPECT_EQ(texts[0], "A rebuild is running on " + kController0 + ".");
    EXPECT_EQ(texts[1],
              "The rebuild of logical drive 2 of controller 1 VELMAR RAID Controller #A0 (slot "
              "Unknown) has failed.");
}

TEST_F(TaskTrackingTest, PercentagesPerControllerAndTask) {
    System system;
    TreeBuilder tree(&system);
    Adapter* adapters[] = {tree.adapter(0, "A0"), tree.adapter(1, "A1")};
    struct Step {
        uint32_t adapter;
        EnumTaskType type;
        uint32_t drive, percent;
        EnumTaskState state = RUN;
    };
    const EnumTaskType REB = TASK_TYPE_REBUILD, SYNC = TASK_TYPE_SYNC;
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<Ev> events;
    } cases[] = {
        {"grows",
         {{0, REB, 0, 10}, {0, REB, 0, 30}, {0, REB, 0, 30}, {0, REB, 0, 55}},
         {{372, 0, 1, 1, 30}, {372, 0, 1, 1, 55}}},
        {"two controllers",
         {{0, REB, 0, 10}, {1, SYNC, 2, 10}, {0, REB, 0, 30}, {1, SYNC, 2, 40}},
         {{372, 0, 1, 1, 30}, {373, 1, 3, 3, 40}}},
        {"new type after 80",
         {{0, REB, 0, 10}, {0, REB, 0, 80}, {0, SYNC, 0, 20}, {0, SYNC, 0, 50}, {0, SYNC, 0, 85}},
         {{372, 0, 1, 1, 80}, {373, 0, 1, 1, 50}, {373, 0, 1, 1, 85}}},
        {"other drive",
         {{0, REB, 0, 10}, {0, REB, 0, 30}, {0, REB, 1, 50}, {0, REB, 1, 60}},
         {{372, 0, 1, 1, 30}, {372, 0, 2, 2, 60}}},
        {"restarted lower",
         {{0, REB, 0, 10}, {0, REB, 0, 60}, {0, REB, 0, 20}, {0, REB, 0, 40}},
         {{372, 0, 1, 1, 60}, {372, 0, 1, 1, 40}}},
        {"paused",
         {{0, REB, 0, 10}, {0, REB, 0, 30}, {0, REB, 0, 50, TASK_STATE_PAUSED}, {0, REB, 0, 50}},
         {{372, 0, 1, 1, 30}, {372, 0, 1, 1, 50}}},
        {"no percentage event",
         {{0, TASK_TYPE_COPY_BACK, 0, 10}, {0, TASK_TYPE_COPY_BACK, 0, 20}},
         {}},
        {"snapshot",
         {{1, TASK_TYPE_SNAPSHOT, 0, 10}, {1, TASK_TYPE_SNAPSHOT, 0, 20}},
         {{377, 1, 1, 1, 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        monitor = std::make_unique<TaskMonitor>(&lib);
        for (const Step& s : c.steps) {
            Progress task(s.type, s.state, s.percent, s.drive);
            monitor->logProgressEvent(adapters[s.adapter], task);
        }
        EXPECT_EQ(take(), c.events);
    }
    EXPECT_EQ(texts[0], "The rebuild of " + kController0 + " is 30 percent complete.");
}

}  // namespace
