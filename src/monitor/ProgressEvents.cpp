// Task events: a task detected, completed, failed or stopped, and its percentage.
#include <iterator>

#include "events/EnumObjectType.h"
#include "monitor/TaskCatalogKeys.h"
#include "monitor/VelmarMonitor.h"
#include "raidlib/Adapter.h"

namespace {

// The event of a task type in a task state. Pairs without a row raise nothing.
struct TaskStateEvent {
    EnumTaskType type;
    EnumTaskState state;
    const char* messageKey;
    int eventCode;
};

constexpr TaskStateEvent kTaskStateEvents[] = {
    {TASK_TYPE_SYNC, TASK_STATE_RUNNING, "agentEventInfSyncDetected", 307},
    {TASK_TYPE_SYNC, TASK_STATE_COMPLETED, "agentEventInfSyncComplete", 308},
    {TASK_TYPE_SYNC, TASK_STATE_FAILED, "agentEventErrSync", 309},
    {TASK_TYPE_SYNC, TASK_STATE_STOPPED, "agentEventInfSyncStopped", 386},
    {TASK_TYPE_SYNC_NO_FIX, TASK_STATE_RUNNING, "agentEventInfSyncNoFixDetected", 307},
    {TASK_TYPE_SYNC_NO_FIX, TASK_STATE_COMPLETED, "agentEventInfSyncNoFixComplete", 308},
    {TASK_TYPE_SYNC_NO_FIX, TASK_STATE_FAILED, "agentEventErrSyncNoFix", 309},
    {TASK_TYPE_SYNC_NO_FIX, TASK_STATE_STOPPED, "agentEventInfSyncNoFixStopped", 386},
    {TASK_TYPE_REBUILD, TASK_STATE_RUNNING, "agentEventInfRebuildDetected", 304},
    {TASK_TYPE_REBUILD, TASK_STATE_COMPLETED, "agentEventInfRebuildComplete", 305},
    {TASK_TYPE_REBUILD, TASK_STATE_FAILED, "agentEventErrRebuild", 306},
    {TASK_TYPE_REBUILD, TASK_STATE_STOPPED, "agentEventInfRebuildStopped", 385},
    {TASK_TYPE_MIGRATION, TASK_STATE_RUNNING, "agentEventInfMigrationDetected", 310},
    {TASK_TYPE_MIGRATION, TASK_STATE_COMPLETED, "agentEventInfMigrationComplete", 311},
    {TASK_TYPE_MIGRATION, TASK_STATE_FAILED, "agentEventErrMigrationFail", 312},
    {TASK_TYPE_MIGRATION, TASK_STATE_STOPPED, "agentEventInfMigrationStopped", 387},
    {TASK_TYPE_SNAPSHOT, TASK_STATE_RUNNING, "agentEventInfSnapshotDetected", 319},
    {TASK_TYPE_SNAPSHOT, TASK_STATE_COMPLETED, "agentEventInfSnapshotComplete", 320},
    {TASK_TYPE_SNAPSHOT, TASK_STATE_FAILED, "agentEventErrSnapshot", 321},
    {TASK_TYPE_SNAPSHOT, TASK_STATE_STOPPED, "agentEventInfSnapshotStopped", 390},
    {TASK_TYPE_COMPACTION, TASK_STATE_RUNNING, "agentEventInfCompactionDetected", 332},
    {TASK_TYPE_COMPACTION, TASK_STATE_COMPLETED, "agentEventInfCompactComplete", 333},
    {TASK_TYPE_COMPACTION, TASK_STATE_FAILED, "agentEventErrCompact", 334},
    {TASK_TYPE_COMPACTION, TASK_STATE_STOPPED, "agentEventInfCompactStopped", 394},
    {TASK_TYPE_EXPANSION, TASK_STATE_RUNNING, "agentEventInfExpansionDetected", 335},
    {TASK_TYPE_EXPANSION, TASK_STATE_COMPLETED, "agentEventInfExpandComplete", 336},
    {TASK_TYPE_EXPANSION, TASK_STATE_FAILED, "agentEventErrExpand", 337},
    {TASK_TYPE_EXPANSION, TASK_STATE_STOPPED, "agentEventInfExpandStopped", 395},
    {TASK_TYPE_COMPRESSION, TASK_STATE_RUNNING, "agentEventInfCompressionDetected", 313},
    {TASK_TYPE_COMPRESSION, TASK_STATE_COMPLETED, "agentEventInfCompressComplete", 314},
    {TASK_TYPE_COMPRESSION, TASK_STATE_FAILED, "agentEventErrCompress", 315},
    {TASK_TYPE_COMPRESSION, TASK_STATE_STOPPED, "agentEventInfCompressStopped", 388},
    {TASK_TYPE_DECOMPRESSION, TASK_STATE_RUNNING, "agentEventInfDecompressionDetected", 316},
    {TASK_TYPE_DECOMPRESSION, TASK_STATE_COMPLETED, "agentEventInfDecompressComplete", 317},
    {TASK_TYPE_DECOMPRESSION, TASK_STATE_FAILED, "agentEventErrDecompress", 318},
    {TASK_TYPE_DECOMPRESSION, TASK_STATE_STOPPED, "agentEventInfDecompressStopped", 389},
};

// The percentage event of a task type. A snapshot task reuses its detected key.
struct TaskPercentageEvent {
    EnumTaskType type;
    const char* messageKey;
    int eventCode;
};

constexpr TaskPercentageEvent kTaskPercentageEvents[] = {
    {TASK_TYPE_SYNC, "agentEventInfSyncPercentComplete", 373},
    {TASK_TYPE_SYNC_NO_FIX, "agentEventInfSyncNoFixPercentComplete", 373},
    {TASK_TYPE_REBUILD, "agentEventInfRebuildPercentComplete", 372},
    {TASK_TYPE_MIGRATION, "agentEventInfMigrationPercentComplete", 374},
    {TASK_TYPE_SNAPSHOT, "agentEventInfSnapshotDetected", 377},
    {TASK_TYPE_COMPACTION, "agentEventInfCompactPercentComplete", 381},
    {TASK_TYPE_EXPANSION, "agentEventInfExpandPercentComplete", 382},
    {TASK_TYPE_COMPRESSION, "agentEventInfCompressPercentComplete", 375},
    {TASK_TYPE_DECOMPRESSION, "agentEventInfDecompressPercentComplete", 376},
};

const TaskStateEvent* findStateEvent(EnumTaskType type, EnumTaskState state) {
    for (const TaskStateEvent& row : kTaskStateEvents) {
        if (row.type == type && row.state == state) {
            return &row;
        }
    }
    return nullptr;
}

const TaskPercentageEvent* findPercentageEvent(EnumTaskType type) {
    for (const TaskPercentageEvent& row : kTaskPercentageEvents) {
        if (row.type == type) {
            return &row;
        }
    }
    return nullptr;
}

std::string decimal(uint64_t value) {
    return NLSParser::itoa(static_cast<int>(value), 10);
}

Addr logicalDriveAddr(uint32_t adapterID, uint32_t logicalDriveID) {
    return Addr(adapterID, Addr::kUnset, logicalDriveID, Addr::kUnset, Addr::kUnset,
                Addr::kUnsetChunk, Addr::kUnset, Addr::kUnset);
}

}  // namespace

