// The events of the logical-drive comparison as data: one row per event (catalog key,
// identifier, code, severity) and the state tables that choose them. The comparison
// (LogicalDriveComparison.cpp) walks these rows; the catalog check lists their keys through
// logicalDriveCatalogKeys(). Constant data; safe from any thread.
#pragma once

#include <vector>

#include "detect/StateSet.h"
#include "nls/CatalogKey.h"
#include "raidlib/Enums.h"

namespace detect {

enum class LdEvent {
    Deleted,
    Added,
    StateChange,
    Offline,
    Critical,
    Ok,
    Blocked,
    Unblock,
    CriticalPeriodic,
};

struct LdEventRow {
    LdEvent event;
    const char* key;
    const char* identifier;
    int code;
    int type;
    // Arguments passed: [logical-drive identity], or for Added [identity, size, RAID level,
    // quick-initialisation suffix].
    int arguments;
};

inline constexpr LdEventRow kLogicalDriveEvents[] = {
    {LdEvent::Deleted, "agentEventInfDeleteLogDrive", "EVENT_VELMAR_CONFIGURATION_CHANGE_DELETE_LD",
     347, 3, 1},
    {LdEvent::Added, "agentEventInfAddLogDrive", "EVENT_VELMAR_CONFIGURATION_CHANGE_ADD_LD", 346, 3,
     4},
    {LdEvent::StateChange, "agentEventInfLogicalStateChange", "EVENT_VELMAR_STATE_CHANGE_LD", 399,
     3, 1},
    {LdEvent::Offline, "agentEventErrLogicalOffline", "EVENT_VELMAR_LD_STATE_OFFLINE", 303, 1, 1},
    {LdEvent::Critical, "agentEventWrnLogicalCritical", "EVENT_VELMAR_LD_STATE_CRITICAL", 301, 2,
     1},
    {LdEvent::Ok, "agentEventInfLogicalOk", "EVENT_VELMAR_LD_STATE_NORMAL", 345, 3, 1},
    {LdEvent::Blocked, "agentEventErrLogicalBlocked", "EVENT_VELMAR_LD_STATE_BLOCKED", 302, 1, 1},
    {LdEvent::Unblock, "agentEventInfUnblock", "EVENT_VELMAR_CONFIGURATION_CHANGE_UNBLOCK", 331, 3,
     1},
    {LdEvent::CriticalPeriodic, "agentEventWrnCriticalLogicalDrivePeriodic",
     "EVENT_VELMAR_LD_STATE_CRITICAL_PERIODIC", 338, 2, 1},
};

// The row of an event (every event has one).
constexpr const LdEventRow& logicalDriveEvent(LdEvent event) {
    for (const LdEventRow& row : kLogicalDriveEvents) {
        if (row.event == event) {
            return row;
        }
    }
    return kLogicalDriveEvents[0];
}

inline constexpr StateSet kCriticalLogicalDriveStates =
    statesIn({LD_STATE_CRITICAL, LD_STATE_DEGRADED, LD_STATE_CRITICAL_HIDDEN});
// Logical drives in these states take no part in the comparison (either side).
inline constexpr StateSet kIgnoredLogicalDriveStates =
    statesIn({LD_STATE_HIDDEN, LD_STATE_CRITICAL_HIDDEN});
// Changes among these states are not reported at all.
inline constexpr StateSet kQuietLogicalDriveStates =
    statesIn({LD_STATE_ABSENT, LD_STATE_OKAY, LD_STATE_RECOVERING});

// A change of a matched logical drive's state raises the event of the first row that
// matches, then the state-change companion with that event's text and severity; with no row
// the companion alone. A row marked `added` reports the logical drive as new instead, and
// the companion is dropped.
struct LdStateBranch {
    StateTransition change;
    LdEvent event;
    bool added;
};

inline constexpr LdStateBranch kLogicalDriveBranches[] = {
    {{statesIn({LD_STATE_OFFLINE}), kAnyState}, LdEvent::Offline, false},
    {{kCriticalLogicalDriveStates, kCriticalLogicalDriveStates.inverse()},
     LdEvent::Critical,
     false},
    {{kAnyState, statesIn({LD_STATE_ABSENT})}, LdEvent::Added, true},
    {{statesIn({LD_STATE_OKAY}), statesNotIn({LD_STATE_RECOVERING})}, LdEvent::Ok, false},
};

// The state report of a logical drive without history: a state named here raises its event
// after the state event, which takes that event's severity.
struct LdStateReport {
    StateSet state;
    LdEvent event;
};

inline constexpr LdStateReport kLogicalDriveStateReports[] = {
    {statesIn({LD_STATE_OFFLINE}), LdEvent::Offline},
    {kCriticalLogicalDriveStates, LdEvent::Critical},
};

// Every catalog key of the rows above, with the arguments its lookup passes.
inline std::vector<CatalogKey> logicalDriveCatalogKeys() {
    std::vector<CatalogKey> keys;
    for (const LdEventRow& row : kLogicalDriveEvents) {
        keys.push_back({row.key, row.arguments});
    }
    return keys;
}

}  // namespace detect
