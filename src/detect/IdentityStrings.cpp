// Identity strings: the texts that name controllers, channels, drives and logical drives
// inside event texts.
#include "monitor/BaseRaidMonitor.h"

std::string BaseRaidMonitor::getDetailedAdapterID(Adapter*) {
    return "";
}
std::string BaseRaidMonitor::getEventID(Adapter*) {
    return "";
}
std::string BaseRaidMonitor::getEventID(HardDrive*) {
    return "";
}
std::string BaseRaidMonitor::getEventID(LogicalDrive*) {
    return "";
}
std::string BaseRaidMonitor::getEventID(Channel*) {
    return "";
}
std::string BaseRaidMonitor::getReplacementID(PhysicalDevice*) {
    return "";
}
std::string BaseRaidMonitor::getSize(LogicalDrive*) {
    return "";
}
std::string BaseRaidMonitor::getRaidLevel(LogicalDrive*) {
    return "";
}
std::string BaseRaidMonitor::getQuickInit(LogicalDrive*) {
    return "";
}
unsigned long BaseRaidMonitor::getRaidFamily(LogicalDrive*) {
    return 0;
}
bool BaseRaidMonitor::isTaskRunning(PhysicalDevice*) {
    return false;
}
bool BaseRaidMonitor::isTaskRunning(LogicalDrive*) {
    return false;
}
std::string BaseRaidMonitor::trim(std::string& text) {
    return NLSParser::trim(text);
}
