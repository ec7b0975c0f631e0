// The translation of controller event records, one table row per record kind: each row's
// record is translated as one poll of its controller (of controller 0 when it is not in the
// latest tree), and the events raised are compared field by field. The catalog's texts show
// the key looked up and each argument in its place; the stand-in system has three
// controllers (IDs 0, 3 and 7) and one that has gone (ID 5).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "ctlevents/ControllerEventRecord.h"
#include "ctlevents/EventCodeTable.h"
#include "detect/DetectTestSupport.h"    // describe()
#include "monitor/MonitorTestSupport.h"  // counts()
#include "monitor/VelmarMonitor.h"
#include "snapshot/SimpleXmlException.h"

namespace {

using Events = std::vector<std::string>;
constexpr uint32_t U = Addr::kUnset;

class TranslationMonitor : public VelmarMonitor {
public:
    using VelmarMonitor::eventCategory;
    using VelmarMonitor::events;
    using VelmarMonitor::VelmarMonitor;
};

class TranslationTest : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        // Short argument texts, so that a message shows which object it names; every message
        // key as its own name followed by its arguments.
        std::string catalog =
            "eventArgController2=C{0} eventArgController=ctl({0}) deviceArgFRU=fru({0}) "
            "eventArgControllerChannel=ch({0},{1}) eventArgControllerArray=arr({0},{1}) "
            "eventArgControllerScsiDevice=drv({0},{1},{2}) "
            "eventArgControllerLogicalDrive=ld({0},{1}) "
            "eventArgEnclosureController=enc({0},{1},{2}) LD_SUB_QUICK_INIT=QI\n";
        std::replace(catalog.begin(), catalog.end(), ' ', '\n');
        for (const CatalogKey& key : ctlevents::eventCodeCatalogKeys()) {
            catalog += std::string(key.key) + "=" + key.key + "(";
            for (int i = 0; i < key.arguments; ++i) {
                catalog += (i > 0 ? ",{" : "{") + std::to_string(i) + "}";
            }
            catalog += ")\n";
        }
        writeFile("RaidNLS.properties", catalog);
        writeFile("TLXConfig.ini", "tlx.debugMask=2\n");

        // Controller 0 (Pell): two channels with drives and an enclosure each, listed so that a
        // lookup by position would find other objects; logical drives 0 and 1.
        ModelBuilder tree(lib.getHardwareModel());
        Adapter* a0 = tree.adapter(0, "A0");
        Channel* c0 = tree.channel(a0, 0);
        Channel* c1 = tree.channel(a0, 1);
        tree.drive(c1, 0);
        tree.drive(c1, 3);
        tree.drive(c0, 1);
        tree.enclosure(c1, 7)->setFruNumber("EFRU-7");  // channel 0 has none
        tree.logicalDrive(a0, 0);
        tree.logicalDrive(a0, 1, LD_STATE_OKAY, RAID_LEVEL_1, 2252800)  // 1100 MB in blocks
            ->setSubState(LD_SUB_STATE_QUICK_INIT);
        // Controller 3 (Omdi, megabytes) and 7; controller 5 only in the previous tree.
        Adapter* a3 = tree.adapter(3, "A3", ModelBuilder::Family::Omdi);
        tree.logicalDrive(a3, 1, LD_STATE_OKAY, RAID_LEVEL_UNKNOWN, 1100);
        Adapter* a5 = tree.adapter(5, "A5");
        tree.versions(tree.adapter(7, "A7"), "B1", "F2", "D3");
        lib.getNewSystem();
        delete a5;
        lib.getNewSystem();

        monitor = std::make_unique<TranslationMonitor>(&lib);
        monitor->setEventTypeLevel(static_cast<EnumEventType>(7));  // queue every severity
    }

    // The controller with that ID in the library's latest tree.
    Adapter* current(uint32_t adapterID) {
        return dynamic_cast<Adapter*>(lib.getCurrentSystem()->getObject(adapterID, U, U, U, U));
    }

    // Translates text as a poll of controller `caller` would; returns the events raised.
    Events translate(const std::string& text, uint32_t caller = 0) {
        std::string buffer = text;
        monitor->GetEventFromXml(&buffer[0], current(caller));
        Events events;
        for (const TLXEvent& event : monitor->getEvents(0)) {
            events.push_back(describe(event));
        }
        return events;
    }

    std::string debugLog() const { return readFile("kvorlogs/TLXVLDebug.log"); }

    VelmarLib lib;
    std::unique_ptr<TranslationMonitor> monitor;
};

