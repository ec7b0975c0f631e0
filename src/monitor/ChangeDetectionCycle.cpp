// The start-of-run comparison of the stored snapshot with the hardware, and the snapshot
// write that keeps the stored snapshot recent.
#include "monitor/VelmarMonitor.h"

#include <string>

#include "events/EnumObjectType.h"
#include "port/FileSystem.h"
#include "raidlib/Adapter.h"
#include "raidlib/FilterCollection.h"
#include "raidlib/System.h"
#include "raidlib/VelmarLib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXProgressCollection.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"

namespace {

// The event raised for a stored controller that is no longer present.
struct ControllerRemovedEvent {
    int eventCode;
    EnumEventType eventType;
    EnumObjectType objectType;
    const char* messageKey;
    const char* identifier;
};
constexpr ControllerRemovedEvent kControllerRemovedEvent = {
    202, TLX_EVENT_INFORMATIONAL, TLX_OBJ_ADAPTER, "agentEventInfControllerRemoved",
    "EVENT_VELMAR_STATE_FAILED"};

// A damaged snapshot is kept beside the file under its name with this ending.
constexpr const char* kDamagedSuffix = ".bad";

std::string serialOf(const Adapter& adapter) {
    const char* serial = adapter.getSerialNumString();
    return serial != nullptr ? serial : "";
}

// The serial number of a current controller as the snapshot stores it (7-bit, control
// characters as "DELIM"), so that it can be compared with a stored controller's.
std::string storedSerialOf(const Adapter& adapter) {
    return XMLWriter::storedText(adapter.getSerialNumString());
}

// The controller with that adapter ID in system; null when there is none.
Adapter* adapterWithID(System* system, int adapterID) {
    FilterCollection adapters(system);
    adapters.apply("Adapter", false);
    for (int i = 0; i < adapters.size(); ++i) {
        auto* adapter = dynamic_cast<Adapter*>(adapters.elementAt(i));
        if (adapter != nullptr && adapter->getAdapterID() == static_cast<uint32_t>(adapterID)) {
            return adapter;
        }
    }
    return nullptr;
}

}  // namespace

void VelmarMonitor::vlEventPersistence() {
    logTrace("In VelmarMonitor::vlEventPersistence()\n");
    // Filled once per run with pointers into the stored and the fresh tree; the builder and
    // the library free those trees before the next run, so nothing of an earlier run stays.
    storedAdapters.clear();
    currentAdapters.clear();
    storedTaskList = nullptr;
    if (!isPollingEnabled()) {
        logTrace("Monitor Stopped\n");
        return;
    }
    logTrace("Reading the stored system config\n");
    System* storedSystem = readStoredSystem();
    LDMProgressType(storedSystem);
    if (storedSystem == nullptr) {
        logError("ERROR: System is NULL\n");
    } else {
        collectAdapters(storedSystem, storedAdapters, "ERROR: Adapter object is NULL \n");
    }

    if (!isPollingEnabled()) {
        logTrace("Monitor Stopped\n");
        return;
    }
    System* currentSystem = velmarLib != nullptr ? velmarLib->getNewSystem() : nullptr;
    if (currentSystem != nullptr) {
        collectAdapters(currentSystem, currentAdapters, "ERROR: current Adapter is NULL \n");
    }

    if (!isPollingEnabled()) {
        logTrace("Monitor Stopped\n");
        return;
    }
    logTrace("Check for Missing Adapter\n");
    if (storedSystem != nullptr) {
        CheckMissingAdapter(*events, storedSystem);
    }

    if (currentSystem == nullptr) {
        logError("ERROR: System is NULL\n");
    } else {
        FilterCollection adapters(currentSystem);
        adapters.apply("Adapter", false);
        for (int i = 0; i < adapters.size(); ++i) {
            auto* current = dynamic_cast<Adapter*>(adapters.elementAt(i));
            if (current == nullptr) {
                logError("ERROR: current Adapter is NULL  \n");
                continue;
            }
            if (!compareWithStored(current, storedSystem)) {
                return;
            }
        }
    }
    logTrace("Exiting VelmarMonitor::vlEventPersistence()\n");
}

