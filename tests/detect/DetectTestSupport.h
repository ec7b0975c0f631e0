// Helpers of the change-detection tests: a frame monitor that shows its event queue, a
// one-line form of an event, and a fixture whose catalog writes every text as its key's tag
// with the arguments between bars, so that a test sees each argument and its place.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "monitor/BaseRaidMonitor.h"
#include "raidlib/raidlib.h"
#include "support/TestHome.h"

// "code tType oObject" then the set IDs ("A0C1D3L1R0"), lun, fan and power supply, the non-empty
// texts (serial, fru, hd serial, enclosure model, identifier), "| text".
inline std::string describe(const TLXEvent& e) {
    std::string ids;
    // clang-format off
    const std::pair<const char*, long long> numbers[] = {
        {"A", e.getAdapterID()}, {"C", e.getChannelID()}, {"D", e.getDeviceID()}, {"L", e.getLogicalDriveID()},
        {"R", e.getArrayID()}, {" lun", e.getLun()}, {" fan", e.getFan()}, {" ps", e.getPowerSupply()}};
    for (const auto& [name, value] : numbers) {
        ids += value != TLXEvent::kUnset ? name + std::to_string(value) : "";
    }
    const std::pair<const char*, std::string> texts[] = {
        {" ser=", e.getAdapterSerial()}, {" fru=", e.getFru()}, {" hd=", e.getHardDriveSerialNumber()},
        {" enc=", e.getEnclosureModel()}, {" id=", e.getIndentifier()}};
    // clang-format on
    for (const auto& [name, value] : texts) {
        ids += value.empty() ? "" : name + value;
    }
    return std::to_string(e.getEventCode()) + " t" + std::to_string(e.getEventType()) + " o" +
           std::to_string(e.getObjectType()) + (ids.empty() || ids[0] == ' ' ? "" : " ") + ids +
           " | " + e.getEventDesc();
}

class DetectMonitor : public BaseRaidMonitor {
public:
    using BaseRaidMonitor::BaseRaidMonitor;
    void collectCurrentEvents(int, TLXEventCollection&) override {}
    void run() override {}
    void stop() override {}
    void start() override {}
    using BaseRaidMonitor::logError;
    using BaseRaidMonitor::logEventEntry;
    using BaseRaidMonitor::logLifecycle;
    using BaseRaidMonitor::logTrace;
    TLXEventCollection& queue() { return *events; }
    // The queued events, taken out of the queue, each as describe() writes it.
    std::vector<std::string> take() {
        std::vector<std::string> views;
        for (const TLXEvent& event : events->takeAll()) {
            views.push_back(describe(event));
        }
        return views;
    }
};

class DetectTest : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        // "key=tagN": the text of key is the tag and N placeholders between parentheses and bars.
        std::istringstream entries(
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
            "agentEventWrnControllerOvertemp=hot1 agentEventInfDriveMap=map5");
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

    VelmarLib lib;
    std::unique_ptr<DetectMonitor> monitor;
};