// A record of controller `adapter` (no adapter ID when negative) with these attributes.
std::string rec(int adapter, const std::string& attributes) {
    const std::string id = adapter < 0 ? "" : "adapterID='" + std::to_string(adapter) + "' ";
    return "<RaidEvent eventNumber='1' " + id + attributes + "/>\n";
}

TEST_F(TranslationTest, RecordsBecomeEventsWithTheirFieldsAndArguments) {
    // clang-format off
    struct Row { int adapter; const char* attributes; Events events; };  // attributes: a whole text when it starts with '<'
    const Row kRows[] = {
        // Object, arguments and lookups by category; severity by the controller's class (1, 2,
        // 4, 8, 10 give 3, 2, 1, 4, 6; any other class, or none, 0). Drives and enclosures are
        // found by address: the drive list starts with drive 1 of channel 0, and channel 0 has
        // no enclosure.
        {0, "eventCode='401' eventType='4' channelID='1' deviceID='0'",
            {"401 t1 o5 A0C1D0 ser=A0 hd=SN0-1-0 | agentEventErrDefunctDrive(drv(C1,2,0),,fru())"}},
        {0, "eventCode='423' eventType='8' channelID='1' deviceID='0'",  // the SAS drive map's arguments
            {"423 t4 o5 A0C1D0 ser=A0 hd=SN0-1-0 | agentEventInfDriveMap(1,2,0,drv(C1,2,0),)"}},
        {0, "eventCode='301' eventType='2' logicalDriveID='1'",
            {"301 t2 o4 A0L1 lun1 ser=A0 | agentEventWrnLogicalCritical(ld(C1,2))"}},
        {0, "eventCode='501' eventType='10' channelID='1'",
            {"501 t6 o6 A0C1 ser=A0 enc=ENCL-7 | agentEventInfEnclOk(ch(C1,2))"}},
        {0, "eventCode='502' eventType='3' channelID='0'", {"502 t0 o6 A0C0 ser=A0 | agentEventErrEnclFail(ch(C1,1))"}},
        {0, "eventCode='0x1F8' eventType='1' channelID='1' fanID='2'",
            {"504 t3 o7 A0C1 fan2 ser=A0 fru=EFRU-7 | agentEventErrFanFail(3,ch(C1,2))"}},
        {0, "eventCode='510' channelID='1' powerSupplyID='1'",
            {"510 t0 o8 A0C1 ps1 ser=A0 fru=EFRU-7 | agentEventErrPowerFail(2,ch(C1,2))"}},
        {0, "eventCode='398' arrayID='0'", {"398 t0 o3 A0R0 ser=A0 | agentEventInfArrayStateChange(arr(C1,1))"}},
        {0, "eventCode='211'", {"211 t0 o2 A0 ser=A0 | agentEventWrnBatteryOvertemp(ctl(C1))"}},
        {0, "eventCode='203' FRU='9'", {"203 t0 o2 A0 ser=A0 fru=9 | agentEventErrBBCNewBatteryFRU(ctl(C1))"}},
        {0, "eventCode='219'", {"219 t0 o2 A0 ser=A0 | agentEventWrnControllerExpiration()"}},
        {0, "eventCode='507'", {"507 t0 o2 A0 ser=A0 | agentEventInfTempNormal(ch(C1,2147483647))"}},
        {0, "eventCode='403' channelID='1' deviceID='3'", {"403 t0 o5 A0C1D3 ser=A0 | agentEventInfDefunctReplace(drv(C1,2,3))"}},
        // An escaped FRU, then a record of its own: nothing is carried into it.
        {0, "eventCode='404' channelID='1' deviceID='3' FRU='A&amp;B'/><RaidEvent adapterID='0' eventCode='401' channelID='1'",
            {"404 t0 o5 A0C1D3 ser=A0 fru=A&B hd=SN0-1-3 | agentEventErrDefunctDriveFRU(drv(C1,2,3),A&B,fru(A&B))",
             "401 t0 o5 A0C1 ser=A0 | agentEventErrDefunctDrive(drv(C1,2,2147483647),,fru())"}},
        {0, "eventCode='404' channelID='1' deviceID='3' FRU=''",
            {"404 t0 o5 A0C1D3 ser=A0 hd=SN0-1-3 | agentEventErrDefunctDrive(drv(C1,2,3),,fru())"}},
        {0, "eventCode='401' channelID='-1' deviceID='1'", {"401 t0 o5 A0D1 ser=A0 | agentEventErrDefunctDrive(drv(C1,0,1),,fru())"}},
        // ID + 1 of the largest ID; a number beyond 32 bits is clamped; no value reads 0.
        {0, "eventCode='301' logicalDriveID='99999999999'", {"301 t0 o4 A0 ser=A0 | agentEventWrnLogicalCritical(ld(C1,2147483648))"}},
        {0, "eventCode='401' channelID='0' deviceID", {"401 t0 o5 A0C0D0 ser=A0 | agentEventErrDefunctDrive(drv(C1,1,0),,fru())"}},
        {0, "eventCode='400' eventType='4' channelID='1'", {"400 t1 o1 | UNKNOWN Velmar Error"}},
        {0, "eventCode='0' eventType='1'", {}},  // refresh
        // Size texts by the controller family (Omdi: MB, Pell: blocks), RAID and quick-init
        // texts in the order of the logical-drive comparison's event.
        {3, "eventCode='346' logicalDriveID='1'",
            {"346 t0 o4 A3L1 lun1 ser=A3 | agentEventInfAddLogDrive(ld(C4,2),1.074 GB,RAID_UNKNOWN,)"}},
        {0, "eventCode='346' logicalDriveID='1'",
            {"346 t0 o4 A0L1 lun1 ser=A0 | agentEventInfAddLogDrive(ld(C1,2),1.074 GB,1,, Method = QI)"}},
        {0, "eventCode='346' logicalDriveID='9'", {"346 t0 o4 A0L9 lun9 ser=A0 | agentEventInfAddLogDrive(ld(C1,10),,,)"}},
        // Controllers by adapter ID, not by position (controller 7 is the third).
        {7, "eventCode='210'", {"210 t0 o2 A7 ser=A7 | agentEventWrnMismatchedVersions(ctl(C8),B1,F2,D3)"}},
        // A controller only in the previous tree; in neither; none named.
        {5, "eventCode='202' FRU='CF-1'", {"202 t1 o1 id=EVENT_VELMAR_STATE_FAILED | agentEventErrControllerFRU(ctl(C6),CF-1)"}},
        {5, "eventCode='401' channelID='0' deviceID='1'", {"202 t1 o1 id=EVENT_VELMAR_STATE_FAILED | agentEventErrDefunctDrive(ctl(C6),,)"}},
        {5, "eventCode='0'", {"202 t1 o1 id=EVENT_VELMAR_STATE_FAILED | agentEventErrController(ctl(C6))"}},
        {9, "eventCode='401'", {}},
        {-1, "eventCode='207'", {}},
        // Other elements and attributes are ignored.
        {0, "</RaidEvent><Log><RaidEvent eventCode='207' eventType='1' adapterID='0' extra='9'><Detail adapterID='3'/></RaidEvent></Log>",
            {"207 t3 o2 A0 ser=A0 | agentEventInfControllerAdded(ctl(C1))"}},
    };
    // clang-format on
    for (const Row& row : kRows) {
        const bool own = row.attributes[0] == '<';
        const uint32_t caller = current(row.adapter) != nullptr ? row.adapter : 0;
        EXPECT_EQ(translate(own ? row.attributes : rec(row.adapter, row.attributes), caller),
                  row.events)
            << row.attributes;
    }
}

