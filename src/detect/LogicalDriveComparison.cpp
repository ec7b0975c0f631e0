// Comparison of stored and current logical drives, and the report of a new controller's.
// Logical drives are paired by logical drive ID; what each change raises is in
// LogicalDriveEvents.h.
#include <string>
#include <vector>

#include "detect/LogicalDriveEvents.h"
#include "monitor/BaseRaidMonitor.h"
#include "raidlib/Adapter.h"
#include "raidlib/LogicalDrive.h"

using detect::LdEvent;

namespace {

LogicalDrive* asLogicalDrive(RaidObject* object) {
    return object != nullptr && object->isInstanceOf("LogicalDrive")
               ? dynamic_cast<LogicalDrive*>(object)
               : nullptr;
}

std::vector<RaidObject*> logicalDrivesOf(const Adapter* adapter) {
    std::vector<RaidObject*> drives;
    adapter->getChildren(drives, "LogicalDrive", true, true);
    return drives;
}

// Builds and queues the events about the logical drives of one current controller: every
// event carries that controller's ID and serial and the ID of the logical drive it is given.
class LogicalDriveEvents {
public:
    LogicalDriveEvents(NLSParser& nls, TLXEventCollection& queue, Adapter* adapter)
        : nls_(nls), queue_(queue), adapter_(adapter) {}

    std::string text(LdEvent event, const std::vector<std::string>& args) const {
        return nls_.get(detect::logicalDriveEvent(event).key, args);
    }

    TLXEvent make(LdEvent event, const std::string& text, const LogicalDrive* drive) const {
        const detect::LdEventRow& row = detect::logicalDriveEvent(event);
        TLXEvent out(row.code, row.type, text, row.identifier);
        out.setObjectType(TLX_OBJ_LOGICAL_DRIVE);
        out.setAdapterID(adapter_->getAdapterID());
        out.setLogicalDriveID(drive->getLogicalDriveID());
        out.setAdapterSerial(adapter_);
        return out;
    }

    void add(const TLXEvent& event) { queue_.add(event); }

    void raise(LdEvent event, const std::vector<std::string>& args, const LogicalDrive* drive) {
        add(make(event, text(event, args), drive));
    }

    // The event and, after it, the state-change companion with its text and severity.
    void raiseWithCompanion(LdEvent event, const std::vector<std::string>& args,
                            const LogicalDrive* drive) {
        const std::string description = text(event, args);
        add(make(event, description, drive));
        TLXEvent companion = make(LdEvent::StateChange, description, drive);
        companion.setEventType(detect::logicalDriveEvent(event).type);
        add(companion);
    }

private:
    NLSParser& nls_;
    TLXEventCollection& queue_;
    Adapter* adapter_;
};

const detect::LdStateBranch* branchFor(int now, int before) {
    for (const detect::LdStateBranch& branch : detect::kLogicalDriveBranches) {
        if (branch.change.matches(now, before)) {
            return &branch;
        }
    }
    return nullptr;
}

const detect::LdStateReport* stateReportFor(int state) {
    for (const detect::LdStateReport& report : detect::kLogicalDriveStateReports) {
        if (report.state.contains(state)) {
            return &report;
        }
    }
    return nullptr;
}

}  // namespace

