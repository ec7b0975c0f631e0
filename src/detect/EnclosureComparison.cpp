// Comparison of stored and current SAF-TE enclosures: fans, power supplies, temperature.
#include "monitor/BaseRaidMonitor.h"

void BaseRaidMonitor::compareSafte(TLXEventCollection&, Adapter*, Adapter*) {}
void BaseRaidMonitor::checkSafte(TLXEventCollection&, Adapter*) {}
void BaseRaidMonitor::checkSafte(TLXEventCollection&, Adapter*, Enclosure*) {}
bool BaseRaidMonitor::isSafteDataValid(Enclosure*) {
    return false;
}
int BaseRaidMonitor::getFanCount(Enclosure*) {
    return 0;
}
int BaseRaidMonitor::getPowerSupplyCount(Enclosure*) {
    return 0;
}
EnumSafteStatusTLX BaseRaidMonitor::getFanStatus(Enclosure*, int) {
    return SAFTE_STATUS_NOT_PRESENT;
}
EnumSafteStatusTLX BaseRaidMonitor::getPowerSupplyStatus(Enclosure*, int) {
    return SAFTE_STATUS_NOT_PRESENT;
}
EnumSafteStatusTLX BaseRaidMonitor::getFanStatus(EnumSESStatusCodes) {
    return SAFTE_STATUS_OPERATIONAL;
}
EnumSafteStatusTLX BaseRaidMonitor::getPowerSupplyStatus(EnumSESStatusCodes) {
    return SAFTE_STATUS_OPERATIONAL;
}
SESElement* BaseRaidMonitor::getSESElement(std::vector<RaidObject*>, SESElement*) {
    return nullptr;
}
