// Comparison of stored and current physical drives, and the report of a new controller's.
// Drives are paired by address only; what each change raises is in PhysicalDriveEvents.h.
#include <string>
#include <vector>

#include "detect/PhysicalDriveEvents.h"
#include "monitor/BaseRaidMonitor.h"
#include "raidlib/Adapter.h"
#include "raidlib/Channel.h"
#include "raidlib/HardDrive.h"

using detect::PdEvent;

namespace {

HardDrive* asHardDrive(RaidObject* object) {
    return object != nullptr && object->isInstanceOf("HardDrive") ? dynamic_cast<HardDrive*>(object)
                                                                  : nullptr;
}

std::vector<RaidObject*> drivesOf(const Adapter* adapter) {
    std::vector<RaidObject*> drives;
    adapter->getChildren(drives, "HardDrive", true, true);
    return drives;
}

bool pfaErrorReported(const HardDrive* drive) {
    return drive->getPfaSupported() && drive->getPfaError();
}

// Builds and queues the events about the drives of one current controller: every event
// carries that controller's ID and serial and the address, FRU and serial numbers of the
// drive it is given.
class DriveEvents {
public:
    DriveEvents(NLSParser& nls, TLXEventCollection& queue, Adapter* adapter)
        : nls_(nls), queue_(queue), adapter_(adapter) {}

    // The event's text; its Repl variant when the replacement text (second argument) is set.
    std::string text(PdEvent event, const std::vector<std::string>& args) const {
        const detect::PdEventRow& row = detect::physicalDriveEvent(event);
        const bool replacement =
            row.replacementKey != nullptr && args.size() > 1 && !args[1].empty();
        return nls_.get(replacement ? row.replacementKey : row.key, args);
    }

    TLXEvent make(PdEvent event, const std::string& text, const HardDrive* drive) const {
        const detect::PdEventRow& row = detect::physicalDriveEvent(event);
        const std::string fru = drive->getFruNumber();
        TLXEvent out(fru.empty() ? row.code : row.codeWithFru, row.type, text, row.identifier);
        out.setObjectType(TLX_OBJ_PHYSICAL_DRIVE);
        out.setAdapterID(adapter_->getAdapterID());
        const Channel* channel = drive->getChannel();
        out.setChannelID(channel != nullptr ? channel->getChannelID() : Addr::kUnset);
        out.setDeviceID(drive->getDeviceID());
        out.setFru(fru);
        out.setAdapterSerial(adapter_);
        out.setHardDriveSerialNumber(drive->getSerialNumber());
        return out;
    }

    void add(const TLXEvent& event) { queue_.add(event); }

