#include "DetectTestSupport.h"

#include <sstream>

namespace {

// "key=tagN": the text of key is the tag and N placeholders between parentheses and bars.
constexpr const char* kTaggedKeys =
    "eventArgController2=C23 eventArgController=CTL1 eventArgControllerChannel=CH2 "
    "eventArgControllerLogicalDrive=LD2 eventArgControllerLogicalDrive2=LD22 "
    "eventArgControllerScsiDevice=SCSI3 eventArgControllerSATADevice=SATA2 "
    "eventArgControllerSATADeviceEnclosure=ENC3 eventArgControllerSASDeviceWWN=SAS2 "
    "deviceArgFRU=FRU1 deviceArgVendorModel=VM2 agentEventInfControllerAdded=added1 "
    "agentEventInfControllerReplace=replaced1 agentEventInfControllerStateChange=state1 "
    "agentEventErrController=failed1 agentEventErrBBCNewBattery=newBattery1 "
    "agentEventWrnBatteryLow=batteryLow1 agentEventInfBatteryNormal=batteryNormal1 "
    "agentEventWrnBatteryOvertemp=batteryHot1 agentEventInfBatteryTempNormal=batteryCool1 "
    "agentEventWrnBadStripes=badStripes1 agentEventWrnMismatchedVersions=versions4 "
    "agentEventWrnControllerOvertemp=hot1 agentEventInfDriveMap=map5";

}  // namespace

void DetectTest::SetUp() {
    TestHome::SetUp();
    std::istringstream entries(kTaggedKeys);
    std::string catalog = "LD_SUB_QUICK_INIT=quick\ninfoLogDriveRAID1E=1E\nRAID60=60\n";
    for (std::string line; entries >> line;) {
        const int arguments = line.back() - '0';
        line.back() = '(';
        for (int i = 0; i < arguments; ++i) {
            line += (i > 0 ? "|{" : "{") + std::to_string(i) + "}";
        }
        catalog += line + ")\n";
    }
    writeFile("RaidNLS.properties", catalog);
    writeFile("TLXConfig.ini", "");
    monitor = std::make_unique<DetectMonitor>(&lib, "", "", "");
}

std::vector<std::string> DetectTest::takeEvents() {
    const auto id = [](uint32_t value) {
        return value == Addr::kUnset ? std::string("-") : std::to_string(value);
    };
    std::vector<std::string> views;
    for (const TLXEvent& e : monitor->getEvents(0)) {
        views.push_back(std::to_string(e.getEventCode()) + "/" + std::to_string(e.getEventType()) +
                        "/" + e.getIndentifier() + "/" + std::to_string(e.getObjectType()) + "/A" +
                        id(e.getAdapterID()) + " C" + id(e.getChannelID()) + " D" +
                        id(e.getDeviceID()) + "/" + e.getAdapterSerial() + "/" + e.getFru() + "/" +
                        e.getEventDesc());
    }
    return views;
}
