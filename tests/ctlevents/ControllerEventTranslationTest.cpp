// The translation of controller event records, one table row per record kind: each row's
// text is translated as one poll of a controller, and the events raised are compared field
// by field, their texts showing every catalog key and argument (TranslationTestSupport).
#include <gtest/gtest.h>

#include <climits>

#include "TranslationTestSupport.h"
#include "ctlevents/ControllerEventRecord.h"
#include "ctlevents/EventCodeTable.h"
#include "snapshot/SimpleXmlException.h"

namespace {

std::string rec(const std::string& attributes) {
    return "<RaidEvent eventNumber='1' " + attributes + "/>\n";
}

struct TranslationCase {
    const char* what;
    std::string text;
    uint32_t caller;
    std::vector<std::string> events;
};

TEST_F(TranslationTest, RecordsBecomeEventsWithTheirFieldsAndArguments) {
    const TranslationCase kCases[] = {
        // Severity: the controller's class 1, 2, 4, 8, 10; any other class, or none, is 0.
        {"classes",
         rec("eventCode='207' eventType='1' adapterID='0'") +
             rec("eventCode='207' eventType='2' adapterID='0'") +
             rec("eventCode='207' eventType='4' adapterID='0'") +
             rec("eventCode='207' eventType='8' adapterID='0'") +
             rec("eventCode='207' eventType='10' adapterID='0'") +
             rec("eventCode='207' eventType='3' adapterID='0'") +
             rec("eventCode='207' adapterID='0'"),
         0,
         {"207 t3 o2 A0C-D-L-R- ser=A0 | agentEventInfControllerAdded(ctl(C1))",
          "207 t2 o2 A0C-D-L-R- ser=A0 | agentEventInfControllerAdded(ctl(C1))",
          "207 t1 o2 A0C-D-L-R- ser=A0 | agentEventInfControllerAdded(ctl(C1))",
          "207 t4 o2 A0C-D-L-R- ser=A0 | agentEventInfControllerAdded(ctl(C1))",
          "207 t6 o2 A0C-D-L-R- ser=A0 | agentEventInfControllerAdded(ctl(C1))",
          "207 t0 o2 A0C-D-L-R- ser=A0 | agentEventInfControllerAdded(ctl(C1))",
          "207 t0 o2 A0C-D-L-R- ser=A0 | agentEventInfControllerAdded(ctl(C1))"}},
        // Object and arguments by category. Drives and enclosures are found by address: the
        // drive list starts with drive 1 of channel 0, and channel 0 has no enclosure.
        {"1 drive",
         rec("eventCode='401' eventType='4' adapterID='0' channelID='1' deviceID='0'"),
         0,
         {"401 t1 o5 A0C1D0L-R- hd=SN0-1-0 ser=A0 | "
          "agentEventErrDefunctDrive(drv(C1,2,0),,fru())"}},
        {"drive map entry: the SAS drive map's arguments",
         rec("eventCode='423' eventType='1' adapterID='0' channelID='1' deviceID='0'"),
         0,
         {"423 t3 o5 A0C1D0L-R- hd=SN0-1-0 ser=A0 | agentEventInfDriveMap(1,2,0,drv(C1,2,0),)"}},
        {"2 logical drive",
         rec("eventCode='301' eventType='2' adapterID='0' logicalDriveID='1'"),
         0,
         {"301 t2 o4 A0C-D-L1R- lun1 ser=A0 | agentEventWrnLogicalCritical(ld(C1,2))"}},
        {"4 enclosure",
         rec("eventCode='501' eventType='1' adapterID='0' channelID='1'"),
         0,
         {"501 t3 o6 A0C1D-L-R- enc=ENCL-7 ser=A0 | agentEventInfEnclOk(ch(C1,2))"}},
        {"4 no enclosure on the channel",
         rec("eventCode='502' eventType='4' adapterID='0' channelID='0'"),
         0,
         {"502 t1 o6 A0C0D-L-R- ser=A0 | agentEventErrEnclFail(ch(C1,1))"}},
        {"5 fan",
         rec("eventCode='504' eventType='4' adapterID='0' channelID='0' fanID='2'"),
         0,
         {"504 t1 o7 A0C0D-L-R- fan2 ser=A0 | agentEventErrFanFail(3,ch(C1,1))"}},
        {"5 fan, hex code",
         rec("eventCode='0x1F9' eventType='1' adapterID='0' channelID='1' fanID='0'"),
         0,
         {"505 t3 o7 A0C1D-L-R- fan0 fru=EFRU-7 ser=A0 | agentEventInfFanInstalled(1,ch(C1,2))"}},
        {"6 power supply",
         rec("eventCode='510' eventType='4' adapterID='0' channelID='1' powerSupplyID='1'"),
         0,
         {"510 t1 o8 A0C1D-L-R- ps1 fru=EFRU-7 ser=A0 | agentEventErrPowerFail(2,ch(C1,2))"}},
        {"7 array",
         rec("eventCode='398' eventType='1' adapterID='0' arrayID='0'"),
         0,
         {"398 t3 o3 A0C-D-L-R0 ser=A0 | agentEventInfArrayStateChange(arr(C1,1))"}},
        {"8 battery",
         rec("eventCode='211' eventType='2' adapterID='0'"),
         0,
         {"211 t2 o2 A0C-D-L-R- ser=A0 | agentEventWrnBatteryOvertemp(ctl(C1))"}},
        {"203 without FRU",
         rec("eventCode='203' eventType='4' adapterID='0'"),
         0,
         {"203 t1 o2 A0C-D-L-R- ser=A0 | agentEventErrBBCNewBattery(ctl(C1))"}},
        {"9 battery with FRU",
         rec("eventCode='203' eventType='4' adapterID='0' FRU='B-9'"),
         0,
         {"203 t1 o2 A0C-D-L-R- fru=B-9 ser=A0 | agentEventErrBBCNewBatteryFRU(ctl(C1))"}},
        {"10 expiration",
         rec("eventCode='219' eventType='2' adapterID='0'"),
         0,
         {"219 t2 o2 A0C-D-L-R- ser=A0 | agentEventWrnControllerExpiration()"}},
        {"11 temperature normal",
         rec("eventCode='507' eventType='1' adapterID='0'"),
         0,
         {"507 t3 o2 A0C-D-L-R- ser=A0 | agentEventInfTempNormal(ch(C1,2147483647))"}},
        {"11 temperature failed",
         rec("eventCode='508' eventType='4' adapterID='0'"),
         0,
         {"508 t1 o2 A0C-D-L-R- ser=A0 | agentEventErrTempFail(ch(C1,2147483647))"}},
        {"12 replaced drive",
         rec("eventCode='403' eventType='1' adapterID='0' channelID='1' deviceID='3'"),
         0,
         {"403 t3 o5 A0C1D3L-R- ser=A0 | agentEventInfDefunctReplace(drv(C1,2,3))"}},
        {"404 with FRU, escaped",
         rec("eventCode='404' eventType='4' adapterID='0' channelID='1' deviceID='3' "
             "FRU='A&amp;B'"),
         0,
         {"404 t1 o5 A0C1D3L-R- fru=A&B hd=SN0-1-3 ser=A0 | "
          "agentEventErrDefunctDriveFRU(drv(C1,2,3),A&B,fru(A&B))"}},
        {"404 with an empty FRU",
         rec("eventCode='404' eventType='4' adapterID='0' channelID='1' deviceID='3' FRU=''"),
         0,
         {"404 t1 o5 A0C1D3L-R- hd=SN0-1-3 ser=A0 | "
          "agentEventErrDefunctDrive(drv(C1,2,3),,fru())"}},
        {"channel -1",
         rec("eventCode='401' eventType='4' adapterID='0' channelID='-1' deviceID='1'"),
         0,
         {"401 t1 o5 A0C-D1L-R- ser=A0 | agentEventErrDefunctDrive(drv(C1,0,1),,fru())"}},
        {"ID + 1 of the largest ID, and a number beyond 32 bits clamped",
         rec("eventCode='301' eventType='2' adapterID='0' logicalDriveID='99999999999'"),
         0,
         {"301 t2 o4 A0C-D-L-R- ser=A0 | agentEventWrnLogicalCritical(ld(C1,2147483648))"}},
        {"an attribute without value reads 0",
         rec("eventCode='401' eventType='4' adapterID='0' channelID='0' deviceID"),
         0,
         {"401 t1 o5 A0C0D0L-R- ser=A0 | agentEventErrDefunctDrive(drv(C1,1,0),,fru())"}},
        {"fields are not carried into the next record",
         rec("eventCode='404' eventType='4' adapterID='0' channelID='1' deviceID='3' FRU='X'") +
             rec("eventCode='401' eventType='4' adapterID='0' channelID='1'"),
         0,
         {"404 t1 o5 A0C1D3L-R- fru=X hd=SN0-1-3 ser=A0 | "
          "agentEventErrDefunctDriveFRU(drv(C1,2,3),X,fru(X))",
          "401 t1 o5 A0C1D-L-R- ser=A0 | "
          "agentEventErrDefunctDrive(drv(C1,2,2147483647),,fru())"}},
        {"212 and 601 are controller events whatever came before",
         rec("eventCode='501' eventType='1' adapterID='0' channelID='1'") +
             rec("eventCode='212' eventType='1' adapterID='0'") +
             rec("eventCode='401' eventType='4' adapterID='0' channelID='1' deviceID='0'") +
             rec("eventCode='601' eventType='1' adapterID='0'"),
         0,
         {"501 t3 o6 A0C1D-L-R- enc=ENCL-7 ser=A0 | agentEventInfEnclOk(ch(C1,2))",
          "212 t3 o2 A0C-D-L-R- ser=A0 | agentEventJobScheduler(ctl(C1))",
          "401 t1 o5 A0C1D0L-R- hd=SN0-1-0 ser=A0 | "
          "agentEventErrDefunctDrive(drv(C1,2,0),,fru())",
          "601 t3 o2 A0C-D-L-R- ser=A0 | notEventTestEvent(ctl(C1))"}},
        {"unknown code",
         rec("eventCode='400' eventType='4' adapterID='0' channelID='1'"),
         0,
         {"400 t1 o1 A-C-D-L-R- | UNKNOWN Velmar Error"}},
        {"refresh", rec("eventCode='0' eventType='1' adapterID='0'"), 0, {}},
        // Size texts by the controller family (Omdi: MB, Pell: blocks), RAID and quick-init
        // texts in the order of the logical-drive comparison's event.
        {"346 Omdi 2048 MB",
         rec("eventCode='346' eventType='1' adapterID='3' logicalDriveID='0'"),
         3,
         {"346 t3 o4 A3C-D-L0R- lun0 ser=A3 | agentEventInfAddLogDrive(ld(C4,1),2.000 GB,5,)"}},
        {"346 Omdi 1100 MB",
         rec("eventCode='346' eventType='1' adapterID='3' logicalDriveID='1'"),
         3,
         {"346 t3 o4 A3C-D-L1R- lun1 ser=A3 | "
          "agentEventInfAddLogDrive(ld(C4,2),1.074 GB,RAID_UNKNOWN,)"}},
        {"346 Pell 2048 MB",
         rec("eventCode='346' eventType='1' adapterID='0' logicalDriveID='0'"),
         0,
         {"346 t3 o4 A0C-D-L0R- lun0 ser=A0 | agentEventInfAddLogDrive(ld(C1,1),2.000 GB,5,)"}},
        {"346 Pell 1100 MB, quick init",
         rec("eventCode='346' eventType='1' adapterID='0' logicalDriveID='1'"),
         0,
         {"346 t3 o4 A0C-D-L1R- lun1 ser=A0 | "
          "agentEventInfAddLogDrive(ld(C1,2),1.074 GB,1,, Method = QI)"}},
        {"346 not in the tree",
         rec("eventCode='346' eventType='1' adapterID='0' logicalDriveID='9'"),
         0,
         {"346 t3 o4 A0C-D-L9R- lun9 ser=A0 | agentEventInfAddLogDrive(ld(C1,10),,,)"}},
        // Controllers by adapter ID, not by position (controller 7 is the third).
        {"versions of controller 7",
         rec("eventCode='210' eventType='2' adapterID='7'"),
         7,
         {"210 t2 o2 A7C-D-L-R- ser=A7 | agentEventWrnMismatchedVersions(ctl(C8),B1,F2,D3)"}},
        {"controller only in the previous tree, FRU",
         rec("eventCode='202' eventType='4' adapterID='5' FRU='CF-1'"),
         0,
         {"202 t1 o1 A-C-D-L-R- id=EVENT_VELMAR_STATE_FAILED | "
          "agentEventErrControllerFRU(ctl(C6),CF-1)"}},
        {"controller only in the previous tree",
         rec("eventCode='401' eventType='4' adapterID='5' channelID='0' deviceID='1'"),
         0,
         {"202 t1 o1 A-C-D-L-R- id=EVENT_VELMAR_STATE_FAILED | "
          "agentEventErrDefunctDrive(ctl(C6),,)"}},
        {"controller only in the previous tree, refresh record",
         rec("eventCode='0' eventType='1' adapterID='5'"),
         0,
         {"202 t1 o1 A-C-D-L-R- id=EVENT_VELMAR_STATE_FAILED | "
          "agentEventErrController(ctl(C6))"}},
        {"controller in neither tree", rec("eventCode='401' eventType='4' adapterID='9'"), 0, {}},
        {"record without adapter ID", rec("eventCode='207' eventType='1'"), 0, {}},
        {"other elements and attributes are ignored",
         "</RaidEvent><Log><RaidEvent eventCode='207' eventType='1' adapterID='0' extra='9'>"
         "<Detail adapterID='3'/></RaidEvent></Log>",
         0,
         {"207 t3 o2 A0C-D-L-R- ser=A0 | agentEventInfControllerAdded(ctl(C1))"}},
    };
    for (const TranslationCase& c : kCases) {
        EXPECT_EQ(translate(c.text, c.caller), c.events) << c.what;
    }
}

TEST_F(TranslationTest, DebugLinesTellWhatWasLookedUp) {
    translate(rec("eventCode='401' eventType='4' adapterID='0' channelID='1' deviceID='3'") +
              rec("eventCode='401' eventType='4' adapterID='0' channelID='0'") +
              rec("eventCode='501' eventType='1' adapterID='0' channelID='1'") +
              rec("eventCode='504' eventType='4' adapterID='0' channelID='1' fanID='0'") +
              rec("eventCode='504' eventType='4' adapterID='0' channelID='0' fanID='0'") +
              rec("eventCode='346' eventType='1' adapterID='0' logicalDriveID='9'") +
              rec("eventCode='0' eventType='1' adapterID='0'") +
              rec("eventCode='400' eventType='1' adapterID='0'") +
              rec("eventCode='401' eventType='1' adapterID='5'") +
              rec("eventCode='401' eventType='1' adapterID='9'"));
    const std::string log = debugLog();
    const std::pair<const char*, int> kLines[] = {
        {"]  In VelmarMonitor::GetEventFromXml()[", 1},
        {"]  deviceID = 3.\n", 1},
        {"]  hdSerialNum = SN0-1-3.\n", 1},
        {"]  ERROR: The Hard Drive object is NULL [", 1},
        {"]  Setting HD serial No.\n", 2},
        {"]  channelID = 1.\n", 2},
        {"]  channelID = 0.\n", 1},
        {"]  Enclosure MODEL= ENCL-7.\n", 1},
        {"]  Setting encModel No.\n", 1},
        {"]  Enclosure FRU = EFRU-7.\n", 1},
        {"]  ERROR: The enclosure object is NULL [", 1},
        {"]  Setting encFRU No.\n", 2},
        {"]  Logical Drive Added\n", 1},
        {"]  logicalDriveID = 9.\n", 1},
        {"]  ERROR: The Logical Device Object is NULL \n", 1},
        {"]  Check for the duplicate event and log the Event\n", 6},
        {"]  Refresh Event\n", 1},
        {"]   In getEventDescription (switch) Event code is   = 400.\n", 1},
        {"]   Event code is unknown (default case) = 400.\n", 1},
        {"]  ERROR: Current Adapter is NULL\n", 2},
        {"]  ERROR: Adapter in previous config is NULL\n", 1},
        {"]  Exiting VelmarMonitor::GetEventFromXml()", 1},
    };
    for (const auto& [line, count] : kLines) {
        size_t found = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) {
            ++found;
        }
        EXPECT_EQ(found, static_cast<size_t>(count)) << line;
    }
}