std::vector<CatalogKey> monitor::taskEventCatalogKeys() {
    std::vector<CatalogKey> keys;
    for (const TaskStateEvent& row : kTaskStateEvents) {
        keys.push_back({row.messageKey, 1});  // [logical drive text]
    }
    for (const TaskPercentageEvent& row : kTaskPercentageEvents) {
        keys.push_back({row.messageKey, 2});  // [logical drive text, percentage]
    }
    return keys;
}

EnumTaskType VelmarMonitor::reportedTaskType(EnumTaskType type, uint32_t adapterID,
                                             uint32_t logicalDriveID) const {
    if (type == TASK_TYPE_MIGRATION && taskTypeOverride != 0 && adapterID == overrideAdapterID &&
        logicalDriveID == overrideLogicalDriveID) {
        return static_cast<EnumTaskType>(taskTypeOverride);
    }
    return type;
}

void VelmarMonitor::rememberTaskStart(uint32_t adapterID, EnumTaskType type,
                                      uint32_t logicalDriveID) {
    const TaskStateEvent* row =
        findStateEvent(reportedTaskType(type, adapterID, logicalDriveID), TASK_STATE_RUNNING);
    if (row != nullptr) {
        reportedTaskEvents.push_back({adapterID, row->eventCode, logicalDriveID});
    }
}