// The controller's record of a task start that the start-of-run task check reported is
// dropped once.
TEST_F(TranslationTest, ATaskStartReportedAtTheStartOfTheRunIsDroppedOnce) {
    lib.setTask(0, 0, TASK_TYPE_REBUILD, TASK_STATE_RUNNING, 10);
    monitor->checkProgress(*monitor->events, current(0));
    ASSERT_EQ(monitor->getEvents(0).at(0).getEventCode(), 304);
    const std::string start = rec(0, "eventCode='304' eventType='1' logicalDriveID='0'");
    EXPECT_EQ(translate(start + start),
              Events{"304 t3 o4 A0L0 lun0 ser=A0 | agentEventInfRebuildDetected(ld(C1,1))"});
}

// The lookups that failed are logged; the events show the values of those that did not.
TEST_F(TranslationTest, DebugLinesTellWhichLookupsFailed) {
    translate(rec(0, "eventCode='401' channelID='0'") + rec(0, "eventCode='504' channelID='0'") +
              rec(0, "eventCode='346' logicalDriveID='9'") + rec(0, "eventCode='400'") +
              rec(5, "eventCode='401'") + rec(9, "eventCode='401'"));
    EXPECT_EQ(counts(debugLog(), {"]  ERROR: The Hard Drive object is NULL [",
                                  "]  ERROR: The enclosure object is NULL [",
                                  "]  ERROR: The Logical Device Object is NULL \n",
                                  "]   Event code is unknown (default case) = 400.\n",
                                  "]  ERROR: Current Adapter is NULL\n",
                                  "]  ERROR: Adapter in previous config is NULL\n"}),
              (std::vector<int>{1, 1, 1, 1, 2, 1}));
}

