// Comparison of a stored controller with the current one, and the report of a new one.
#include "monitor/BaseRaidMonitor.h"

int BaseRaidMonitor::compareAdapter(TLXEventCollection&, Adapter*, Adapter* oldAdapter) {
    return oldAdapter == nullptr ? 10 : 11;
}
void BaseRaidMonitor::checkAdapter(TLXEventCollection&, Adapter*) {}
bool BaseRaidMonitor::isBatteryCacheInstalled(Adapter*) {
    return false;
}
bool BaseRaidMonitor::batteryStatusChangedToNormal(EnumBatteryStatus, EnumBatteryStatus) {
    return false;
}
bool BaseRaidMonitor::checkBadStripes(Adapter*) {
    return false;
}
bool BaseRaidMonitor::isAdapterOverTemparature(Adapter*) {
    return false;
}
