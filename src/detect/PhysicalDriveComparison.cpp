// Comparison of stored and current physical drives, and the report of a new controller's.
#include "monitor/BaseRaidMonitor.h"

void BaseRaidMonitor::comparePhysicalDrives(TLXEventCollection&, Adapter*, Adapter*) {}
void BaseRaidMonitor::checkPhysicalDrives(TLXEventCollection&, Adapter*) {}
void BaseRaidMonitor::checkPhysicalDrive(TLXEventCollection&, Adapter*, HardDrive*) {}
bool BaseRaidMonitor::isValidPhysicalDrive(Adapter*, HardDrive*) {
    return false;
}
bool BaseRaidMonitor::isVendorSupported(RaidObject*) {
    return false;
}
