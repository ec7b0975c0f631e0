#include "DetectTestSupport.h"

#include <ostream>

namespace {

// Tagged texts: a text shows which key was looked up and every argument in its place.
constexpr const char* kTaggedCatalog =
    "eventArgController2=C2({0}|{1}|{2})\n"
    "eventArgController=CTL({0})\n"
    "eventArgControllerChannel=CH({0}|{1})\n"
    "eventArgControllerLogicalDrive=LD({0}|{1})\n"
    "eventArgControllerLogicalDrive2=LD2({0}|{1})\n"
    "eventArgControllerScsiDevice=SCSI({0}|{1}|{2})\n"
    "eventArgControllerSATADevice=SATA({0}|{1})\n"
    "eventArgControllerSATADeviceEnclosure=ENC({0}|{1}|{2})\n"
    "eventArgControllerSASDeviceWWN=SAS({0}|{1})\n"
    "deviceArgFRU=FRU({0})\n"
    "deviceArgVendorModel=VM({0}|{1})\n"
    "LD_SUB_QUICK_INIT=quick\n"
    "infoLogDriveRAID1E=1E\n"
    "RAID00=00\n"
    "RAID60=60\n"
    "agentEventInfControllerAdded=added({0})\n"
    "agentEventInfControllerReplace=replaced({0})\n"
    "agentEventInfControllerStateChange=state({0})\n"
    "agentEventErrController=failed({0})\n"
    "agentEventErrBBCNewBattery=newBattery({0})\n"
    "agentEventWrnBatteryLow=batteryLow({0})\n"
    "agentEventInfBatteryNormal=batteryNormal({0})\n"
    "agentEventWrnBatteryOvertemp=batteryHot({0})\n"
    "agentEventInfBatteryTempNormal=batteryCool({0})\n"
    "agentEventWrnBadStripes=badStripes({0})\n"
    "agentEventWrnMismatchedVersions=versions({0}|{1}|{2}|{3})\n"
    "agentEventWrnControllerOvertemp=hot({0})\n"
    "agentEventInfDriveMap=map({0}|{1}|{2}|{3}|{4})\n";

}  // namespace

bool EventView::operator==(const EventView& o) const {
    return code == o.code && type == o.type && identifier == o.identifier &&
           objectType == o.objectType && adapterID == o.adapterID && channelID == o.channelID &&
           deviceID == o.deviceID && adapterSerial == o.adapterSerial && fru == o.fru &&
           text == o.text;
}

std::ostream& operator<<(std::ostream& out, const EventView& v) {
    return out << "{" << v.code << ", " << v.type << ", \"" << v.identifier << "\", "
               << v.objectType << ", A" << v.adapterID << " C" << v.channelID << " D" << v.deviceID
               << ", \"" << v.adapterSerial << "\", \"" << v.fru << "\", \"" << v.text << "\"}";
}

EventView viewOf(const TLXEvent& e) {
    return {e.getEventCode(), e.getEventType(), e.getIndentifier(), e.getObjectType(),
            e.getAdapterID(), e.getChannelID(), e.getDeviceID(),    e.getAdapterSerial(),
            e.getFru(),       e.getEventDesc()};
}

void DetectTest::SetUp() {
    TestHome::SetUp();
    writeFile("RaidNLS.properties", kTaggedCatalog);
    writeFile("TLXConfig.ini", "");
    monitor = std::make_unique<DetectMonitor>(&lib, "", "", "");
}

std::vector<EventView> DetectTest::takeEvents() {
    std::vector<EventView> views;
    for (const TLXEvent& event : monitor->getEvents(0)) {
        views.push_back(viewOf(event));
    }
    return views;
}