TEST_F(TranslationTest, MalformedTextRaisesTheRecordsBeforeTheFaultThenThrows) {
    std::string text = rec("eventCode='207' eventType='1' adapterID='0'") +
                       "<RaidEvent eventCode='301' adapterID=0/>" +
                       rec("eventCode='219' eventType='2' adapterID='0'");
    EXPECT_THROW(monitor->GetEventFromXml(&text[0], current(0)), SimpleXmlException);
    const std::vector<TLXEvent> events = monitor->getEvents(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].getEventCode(), 207);
}

TEST_F(TranslationTest, EachCodeGivesItsKeyAndCategory) {
    struct Row {
        int code;
        bool hasFru;
        int categoryBefore;
        const char* key;
        int category;
    };
    const Row kRows[] = {
        {404, false, 3, "agentEventErrDefunctDrive", 1},
        {404, true, 3, "agentEventErrDefunctDriveFRU", 1},
        {203, false, 3, "agentEventErrBBCNewBattery", 8},
        {203, true, 3, "agentEventErrBBCNewBatteryFRU", 9},
        {206, false, 1, "eventConfigError", 3},
        {206, true, 1, "agentEventErrPollingFRU", 3},
        {212, false, 4, "agentEventJobScheduler", 3},
        {601, false, 4, "notEventTestEvent", 3},
        {219, false, 4, "agentEventWrnControllerExpiration", 10},
        {322, false, 2, "agentEventInfRebuildDetected", 7},
        {0, false, 4, "RefreshError", 4},
        {400, false, 4, "UnknownVelmarError", 4},
        {-202, false, 5, "UnknownVelmarError", 5},
        {INT_MAX, false, 5, "UnknownVelmarError", 5},
    };
    for (const Row& row : kRows) {
        monitor->eventCategory = row.categoryBefore;
        EXPECT_EQ(monitor->getEventDescription(row.code, 1, row.hasFru), row.key) << row.code;
        EXPECT_EQ(monitor->eventCategory, row.category) << row.code;
    }
    // The lookup finds every row of the table.
    for (const ctlevents::EventCodeRow& row : ctlevents::kEventCodes) {
        EXPECT_EQ(monitor->getEventDescription(row.code, 1, true), row.keyWithFru) << row.code;
    }
}

TEST(ControllerEventRecord, NumbersAreDecimalOrHexAndClampedTo32Bits) {
    const std::pair<const char*, int32_t> kRows[] = {
        {"0x1F9", 505},
        {"505", 505},
        {"-1", -1},
        {nullptr, 0},
        {"", 0},
        {"abc", 0},
        {"0x", 0},
        {"1F9", 1},
        {"0X1F", 0},
        {"2147483647", INT32_MAX},
        {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN},
        {"0xFFFFFFFF", INT32_MAX},
        {"0x7FFFFFFF", INT32_MAX},
    };
    for (const auto& [text, value] : kRows) {
        EXPECT_EQ(ControllerEventRecord::number(text), value) << (text ? text : "null");
    }
}

}  // namespace