System* VelmarMonitor::readStoredSystem() {
    if (configBuilder == nullptr) {
        return nullptr;
    }
    // Temporary files of writers killed before their rename would pile up, one per crash.
    // Once per run, before this run writes: a writer of another process that still runs
    // holds its file's lock and keeps it.
    const int removed = port::removeStaleTemporaryFiles(configBuilder->getPath());
    if (removed > 0) {
        logError("Removed %d stale temporary file(s) of the snapshot %s\n", removed,
                 configBuilder->getPath().c_str());
    }
    // A missing or unreadable file is a first run.
    if (!configBuilder->readXML()) {
        return nullptr;
    }
    if (configBuilder->wasReadWhole()) {
        return configBuilder->getSystem();
    }
    // The front of a cut or malformed file would make every controller after the fault
    // look removed. Run as a first run instead, and keep the file for a look: this run
    // writes a new snapshot over its name.
    const std::string& path = configBuilder->getPath();
    const std::string aside = path + kDamagedSuffix;
    if (port::renameFile(path, aside)) {
        logError("ERROR: The stored system config %s is damaged; moved aside as %s\n", path.c_str(),
                 aside.c_str());
    } else {
        logError("ERROR: The stored system config %s is damaged and cannot be moved aside\n",
                 path.c_str());
    }
    return nullptr;
}

void VelmarMonitor::collectAdapters(System* system, std::vector<Adapter*>& adapters,
                                    const char* nullLine) {
    FilterCollection collection(system);
    collection.apply("Adapter", false);
    for (int i = 0; i < collection.size(); ++i) {
        auto* adapter = dynamic_cast<Adapter*>(collection.elementAt(i));
        if (adapter == nullptr) {
            logError("%s", nullLine);
            continue;
        }
        adapters.push_back(adapter);
    }
}

bool VelmarMonitor::compareWithStored(Adapter* current, System* storedSystem) {
    Adapter* stored = findStoredAdapter(current);
    logTrace("Compare the old and new Adapters\n");
    TLXEventCollection& ec = *events;
    if (compareAdapter(ec, current, stored) == 10) {
        logTrace("New Adapter Found\n");
        if (!isPollingEnabled()) {
            logTrace("Monitor stopped\n");
            return false;
        }
        checkAdapter(ec, current);
        checkPhysicalDrives(ec, current);
        checkLogicalDrives(ec, current);
        checkProgress(ec, current);
        checkSafte(ec, current);
        return true;
    }
    logTrace("Compare the Physical Drvies on the Old and New Adapters\n");
    if (storedSystem != nullptr) {
        FilterCollection taskLists(storedSystem);
        taskLists.apply("ProgressCollection", false);
        if (taskLists.size() > 0) {
            storedTaskList = taskLists.elementAt(0);
        }
    }
    if (!isPollingEnabled()) {
        logTrace("Monitor Stopped \n");
        return false;
    }
    comparePhysicalDrives(ec, current, stored);
    logTrace("Compare the Logical Drives on the old and new Adapters\n");
    compareLogicalDrives(ec, current, stored);
    logTrace("Compare the Progress on the old and New Adapters\n");
    compareProgress(ec, current, stored);
    logTrace("Compare Safte Enclosures on the old and new Adapters\n");
    compareSafte(ec, current, stored);
    return true;
}

void VelmarMonitor::writeXML() {
    logTrace("In VelmarMonitor::writeXML()\n");
    if (!isPollingEnabled()) {
        return;
    }
    // Remembered task starts outlive the write: consumed, or cleared when the next run starts.
    System* system = nullptr;
    if (velmarLib != nullptr) {
        system = velmarLib->getCurrentSystem();
        if (system == nullptr) {
            system = velmarLib->getNewSystem();
        }
    }
    if (system == nullptr) {
        logError("ERROR: Current System is NULL \n");
        return;
    }
    logDebugMsg("Set the progress Collection before dumping the config\n");
    setProgress();
    if (configBuilder) {
        configBuilder->build(system, progress.get());
        if (!configBuilder->writeXML() && isPollingEnabled()) {
            logError("ERROR: Cannot write the snapshot file %s\n",
                     configBuilder->getPath().c_str());
        }
    }
    logTrace("Exiting VelmarMonitor::writeXML()\n");
}

