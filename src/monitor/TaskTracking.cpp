// Task tracking: the task snapshot written with the configuration, and the comparison of
// stored and current tasks at the start of a run.
#include <algorithm>
#include <memory>

#include "monitor/VelmarMonitor.h"
#include "raidlib/Adapter.h"
#include "raidlib/FilterCollection.h"
#include "raidlib/LogicalDrive.h"
#include "raidlib/System.h"
#include "raidlib/VelmarLib.h"
#include "snapshot/TLXProgress.h"
#include "snapshot/TLXProgressCollection.h"

namespace {

// What a stored task S and the controller's task N now tell.
enum class TaskChange {
    Completed,           // N completed
    CompletedOrStopped,  // N no longer runs: completed at 100 percent, else stopped
    Failed,              // N failed
    RunsOrMoved,         // on S's logical drive the task still runs; else it moved there
    Unchanged,
    Replaced,  // another task: N in its state, and S stopped
};

constexpr int kAnyState = -1;

struct TaskDecision {
    bool sameType;
    int currentState;
    int storedState;
    TaskChange change;
};

// First matching row wins: for one S, N's state is tested 1, 0, 3, 2.
constexpr TaskDecision kTaskDecisions[] = {
    {true, TASK_STATE_COMPLETED, TASK_STATE_RUNNING, TaskChange::Completed},
    {true, TASK_STATE_NOT_RUNNING, TASK_STATE_RUNNING, TaskChange::CompletedOrStopped},
    {true, TASK_STATE_FAILED, TASK_STATE_RUNNING, TaskChange::Failed},
    {true, TASK_STATE_RUNNING, TASK_STATE_RUNNING, TaskChange::RunsOrMoved},
    {true, kAnyState, kAnyState, TaskChange::Unchanged},
    {false, kAnyState, kAnyState, TaskChange::Replaced},
};

TaskChange decide(bool sameType, int currentState, int storedState) {
    const auto matches = [](int wanted, int state) {
        return wanted == kAnyState || wanted == state;
    };
    for (const TaskDecision& row : kTaskDecisions) {
        if (row.sameType == sameType && matches(row.currentState, currentState) &&
            matches(row.storedState, storedState)) {
            return row.change;
        }
    }
    return TaskChange::Unchanged;
}

constexpr unsigned kFinished = 100;

// The states of a RAID 5E logical drive that make its migration a compression or a
// decompression.
constexpr int kCompressingState = 6;
constexpr int kDecompressingState = 4;

}  // namespace

void VelmarMonitor::setProgress() {
    logTrace("In VelmarMonitor::setProgress()\n");
    progress = std::make_unique<TLXProgressCollection>();
    System* system = velmarLib != nullptr ? velmarLib->getCurrentSystem() : nullptr;
    if (system == nullptr) {
        return;
    }
    FilterCollection adapters(system);
    adapters.apply("Adapter", false);
    for (int i = 0; i < adapters.size(); ++i) {
        auto* adapter = static_cast<Adapter*>(adapters.elementAt(i));
        if (adapter == nullptr) {
            logError("ERROR: current Adapter is NULL  \n");
            continue;
        }
        Progress task;
        if (adapter->getProgress(task).getReturnCode() != 0) {
            logError("ERROR: Get Progress failed on Current Adapter\n");
        }
        logProgressEvent(adapter, task);
        progress->addChild(new TLXProgress(GetTLXProgress(task)));
    }
    logTrace("Exiting VelmarMonitor::setProgress()\n");
}

void VelmarMonitor::checkProgress(TLXEventCollection& ecIN, Adapter* current) {
    logTrace("In VelmarMonitor::checkProgress ()\n");
    if (current == nullptr) {
        logError("ERROR: current Adapter is NULL\n");
        return;
    }
    Progress adapterTask;
    if (current->getProgress(adapterTask).getReturnCode() != 0) {
        logError("ERROR: Getting Progress on the Current Adapter failed \n");
    }
    FilterCollection drives(current);
    drives.apply("LogicalDrive", false);
    for (int i = 0; i < drives.size(); ++i) {
        auto* drive = static_cast<LogicalDrive*>(drives.elementAt(i));
        Progress task;
        if (drive == nullptr || drive->getProgress(task).getReturnCode() != 0) {
            continue;
        }
        // A running task is raised as detected, which remembers its start.
        AddProgressEvent(ecIN, task.getType(), task.getStatus(), current, task.getLogicalDrive());
    }
    logTrace("Exiting VelmarMonitor::checkProgress ()\n");
}

void VelmarMonitor::compareProgress(TLXEventCollection& ecIN, Adapter* current, Adapter* stored) {
    logTrace(
        "In VelmarMonitor::compareProgress(TLXEventCollection &ecIN, Adapter *newAdapterIN, "
        "Adapter *oldAdapterIN) \n");
    if (current == nullptr) {
        logError("ERROR: new Adapter is NULL\n");
        return;
    }
    if (stored == nullptr) {
        logError("ERROR: old Adapter is NULL\n");
        checkProgress(ecIN, current);
        return;
    }
    logTrace("Compare the Progress on the Old and New Logicals");
    compare_LogicalProgress(ecIN, current, stored);
    logTrace("Exiting VelmarMonitor::compareProgress() \n");
}

uint32_t VelmarMonitor::storedLogicalDrive(const TLXProgress& stored) {
    Addr addr = stored.getDeviceAddr();
    RaidObject* object = velmarLib != nullptr ? velmarLib->getCurrentObject(addr) : nullptr;
    if (object != nullptr && object->isInstanceOf("LogicalDrive")) {
        return object->getLogicalDriveID();
    }
    // The drive is gone (or the task named none): its stopped event still names the drive.
    return stored.getDeviceAddr().getLogicalDriveID();
}

