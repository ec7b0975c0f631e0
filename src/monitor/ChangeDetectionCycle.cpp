// The start-of-run comparison of the stored snapshot with the hardware, and the snapshot
// write that keeps the stored snapshot recent.
#include "monitor/VelmarMonitor.h"

#include "raidlib/System.h"
#include "raidlib/VelmarLib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXProgressCollection.h"

void VelmarMonitor::vlEventPersistence() {
    logTrace("In VelmarMonitor::vlEventPersistence()\n");
    if (!isPollingEnabled()) {
        logTrace("Monitor Stopped\n");
        return;
    }
    logTrace("Exiting VelmarMonitor::vlEventPersistence()\n");
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
        if (!configBuilder->writeXML()) {
            logError("ERROR: Cannot write the snapshot file %s\n",
                     configBuilder->getPath().c_str());
        }
    }
    logTrace("Exiting VelmarMonitor::writeXML()\n");
}

Adapter* VelmarMonitor::findStoredAdapter(Adapter*) {
    return nullptr;
}
void VelmarMonitor::CheckMissingAdapter(TLXEventCollection&, RaidObject*) {}
void VelmarMonitor::reportMissingAdapter(TLXEventCollection&, Adapter*) {}
Adapter* VelmarMonitor::getCurrentAdapter(int) {
    return nullptr;
}
Adapter* VelmarMonitor::getOldAdapter(int) {
    return nullptr;
}