void BaseRaidMonitor::compareLogicalDrives(TLXEventCollection& ecIN, Adapter* newAdapter,
                                           Adapter* oldAdapter) {
    if (newAdapter == nullptr || oldAdapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::compareLogicalDrives adapter is NULL!!!\n");
        return;
    }
    logTrace("   Entering compareLogicalDrives(&ecIN, ADPT: %d)\n",
             static_cast<int>(newAdapter->getAdapterID()));
    LogicalDriveEvents events(nls, ecIN, newAdapter);

    for (RaidObject* object : logicalDrivesOf(oldAdapter)) {
        LogicalDrive* stored = asLogicalDrive(object);
        if (stored == nullptr) {
            logError(
                "ERROR: BaseRaidMonitor::compareLogicalDrives oldLD is NULL while checking for "
                "removed LD's!!!\n");
            continue;
        }
        if (!isValidLogicalDrive(oldAdapter, stored) ||
            detect::kIgnoredLogicalDriveStates.contains(stored->getState())) {
            continue;
        }
        const LogicalDrive* current = asLogicalDrive(findLD(stored, newAdapter));
        if (current == nullptr ||
            (current->getState() != stored->getState() && current->getState() == LD_STATE_ABSENT)) {
            events.raise(LdEvent::Deleted, {getEventID(stored)}, stored);
        }
    }

    int criticalCount = 0;
    // The periodic reminder names the first logical drive counted as critical.
    LogicalDrive* firstCritical = nullptr;
    for (RaidObject* object : logicalDrivesOf(newAdapter)) {
        LogicalDrive* current = asLogicalDrive(object);
        if (current == nullptr) {
            logError(
                "ERROR: BaseRaidMonitor::compareLogicalDrives newLD is NULL while "
                "comparing!!!\n");
            continue;
        }
        if (!isValidLogicalDrive(newAdapter, current) ||
            detect::kIgnoredLogicalDriveStates.contains(current->getState())) {
            continue;
        }
        const auto reportAdded = [&] {
            events.raise(LdEvent::Added,
                         {getEventID(current), getSize(current), getRaidLevel(current),
                          getQuickInit(current)},
                         current);
            checkLogicalDrive(ecIN, newAdapter, current);
        };
        LogicalDrive* stored = asLogicalDrive(findLD(current, oldAdapter));
        if (stored == nullptr) {
            reportAdded();
            continue;
        }
        const int now = current->getState();
        const int before = stored->getState();
        if (now != before) {
            if (detect::kQuietLogicalDriveStates.contains(now) &&
                detect::kQuietLogicalDriveStates.contains(before)) {
                continue;
            }
            const detect::LdStateBranch* branch = branchFor(now, before);
            if (branch != nullptr && branch->added) {
                reportAdded();
                continue;
            }
            const std::vector<std::string> args{getEventID(current)};
            if (branch != nullptr) {
                events.raiseWithCompanion(branch->event, args, current);
            } else {
                events.raise(LdEvent::StateChange, args, current);
            }
        }

        if (current->getBlockedAccess() != stored->getBlockedAccess()) {
            events.raiseWithCompanion(
                current->getBlockedAccess() ? LdEvent::Blocked : LdEvent::Unblock,
                {getEventID(current)}, current);
        }

        if (detect::kCriticalLogicalDriveStates.contains(now)) {
            ++criticalCount;
            if (firstCritical == nullptr) {
                firstCritical = current;
            }
        }
        compareRelativeChanges(current, stored);
    }

    // Asked on every call: a yes spent while nothing is critical waits a whole interval.
    if (isTimeToReportCriticalLogicalDrives() && criticalCount > 0) {
        events.raise(LdEvent::CriticalPeriodic, {getEventID(firstCritical)}, firstCritical);
    }
}

void BaseRaidMonitor::checkLogicalDrives(TLXEventCollection& ecIN, Adapter* adapter) {
    if (adapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::checkLogicalDrives adapterIN is NULL!!!\n");
        return;
    }
    logTrace("   Entering checkLogicalDrives(&ecIN, ADPT: %d)\n",
             static_cast<int>(adapter->getAdapterID()));
    for (RaidObject* object : logicalDrivesOf(adapter)) {
        LogicalDrive* drive = asLogicalDrive(object);
        if (drive == nullptr) {
            logError("ERROR: BaseRaidMonitor::checkLogicalDrives LD is NULL!!!\n");
            continue;
        }
        if (isValidLogicalDrive(adapter, drive)) {
            checkLogicalDrive(ecIN, adapter, drive);
        }
    }
}

void BaseRaidMonitor::checkLogicalDrive(TLXEventCollection& ecIN, Adapter* adapter,
                                        LogicalDrive* logicalDrive) {
    // Exported: a host may pass what the comparison never does.
    if (adapter == nullptr || logicalDrive == nullptr) {
        logError("ERROR: BaseRaidMonitor::checkLogicalDrive object is NULL!!!\n");
        return;
    }
    const int state = logicalDrive->getState();
    logTrace("       Entering checkLogicalDrive(&ecIN, LD: %d) State = %d.\n",
             static_cast<int>(logicalDrive->getLogicalDriveID()), state);
    LogicalDriveEvents events(nls, ecIN, adapter);
    const std::vector<std::string> args{getEventID(logicalDrive)};

    const detect::LdStateReport* report = stateReportFor(state);
    TLXEvent stateEvent =
        events.make(LdEvent::StateChange, events.text(LdEvent::StateChange, args), logicalDrive);
    if (report != nullptr) {
        stateEvent.setEventType(detect::logicalDriveEvent(report->event).type);
    }
    events.add(stateEvent);
    if (report != nullptr) {
        events.raise(report->event, args, logicalDrive);
    }
    if (logicalDrive->getBlockedAccess()) {
        events.raise(LdEvent::Blocked, args, logicalDrive);
    }
}

bool BaseRaidMonitor::isValidLogicalDrive(Adapter* adapter, LogicalDrive* logicalDrive) {
    if (adapter == nullptr || logicalDrive == nullptr) {
        logError("ERROR: BaseRaidMonitor::isValidLogicalDrive object is NULL!!!\n");
        return false;
    }
    if (logicalDrive->getLogicalDriveID() <= adapter->getLimit(LIMIT_MAX_LOGICAL_DRIVES)) {
        return true;
    }
    logTrace("       Discarding logical drive as spurious (&ecIN, LD: %d) State = %d.\n",
             static_cast<int>(logicalDrive->getLogicalDriveID()),
             static_cast<int>(logicalDrive->getState()));
    return false;
}