TEST_F(TranslationTest, MalformedTextRaisesTheRecordsBeforeTheFaultThenThrows) {
    std::string text = rec(0, "eventCode='207'") + "<RaidEvent eventCode='301' adapterID=0/>" +
                       rec(0, "eventCode='219'");
    EXPECT_THROW(monitor->GetEventFromXml(&text[0], current(0)), SimpleXmlException);
    const std::vector<TLXEvent> events = monitor->getEvents(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].getEventCode(), 207);
}

TEST_F(TranslationTest, EachCodeGivesItsKeyAndCategory) {
    // clang-format off
    struct Code { int code; bool hasFru; int categoryBefore; const char* key; int category; };
    const Code kCodes[] = {
        {404, false, 3, "agentEventErrDefunctDrive", 1},  {404, true, 3, "agentEventErrDefunctDriveFRU", 1},
        {203, false, 3, "agentEventErrBBCNewBattery", 8}, {203, true, 3, "agentEventErrBBCNewBatteryFRU", 9},
        {206, false, 1, "eventConfigError", 3},           {206, true, 1, "agentEventErrPollingFRU", 3},
        {212, false, 4, "agentEventJobScheduler", 3},     {601, false, 4, "notEventTestEvent", 3},
        {219, false, 4, "agentEventWrnControllerExpiration", 10},
        {322, false, 2, "agentEventInfRebuildDetected", 7},
        {0, false, 4, "RefreshError", 4},                 {400, false, 4, "UnknownVelmarError", 4},
        {INT_MAX, false, 5, "UnknownVelmarError", 5},
    };
    // clang-format on
    for (const Code& c : kCodes) {
        monitor->eventCategory = c.categoryBefore;
        EXPECT_EQ(monitor->getEventDescription(c.code, 1, c.hasFru), c.key) << c.code;
        EXPECT_EQ(monitor->eventCategory, c.category) << c.code;
    }
}

TEST(ControllerEventRecord, NumbersAreDecimalOrHexAndClampedTo32Bits) {
    // clang-format off
    const std::pair<const char*, int32_t> kNumbers[] = {
        {"0x1F9", 505}, {"505", 505}, {"-1", -1}, {nullptr, 0}, {"", 0}, {"0x", 0}, {"1F9", 1},
        {"0X1F", 0}, {"2147483647", INT32_MAX}, {"0x7FFFFFFF", INT32_MAX}, {"0xFFFFFFFF", INT32_MAX},
        {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}};
    // clang-format on
    for (const auto& [text, value] : kNumbers) {
        EXPECT_EQ(ControllerEventRecord::number(text), value) << (text ? text : "null");
    }
}

}  // namespace