void VelmarMonitor::AddProgressEvent(TLXEventCollection&, EnumTaskType type, EnumTaskState state,
                                     Adapter* adapter, unsigned long logicalDriveID) {
    logTrace("In VelmarMonitor::AddProgressEvent\n");
    if (adapter == nullptr) {
        logError("ERROR: Adapter is NULL \n");
        return;
    }
    const uint32_t adapterID = adapter->getAdapterID();
    const auto driveID = static_cast<uint32_t>(logicalDriveID);
    type = reportedTaskType(type, adapterID, driveID);
    if (type == TASK_TYPE_NONE) {
        logError("ERROR: No Task running \n");
        return;
    }
    const TaskStateEvent* row = findStateEvent(type, state);
    if (row == nullptr) {
        return;
    }
    const std::string driveText = nls.get("eventArgControllerLogicalDrive",
                                          {getDetailedAdapterID(adapter), decimal(driveID + 1ull)});
    if (state == TASK_STATE_RUNNING) {
        reportedTaskEvents.push_back({adapterID, row->eventCode, driveID});
    }
    // Task events are informational, failures included.
    TLXEvent event(row->eventCode, TLX_EVENT_INFORMATIONAL, nls.get(row->messageKey, {driveText}),
                   logicalDriveAddr(adapterID, driveID), static_cast<int>(driveID + 1ull),
                   TLXEvent::kUnset, TLXEvent::kUnset, "", "", "");
    logTrace("Set the object Type for the Event \n");
    event.setObjectType(TLX_OBJ_LOGICAL_DRIVE);
    events->add(event);
    logTrace("Exiting VelmarMonitor::AddProgressEvent\n");
}

void VelmarMonitor::logProgressEvent(Adapter* adapter, Progress& task) {
    logTrace("In logProgressEvent() \n");
    if (adapter == nullptr) {
        logError("ERROR: Adapter is NULL\n");
        return;
    }
    if (task.getType() == TASK_TYPE_NONE || task.getStatus() != TASK_STATE_RUNNING) {
        return;
    }
    const uint32_t adapterID = adapter->getAdapterID();
    const uint32_t driveID = task.getLogicalDrive();
    const unsigned percent = task.getPercent();
    ReportedPercentage& seen = reportedPercentages[adapterID];
    if (seen.taskType != task.getType() || seen.logicalDriveID != driveID ||
        percent < seen.percent) {
        // Another task than the one seen last: it is reported once it has grown from here.
        seen = {task.getType(), driveID, 0};
    } else if (percent > seen.percent) {
        seen.percent = percent;
        if (const TaskPercentageEvent* row = findPercentageEvent(task.getType())) {
            const std::string driveText =
                nls.get("eventArgControllerLogicalDrive",
                        {getDetailedAdapterID(adapter), decimal(driveID + 1ull), decimal(percent)});
            // The address names the logical drive by its number (ID + 1), as hosts expect of
            // percentage events.
            TLXEvent event(row->eventCode, TLX_EVENT_INFORMATIONAL,
                           nls.get(row->messageKey, {driveText, decimal(percent)}),
                           logicalDriveAddr(adapterID, driveID + 1),
                           static_cast<int>(driveID + 1ull), TLXEvent::kUnset, TLXEvent::kUnset, "",
                           "", "");
            event.setObjectType(TLX_OBJ_LOGICAL_DRIVE);
            event.setPercentComplete(static_cast<int>(percent));
            events->add(event);
        }
    }
    logTrace("Exiting logProgressEvent() \n");
}
