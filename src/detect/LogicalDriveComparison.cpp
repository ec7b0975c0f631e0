// Comparison of stored and current logical drives, and the report of a new controller's.
#include "monitor/BaseRaidMonitor.h"

void BaseRaidMonitor::compareLogicalDrives(TLXEventCollection&, Adapter*, Adapter*) {}
void BaseRaidMonitor::checkLogicalDrives(TLXEventCollection&, Adapter*) {}
void BaseRaidMonitor::checkLogicalDrive(TLXEventCollection&, Adapter*, LogicalDrive*) {}
bool BaseRaidMonitor::isValidLogicalDrive(Adapter*, LogicalDrive*) {
    return false;
}
