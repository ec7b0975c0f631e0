// The start-of-run comparison of the stored snapshot with the hardware, and the snapshot
// write that keeps the stored snapshot recent.
#include "monitor/VelmarMonitor.h"

#include "raidlib/System.h"
#include "raidlib/VelmarLib.h"
#if __has_include("snapshot/TLXConfigBuilder.h") && \
                  __has_include("snapshot/TLXProgressCollection.h")
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXProgressCollection.h"
#define TLX_HAVE_SNAPSHOT_BUILDER 1
#endif

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
    reportedTaskEvents.clear();
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
#ifdef TLX_HAVE_SNAPSHOT_BUILDER
    if (configBuilder) {
        configBuilder->build(system, progress.get());
        configBuilder->writeXML();
    }
#endif
    logTrace("Exiting VelmarMonitor::writeXML()\n");
}
