// The events of the physical-drive comparison as data: one row per event (catalog keys,
// identifier, codes, severity) and the state tables that choose them. The comparison
// (PhysicalDriveComparison.cpp) walks these rows; the catalog check lists their keys through
// physicalDriveCatalogKeys(). Constant data; safe from any thread.
#pragma once

#include <vector>

#include "detect/StateSet.h"
#include "nls/CatalogKey.h"
#include "raidlib/Enums.h"

namespace detect {

enum class PdEvent {
    Removed,
    RemovedCompanion,
    Added,
    StateChange,
    Defunct,
    DefunctReplace,
    SpareCreated,
    SpareDeleted,
    Pfa,
    PfaCompanion,
    Unsupported,
};

struct PdEventRow {
    PdEvent event;
    const char* key;
    // Used instead of key when the replacement text (second argument) is not empty; null
    // when the event has no such variant.
    const char* replacementKey;
    const char* identifier;
    int code;
    // The code when the drive whose fields the event carries has a FRU number.
    int codeWithFru;
    int type;
    // Arguments passed: 1 for [drive identity], 2 for [drive identity, replacement text].
    // AddDiskDrive gets 2 for a drive back from state 7, so its text may use {0} only.
    int arguments;
};

inline constexpr PdEventRow kPhysicalDriveEvents[] = {
    {PdEvent::Removed, "agentEventInfDeleteDiskDrive", nullptr,
     "EVENT_VELMAR_CONFIGURATION_CHANGE_REMOVE_PD", 408, 408, 3, 1},
    {PdEvent::RemovedCompanion, "agentEventInfDeleteDiskDrive", nullptr,
     "EVENT_VELMAR_PD_STATE_CHANGE", 499, 499, 1, 1},
    {PdEvent::Added, "agentEventInfAddDiskDrive", nullptr,
     "EVENT_VELMAR_CONFIGURATION_CHANGE_ADD_PD", 407, 407, 3, 1},
    {PdEvent::StateChange, "agentEventInfDriveStateChange", nullptr, "EVENT_VELMAR_PD_STATE_CHANGE",
     499, 499, 3, 2},
    {PdEvent::Defunct, "agentEventErrDefunctDrive", "agentEventErrDefunctDriveRepl",
     "EVENT_VELMAR_PD_STATE_FAILED", 401, 404, 1, 2},
    {PdEvent::DefunctReplace, "agentEventInfDefunctReplace", nullptr, "EVENT_VELMAR_PD_STATE_READY",
     403, 403, 3, 2},
    {PdEvent::SpareCreated, "agentEventInfSpareCreated", nullptr, "EVENT_VELMAR_PD_STATE_HOTSPARE",
     497, 497, 3, 2},
    {PdEvent::SpareDeleted, "agentEventInfSpareDeleted", nullptr, "EVENT_VELMAR_PD_STATE_READY",
     498, 498, 3, 2},
    {PdEvent::Pfa, "agentEventWrnPFADrive", "agentEventWrnPFADriveRepl",
     "EVENT_VELMAR_PD_PFA_ERROR_YES", 402, 405, 2, 2},
    {PdEvent::PfaCompanion, "agentEventWrnPFADrive", "agentEventWrnPFADriveRepl",
     "EVENT_VELMAR_PD_STATE_CHANGE", 499, 499, 2, 2},
    {PdEvent::Unsupported, "agentEventWrnUnsupportedPhysDrive", nullptr,
     "EVENT_VELMAR_PD_DRV_UNSUPPORTED", 406, 406, 2, 1},
};

// The row of an event (every event has one).
constexpr const PdEventRow& physicalDriveEvent(PdEvent event) {
    for (const PdEventRow& row : kPhysicalDriveEvents) {
        if (row.event == event) {
            return row;
        }
    }
    return kPhysicalDriveEvents[0];
}

// Changes among these states are not reported at all.
inline constexpr StateSet kQuietDriveStates =
    statesIn({PD_STATE_READY, PD_STATE_ONLINE, PD_STATE_RAW});

// A change of a matched drive's state raises the event of the first row that matches, then
// the state-change companion. The companion takes the event's text and severity unless the
// row is the drive's return; the Defunct event and its companion carry the stored drive's
// fields. A drive that returns is added and reported like a new one before the companion.
struct PdStateBranch {
    StateTransition change;
    PdEvent event;
    bool storedFields;
    bool returned;
};

inline constexpr PdStateBranch kPhysicalDriveBranches[] = {
    {{statesIn({PD_STATE_DEFUNCT}), statesNotIn({PD_STATE_DEFUNCT})},
     PdEvent::Defunct,
     true,
     false},
    {{statesNotIn({PD_STATE_DEFUNCT}), statesIn({PD_STATE_DEFUNCT})},
     PdEvent::DefunctReplace,
     false,
     false},
    {{statesIn({PD_STATE_HOT_SPARE}), statesIn({PD_STATE_READY})},
     PdEvent::SpareCreated,
     false,
     false},
    {{statesIn({PD_STATE_READY}), statesIn({PD_STATE_HOT_SPARE})},
     PdEvent::SpareDeleted,
     false,
     false},
    {{kAnyState, statesIn({PD_STATE_NOT_PRESENT})}, PdEvent::Added, false, true},
};

// The state report of a drive without history: a state named here raises its event after
// the state event, which takes that event's severity.
struct PdStateReport {
    StateSet state;
    PdEvent event;
};

inline constexpr PdStateReport kPhysicalDriveStateReports[] = {
    {statesIn({PD_STATE_DEFUNCT}), PdEvent::Defunct},
};

// Changes after which a drive of an unsupported vendor is reported again at once, without
// waiting for the periodic report.
inline constexpr StateTransition kUnsupportedDriveReportChanges[] = {
    {kAnyState, statesIn({PD_STATE_NOT_PRESENT})},
    {statesIn({PD_STATE_RAW}), statesIn({PD_STATE_DEFUNCT})},
    {statesIn({PD_STATE_HOT_SPARE}), statesIn({PD_STATE_DEFUNCT})},
};

// Supported drive vendors, compared exactly with the trimmed vendor text.
inline constexpr const char* kSupportedDriveVendors[] = {"QEB-TAVO", "QEB-LMD", "QEB-HVWN"};

// Every catalog key of the rows above, with the arguments its lookup passes.
inline std::vector<CatalogKey> physicalDriveCatalogKeys() {
    std::vector<CatalogKey> keys;
    for (const PdEventRow& row : kPhysicalDriveEvents) {
        keys.push_back({row.key, row.arguments});
        if (row.replacementKey != nullptr) {
            keys.push_back({row.replacementKey, row.arguments});
        }
    }
    return keys;
}

}  // namespace detect