    void raise(PdEvent event, const std::vector<std::string>& args, const HardDrive* drive) {
        add(make(event, text(event, args), drive));
    }

private:
    NLSParser& nls_;
    TLXEventCollection& queue_;
    Adapter* adapter_;
};

const detect::PdStateBranch* branchFor(int now, int before) {
    for (const detect::PdStateBranch& branch : detect::kPhysicalDriveBranches) {
        if (branch.change.matches(now, before)) {
            return &branch;
        }
    }
    return nullptr;
}

const detect::PdStateReport* stateReportFor(int state) {
    for (const detect::PdStateReport& report : detect::kPhysicalDriveStateReports) {
        if (report.state.contains(state)) {
            return &report;
        }
    }
    return nullptr;
}

bool reportsUnsupportedAtOnce(int now, int before) {
    for (const detect::StateTransition& change : detect::kUnsupportedDriveReportChanges) {
        if (change.matches(now, before)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void BaseRaidMonitor::comparePhysicalDrives(TLXEventCollection& ecIN, Adapter* newAdapter,
                                            Adapter* oldAdapter) {
    if (newAdapter == nullptr || oldAdapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::comparePhysicalDrives adapter is NULL!!!\n");
        return;
    }
    logTrace("   Entering comparePhysicalDrives(&ecIN, ADPT: %d)\n",
             static_cast<int>(newAdapter->getAdapterID()));
    DriveEvents events(nls, ecIN, newAdapter);

    for (RaidObject* object : drivesOf(oldAdapter)) {
        HardDrive* stored = asHardDrive(object);
        if (stored == nullptr) {
            logError(
                "ERROR: BaseRaidMonitor::comparePhysicalDrives oldPD is NULL while checking for "
                "removed PD's!!!\n");
            continue;
        }
        if (!isValidPhysicalDrive(oldAdapter, stored)) {
            continue;
        }
        const HardDrive* current = asHardDrive(findPD(stored, newAdapter));
        if (current == nullptr || (current->getState() != stored->getState() &&
                                   current->getState() == PD_STATE_NOT_PRESENT)) {
            const std::vector<std::string> args{getEventID(stored)};
            events.raise(PdEvent::Removed, args, stored);
            events.raise(PdEvent::RemovedCompanion, args, stored);
        }
    }

    for (RaidObject* object : drivesOf(newAdapter)) {
        HardDrive* current = asHardDrive(object);
        if (current == nullptr) {
            logError(
                "ERROR: BaseRaidMonitor::comparePhysicalDrives newPD is NULL while "
                "comparing!!!\n");
            continue;
        }
        if (!isValidPhysicalDrive(newAdapter, current)) {
            continue;
        }
        HardDrive* stored = asHardDrive(findPD(current, oldAdapter));
        if (stored == nullptr) {
            events.raise(PdEvent::Added, {getEventID(current)}, current);
            checkPhysicalDrive(ecIN, newAdapter, current);
            continue;
        }
        const int now = current->getState();
        const int before = stored->getState();
        if (now != before) {
            if (detect::kQuietDriveStates.contains(now) &&
                detect::kQuietDriveStates.contains(before)) {
                continue;
            }
            const std::vector<std::string> args{getEventID(current), getReplacementID(current)};
            TLXEvent companion =
                events.make(PdEvent::StateChange, events.text(PdEvent::StateChange, args), current);
            if (const detect::PdStateBranch* branch = branchFor(now, before)) {
                const std::string text = events.text(branch->event, args);
                const HardDrive* fields = branch->storedFields ? stored : current;
                events.add(events.make(branch->event, text, fields));
                if (branch->returned) {
                    checkPhysicalDrive(ecIN, newAdapter, current);
                } else {
                    companion = events.make(PdEvent::StateChange, text, fields);
                    companion.setEventType(detect::physicalDriveEvent(branch->event).type);
                }
            }
            events.add(companion);
        }

        if (stored->getPfaSupported() && current->getPfaSupported() &&
            stored->getPfaError() != current->getPfaError() && current->getPfaError()) {
            const std::string text =
                events.text(PdEvent::Pfa, {getEventID(current), getReplacementID(current)});
            events.add(events.make(PdEvent::Pfa, text, current));
            events.add(events.make(PdEvent::PfaCompanion, text, current));
        }

        // The periodic timer is asked last: a yes restarts its interval, so it must not be
        // spent on a drive that is reported anyway.
        if (isReportUnsupportedDrives() && now != PD_STATE_NOT_PRESENT &&
            !isVendorSupported(current) &&
            (reportsUnsupportedAtOnce(now, before) || isTimeToReportUnsupportedDrives())) {
            events.raise(PdEvent::Unsupported, {getEventID(current)}, current);
        }

        compareRelativeChanges(current, stored);
    }
}

void BaseRaidMonitor::checkPhysicalDrives(TLXEventCollection& ecIN, Adapter* adapter) {
    if (adapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::checkPhysicalDrives adapterIN is NULL!!!\n");
        return;
    }
    logTrace("   Entering checkPhysicalDrives(&ecIN, ADPT: %d)\n",
             static_cast<int>(adapter->getAdapterID()));
    for (RaidObject* object : drivesOf(adapter)) {
        HardDrive* drive = asHardDrive(object);
        if (drive == nullptr) {
            logError("ERROR: BaseRaidMonitor::checkPhysicalDrives PD is NULL!!!\n");
            continue;
        }
        if (isValidPhysicalDrive(adapter, drive)) {
            checkPhysicalDrive(ecIN, adapter, drive);
        }
    }
}

void BaseRaidMonitor::checkPhysicalDrive(TLXEventCollection& ecIN, Adapter* adapter,
                                         HardDrive* drive) {
    // Exported: a host may pass what the comparison never does.
    if (adapter == nullptr || drive == nullptr) {
        logError("ERROR: BaseRaidMonitor::checkPhysicalDrive object is NULL!!!\n");
        return;
    }
    const int state = drive->getState();
    logTrace("       Entering checkPhysicalDrive(&ecIN, PD: %d) State = %d.\n",
             static_cast<int>(drive->getDeviceID()), state);
    DriveEvents events(nls, ecIN, adapter);
    const std::vector<std::string> args{getEventID(drive), getReplacementID(drive)};

    const detect::PdStateReport* report = stateReportFor(state);
    TLXEvent stateEvent =
        events.make(PdEvent::StateChange, events.text(PdEvent::StateChange, args), drive);
    if (report != nullptr) {
        stateEvent.setEventType(detect::physicalDriveEvent(report->event).type);
    }
    const bool pfaError = pfaErrorReported(drive);
    if (pfaError) {
        stateEvent.setEventType(detect::physicalDriveEvent(PdEvent::Pfa).type);
    }
    events.add(stateEvent);
    if (report != nullptr) {
        events.raise(report->event, args, drive);
    }
    if (pfaError) {
        events.raise(PdEvent::Pfa, args, drive);
    }
    if (isReportUnsupportedDrives() && state != PD_STATE_NOT_PRESENT && !isVendorSupported(drive)) {
        events.raise(PdEvent::Unsupported, {args[0]}, drive);
    }
}

bool BaseRaidMonitor::isValidPhysicalDrive(Adapter* adapter, HardDrive* drive) {
    if (adapter == nullptr || drive == nullptr) {
        logError("ERROR: BaseRaidMonitor::isValidPhysicalDrive object is NULL!!!\n");
        return false;
    }
    // The library lists entries at device 255 (low 16 bits) that are no drives; the upper
    // half plays no part, so 0x01FF is a drive.
    if ((drive->getDeviceID() & 0xFFFFU) == 0xFFU) {
        logTrace("       Discarding physical drive as spurious (&ecIN, PD: %d) State = %d.\n",
                 static_cast<int>(drive->getDeviceID()), static_cast<int>(drive->getState()));
        return false;
    }
    return true;
}

bool BaseRaidMonitor::isVendorSupported(RaidObject* object) {
    const auto* device = dynamic_cast<PhysicalDevice*>(object);
    if (device == nullptr || !object->isInstanceOf("PhysicalDevice")) {
        return false;
    }
    std::string vendor = device->getVendor();
    if (vendor.empty()) {
        return false;
    }
    const std::string trimmed = trim(vendor);
    for (const char* supported : detect::kSupportedDriveVendors) {
        if (trimmed == supported) {
            return true;
        }
    }
    return false;
}