void VelmarMonitor::compare_LogicalProgress(TLXEventCollection& ecIN, Adapter* current,
                                            Adapter* stored) {
    logTrace("In VelmarMonitor::compare_LogicalProgress() \n");
    if (current == nullptr) {
        logError("ERROR: New Adapter is NULL \n");
        return;
    }
    Progress now;
    if (current->getProgress(now).getReturnCode() != 0) {
        logError("ERROR: Getting Progress Events on Adapter failed \n");
    }
    if (storedTaskList == nullptr) {
        logError("ERROR: Progress Collection is null \n");
        return;
    }
    // The list holds every controller's task of the previous run; this controller's is the
    // one that names its stored twin (controller IDs may differ between runs).
    const uint32_t twinID = stored != nullptr ? stored->getAdapterID() : Addr::kUnset;
    const EnumTaskType nowType = now.getType();
    const uint32_t nowDrive = now.getLogicalDrive();
    for (int i = 0; i < storedTaskList->getChildCount(); ++i) {
        RaidObject* child = storedTaskList->getChild(i);
        if (child == nullptr || !child->isInstanceOf("Progress")) {
            continue;
        }
        TLXProgress was;
        was.copyFrom(*child);
        if (was.getDeviceAddr().getAdapterID() != twinID) {
            continue;
        }
        const uint32_t wasDrive = storedLogicalDrive(was);
        const auto wasType = static_cast<EnumTaskType>(was.getTaskType());
        switch (decide(wasType == nowType, now.getStatus(), static_cast<int>(was.getTaskState()))) {
            case TaskChange::Completed:
                AddProgressEvent(ecIN, nowType, TASK_STATE_COMPLETED, current, nowDrive);
                break;
            case TaskChange::CompletedOrStopped:
                AddProgressEvent(
                    ecIN, nowType,
                    now.getPercent() == kFinished ? TASK_STATE_COMPLETED : TASK_STATE_STOPPED,
                    current, nowDrive);
                break;
            case TaskChange::Failed:
                AddProgressEvent(ecIN, nowType, TASK_STATE_FAILED, current, nowDrive);
                break;
            case TaskChange::RunsOrMoved:
                if (nowDrive == wasDrive) {
                    rememberTaskStart(current->getAdapterID(), nowType, nowDrive);
                } else {
                    AddProgressEvent(ecIN, nowType, TASK_STATE_RUNNING, current, nowDrive);
                    AddProgressEvent(ecIN, wasType, TASK_STATE_STOPPED, stored, wasDrive);
                }
                break;
            case TaskChange::Unchanged:
                break;
            case TaskChange::Replaced:
                AddProgressEvent(ecIN, nowType, now.getStatus(), current, nowDrive);
                AddProgressEvent(ecIN, wasType, TASK_STATE_STOPPED, stored, wasDrive);
                break;
        }
    }
}

TLXProgress VelmarMonitor::GetTLXProgress(Progress task) {
    logTrace("In VelmarMonitor::GetTLXProgress(Progress progress)\n");
    TLXProgress snapshot;
    snapshot.copyFrom(task);
    logTrace("Exiting VelmarMonitor::GetTLXProgress(Progress progress)\n");
    return snapshot;
}

void VelmarMonitor::LDMProgressType(System* storedSystem) {
    // Called once when a run starts: task starts remembered by an earlier run are stale.
    reportedTaskEvents.clear();
    taskTypeOverride = 0;
    overrideFound = false;
    overrideAdapterID = Addr::kUnset;
    overrideLogicalDriveID = Addr::kUnset;
    logTrace("In VelmarMonitor::LDMProgressType(System *tlxSys)\n");
    if (storedSystem == nullptr) {
        logTrace("Exiting VelmarMonitor::LDMProgressType()\n");
        return;
    }
    FilterCollection adapters(storedSystem);
    adapters.apply("Adapter", false);
    for (int i = 0; i < adapters.size() && !overrideFound; ++i) {
        RaidObject* adapter = adapters.elementAt(i);
        if (adapter == nullptr) {
            continue;
        }
        FilterCollection drives(adapter);
        drives.apply("LogicalDrive", false);
        for (int j = 0; j < drives.size() && !overrideFound; ++j) {
            auto* drive = static_cast<LogicalDrive*>(drives.elementAt(j));
            if (drive == nullptr || drive->getRaidLevel() != RAID_LEVEL_5E) {
                continue;
            }
            switch (static_cast<int>(drive->getState())) {
                case kCompressingState:
                    taskTypeOverride = TASK_TYPE_COMPRESSION;
                    break;
                case kDecompressingState:
                    taskTypeOverride = TASK_TYPE_DECOMPRESSION;
                    break;
                default:
                    taskTypeOverride = TASK_TYPE_MIGRATION;
                    break;
            }
            overrideFound = true;
            overrideAdapterID = adapter->getAdapterID();
            overrideLogicalDriveID = drive->getLogicalDriveID();
        }
    }
    logTrace("Exiting VelmarMonitor::LDMProgressType()\n");
}

bool VelmarMonitor::isDuplicateEvent(uint32_t adapterID, int eventCode, int logicalDriveID) {
    logTrace("In isDuplicateEvent() \n");
    const auto reported = std::find_if(
        reportedTaskEvents.begin(), reportedTaskEvents.end(), [&](const ReportedTaskEvent& e) {
            return e.adapterID == adapterID && e.eventCode == eventCode &&
                   e.logicalDriveID == static_cast<uint32_t>(logicalDriveID);
        });
    if (reported != reportedTaskEvents.end()) {
        reportedTaskEvents.erase(reported);  // the controller's record is dropped once
        return true;
    }
    logTrace("Exiting isDuplicateEvent \n");
    return false;
}