Adapter* VelmarMonitor::findStoredAdapter(Adapter* current) {
    if (current == nullptr) {
        logError("ERROR: Current Adapter is NULL\n");
        return nullptr;
    }
    const std::string serial = storedSerialOf(*current);
    for (Adapter* stored : storedAdapters) {
        if (stored == nullptr) {
            logError("ERROR: Adapter is NULL\n");
            continue;
        }
        if (serialOf(*stored) == serial) {
            return stored;
        }
    }
    return nullptr;
}

void VelmarMonitor::CheckMissingAdapter(TLXEventCollection& ec, RaidObject* storedSystem) {
    logTrace("In VelmarMonitor:: CheckMissingAdapter() \n");
    if (storedSystem == nullptr) {
        logError("ERROR: System Object is NULL \n");
    } else {
        FilterCollection adapters(storedSystem);
        adapters.apply("Adapter", false);
        for (int i = 0; i < adapters.size(); ++i) {
            auto* stored = dynamic_cast<Adapter*>(adapters.elementAt(i));
            if (stored == nullptr) {
                logError("ERROR: Current Adapter is NULL  \n");
                continue;
            }
            logTrace("Check for Missing Adapter \n");
            reportMissingAdapter(ec, stored);
        }
    }
    logTrace("Exiting VelmarMonitor:: CheckMissingAdapter()   \n");
}

void VelmarMonitor::reportMissingAdapter(TLXEventCollection& ec, Adapter* stored) {
    logTrace("In VelmarMonitor::reportMissingAdapter(TLXEventCollection, Adapter)");
    if (stored == nullptr) {
        logError("ERROR: Adapter object is NULL\n");
    } else {
        // Reported once, and only against a tree that holds controllers: a discovery that
        // found none says nothing about this one.
        const std::string serial = serialOf(*stored);
        bool anyCurrent = false;
        bool present = false;
        for (Adapter* current : currentAdapters) {
            if (current == nullptr) {
                logError("ERROR: New Adapter in the current adapter list is NULL\n");
                continue;
            }
            anyCurrent = true;
            if (storedSerialOf(*current) == serial) {
                logTrace("Found a Missing Adapter\n");
                present = true;
                break;
            }
        }
        if (anyCurrent && !present) {
            raiseControllerRemovedEvent(ec, stored);
        }
    }
    logTrace("Exiting VelmarMonitor::reportMissingAdapter(TLXEventCollection, Adapter)");
}

void VelmarMonitor::raiseControllerRemovedEvent(TLXEventCollection& ec, Adapter* stored) {
    const ControllerRemovedEvent& row = kControllerRemovedEvent;
    TLXEvent event(row.eventCode, row.eventType, nls.get(row.messageKey, {getEventID(stored)}),
                   row.identifier);
    event.setAdapterID(stored->getAdapterID());
    event.setObjectType(row.objectType);
    event.setAdapterSerial(stored);
    ec.add(event);
}

Adapter* VelmarMonitor::getCurrentAdapter(int adapterID) {
    logTrace("In VelmarMonitor::getCurrentAdapter()");
    System* system = velmarLib != nullptr ? velmarLib->getCurrentSystem() : nullptr;
    if (system == nullptr) {
        logError("ERROR: Current System is NULL \n");
        return nullptr;
    }
    return adapterWithID(system, adapterID);
}

Adapter* VelmarMonitor::getOldAdapter(int adapterID) {
    System* system = velmarLib != nullptr ? velmarLib->getOldSystem() : nullptr;
    if (system == nullptr) {
        logError("ERROR: Old System is NULL \n");
        return nullptr;
    }
    return adapterWithID(system, adapterID);
}
