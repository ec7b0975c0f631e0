// Controller comparison and the report of a new controller, with the tagged catalog of
// DetectTestSupport. Stored controllers are snapshot objects: written by the builder and
// read back, as the change-detection cycle gets them.
#include <gtest/gtest.h>

#include <functional>

#include "DetectTestSupport.h"
#include "port/DebugMask.h"
#include "snapshot/TLXAdapter.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"

namespace {

constexpr int kNoResult = 0;  // a checkAdapter row
const std::string kStateChange = "EVENT_VELMAR_STATE_CHANGE";

// An expected controller event: code, type, identifier and the tag of its text.
struct Expected {
    int code;
    int type;
    std::string identifier;
    std::string tag;
};

struct AdapterCase {
    const char* name;
    // Shapes the current controller and the live form of the stored one (both good, no
    // battery, as TreeBuilder makes them).
    std::function<void(Adapter& current, Adapter& stored)> shape;
    bool stored;  // compare with the stored controller read back, else none
    int result;   // compareAdapter's result; kNoResult runs checkAdapter on the current one
    std::vector<Expected> events;
};

void status(Adapter& a, int s) {
    a.setAdapterStatus(static_cast<EnumControllerStatus>(s));
}
void battery(Adapter& a, int b) {
    a.setBatStatus(static_cast<EnumBatteryStatus>(b));
}
void badBlocks(Adapter& a) {
    TreeBuilder(&a).logicalDrive(&a, 0)->setBadBlockCount(3);
}

// The pairs: the event of its own with an empty identifier, then the state change.
std::vector<Expected> pair(int code, int type, int secondType, const std::string& tag) {
    return {{code, type, "", tag}, {299, secondType, kStateChange, tag}};
}
std::vector<Expected> operator+(std::vector<Expected> a, const std::vector<Expected>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Expected kAdded{207, 3, "EVENT_VELMAR_STATE_ADDED", "added"};
const Expected kReplaced{208, 3, "EVENT_VELMAR_STATE_REPLACED", "replaced"};
const Expected kState{299, 3, kStateChange, "state"};
const Expected kStateError{299, 1, kStateChange, "state"};
const Expected kFailed{202, 1, "EVENT_VELMAR_STATE_FAILED", "failed"};
const Expected kBadStripes{215, 2, "EVENT_VELMAR_CONTROLLER_BAD_STRIPES", "badStripes"};
const Expected kHot{213, 2, "EVENT_VELMAR_CONTROLLER_OVERTEMP", "hot"};
const auto kNewBattery = pair(203, 1, 2, "newBattery");
const auto kBatteryLow = pair(214, 2, 2, "batteryLow");
const auto kBatteryNormal = pair(217, 3, 3, "batteryNormal");
const auto kBatteryHot = pair(211, 2, 2, "batteryHot");
const auto kBatteryCool = pair(216, 3, 3, "batteryCool");

const std::vector<AdapterCase> kCases = {
    // compareAdapter
    {"no stored controller: added, nothing else looked at",
     [](Adapter& c, Adapter&) {
         battery(c, 6);
         badBlocks(c);
     },
     false,
     10,
     {kAdded}},
    {"stored 1, current 0: replaced only",
     [](Adapter& c, Adapter& s) {
         status(s, 1);
         battery(s, 5);
         battery(c, 6);
     },
     true,
     11,
     {kReplaced}},
    {"stored 0, current 1: state change as error, failure, no battery or stripes",
     [](Adapter& c, Adapter& s) {
         status(c, 1);
         battery(s, 5);
         battery(c, 6);
         badBlocks(c);
     },
     true,
     13,
     {kStateError, kFailed}},
    {"stored 2, current 1: state change as error, battery checks run",
     [](Adapter& c, Adapter& s) {
         status(s, 2);
         status(c, 1);
         battery(s, 5);
         battery(c, 8);
     },
     true, 13, std::vector<Expected>{kStateError} + kBatteryLow},
    {"stored 1, current 2: state change, not a replacement",
     [](Adapter& c, Adapter& s) {
         status(s, 1);
         status(c, 2);
     },
     true,
     13,
     {kState}},
    {"unchanged good controller", [](Adapter&, Adapter&) {}, true, 12, {}},
    {"battery 5 to 7: both normal",
     [](Adapter& c, Adapter& s) {
         battery(s, 5);
         battery(c, 7);
     },
     true,
     12,
     {}},
    {"battery 8 to 5: normal pair",
     [](Adapter& c, Adapter& s) {
         battery(s, 8);
         battery(c, 5);
     },
     true, 12, kBatteryNormal},
    {"battery 2 to 7: normal pair",
     [](Adapter& c, Adapter& s) {
         battery(s, 2);
         battery(c, 7);
     },
     true, 12, kBatteryNormal},
    {"battery 5 to 6: new battery pair",
     [](Adapter& c, Adapter& s) {
         battery(s, 5);
         battery(c, 6);
     },
     true, 12, kNewBattery},
    {"battery 6 to 9: nothing",
     [](Adapter& c, Adapter& s) {
         battery(s, 6);
         battery(c, 9);
     },
     true,
     12,
     {}},
    {"battery 5 to 8 with the warning turned on: low pair, hot pair",
     [](Adapter& c, Adapter& s) {
         battery(s, 5);
         battery(c, 8);
         c.setBatTempWarning(true);
     },
     true, 12, kBatteryLow + kBatteryHot},
    {"warning turned off",
     [](Adapter& c, Adapter& s) {
         battery(s, 2);
         battery(c, 2);
         s.setBatTempWarning(true);
     },
     true, 12, kBatteryCool},
    {"both warnings on",
     [](Adapter& c, Adapter& s) {
         battery(s, 5);
         battery(c, 5);
         s.setBatTempWarning(true);
         c.setBatTempWarning(true);
     },
     true,
     12,
     {}},
    {"no battery now (3): no battery or warning event",
     [](Adapter& c, Adapter& s) {
         battery(s, 8);
         battery(c, 3);
         c.setBatTempWarning(true);
     },
     true,
     12,
     {}},
    {"bad stripes on a compared controller; versions and heat never compared",
     [](Adapter& c, Adapter&) {
         badBlocks(c);
         c.setVersionMatchStatus(CODE_VERSION_MISMATCH);
         c.setFeature(FEATURE_HEAT_SINK_TEMPERATURE, 1);
         c.setHSTemperature(90);
     },
     true,
     12,
     {kBadStripes}},
    // checkAdapter
    {"new good controller", [](Adapter&, Adapter&) {}, false, kNoResult, {kState}},
    {"new failed controller: exactly two events",
     [](Adapter& c, Adapter&) {
         status(c, 1);
         battery(c, 6);
         c.setVersionMatchStatus(CODE_VERSION_MISMATCH);
         badBlocks(c);
     },
     false,
     kNoResult,
     {kStateError, kFailed}},
    {"new battery", [](Adapter& c, Adapter&) { battery(c, 6); }, false, kNoResult,
     std::vector<Expected>{kState} + kNewBattery},
    {"low battery, warning on",
     [](Adapter& c, Adapter&) {
         battery(c, 8);
         c.setBatTempWarning(true);
     },
     false, kNoResult, std::vector<Expected>{kState} + kBatteryLow + kBatteryHot},
    {"normal battery: no battery event",
     [](Adapter& c, Adapter&) { battery(c, 7); },
     false,
     kNoResult,
     {kState}},
    {"warning without a battery-backed cache",
     [](Adapter& c, Adapter&) {
         battery(c, 1);
         c.setBatTempWarning(true);
     },
     false,
     kNoResult,
     {kState}},
    {"heat sink at its threshold",
     [](Adapter& c, Adapter&) {
         c.setFeature(FEATURE_HEAT_SINK_TEMPERATURE, 1);
         c.setHSTemperature(70);
         c.setHSThresholdHi(70);
     },
     false,
     kNoResult,
     {kState, kHot}},
    {"heat sink below its threshold",
     [](Adapter& c, Adapter&) {
         c.setFeature(FEATURE_HEAT_SINK_TEMPERATURE, 1);
         c.setHSTemperature(69);
         c.setHSThresholdHi(70);
     },
     false,
     kNoResult,
     {kState}},
    {"heat sink over its threshold without feature 47",
     [](Adapter& c, Adapter&) {
         c.setHSTemperature(90);
         c.setHSThresholdHi(70);
     },
     false,
     kNoResult,
     {kState}},
    {"bad stripes, no timer asked",
     [](Adapter& c, Adapter&) { badBlocks(c); },
     false,
     kNoResult,
     {kState, kBadStripes}},
};

class AdapterComparison : public DetectTest {
protected:
    // The stored form of live: written by the builder and read back.
    Adapter* readBack(System& live) {
        builder_ = std::make_unique<TLXConfigBuilder>(path("TLXVLConfig.xml"));
        builder_->build(&live, nullptr);
        EXPECT_TRUE(builder_->writeXML());
        EXPECT_TRUE(builder_->readXML());
        auto* stored = dynamic_cast<TLXAdapter*>(builder_->getSystem()->getChild(0));
        EXPECT_NE(stored, nullptr);
        return stored;
    }

    std::vector<EventView> expand(const std::vector<Expected>& events, Adapter& adapter) {
        const std::string text = "(" + monitor->getEventID(&adapter) + ")";
        std::vector<EventView> views;
        for (const Expected& e : events) {
            views.push_back({e.code, e.type, e.identifier, TLX_OBJ_ADAPTER, 4, Addr::kUnset,
                             Addr::kUnset, "A4", "", e.tag + text});
        }
        return views;
    }

    std::unique_ptr<TLXConfigBuilder> builder_;
};

TEST_F(AdapterComparison, EveryRowOfBothTables) {
    for (const AdapterCase& c : kCases) {
        System current, storedLive;
        Adapter* now = TreeBuilder(&current).adapter(4, "A4");
        Adapter* before = TreeBuilder(&storedLive).adapter(4, "A4");
        c.shape(*now, *before);
        if (c.result == kNoResult) {
            monitor->checkAdapter(monitor->queue(), now);
        } else {
            EXPECT_EQ(monitor->compareAdapter(monitor->queue(), now,
                                              c.stored ? readBack(storedLive) : nullptr),
                      c.result)
                << c.name;
        }
        EXPECT_EQ(takeEvents(), expand(c.events, *now)) << c.name;
    }
}

// A new controller read back from a snapshot reports what the snapshot holds: battery,
// warning, version status and the bad blocks of its logical drives.
TEST_F(AdapterComparison, CheckOfAStoredController) {
    System live;
    Adapter* adapter = TreeBuilder(&live).adapter(4, "A4");
    battery(*adapter, 8);
    adapter->setBatTempWarning(true);
    adapter->setVersionMatchStatus(CODE_VERSION_MISMATCH);
    badBlocks(*adapter);
    Adapter* stored = readBack(live);
    monitor->checkAdapter(monitor->queue(), stored);
    auto expected =
        expand(std::vector<Expected>{kState} + kBatteryLow + kBatteryHot +
                   std::vector<Expected>{{210, 2, "EVENT_VELMAR_VERSION_MISMATCH", "versions"},
                                         kBadStripes},
               *stored);
    expected[5].text = "versions(" + monitor->getEventID(stored) + "|||)";
    EXPECT_EQ(takeEvents(), expected);

    adapter->setBiosVersion("B1");
    adapter->setFirmwareVersion("F2");
    adapter->setDeviceDriverVersion("D3");
    monitor->checkAdapter(monitor->queue(), adapter);
    const auto events = takeEvents();
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[5].text, "versions(" + monitor->getEventID(adapter) + "|B1|F2|D3)");
}

// The bad-stripe interval is asked before the drives are looked at, and only by the
// comparison; checkAdapter reports bad stripes whenever it runs.
TEST_F(AdapterComparison, BadStripeInterval) {
    System current, storedLive;
    Adapter* now = TreeBuilder(&current).adapter(4, "A4");
    TreeBuilder(&storedLive).adapter(4, "A4");
    Adapter* stored = readBack(storedLive);
    const auto badStripeEvents = [&] {
        monitor->compareAdapter(monitor->queue(), now, stored);
        return takeEvents().size();
    };
    clock_.advanceSeconds(10);
    EXPECT_EQ(badStripeEvents(), 0u);  // the first question, answered yes, finds no bad blocks
    badBlocks(*now);
    EXPECT_EQ(badStripeEvents(), 0u);
    clock_.advanceSeconds(BaseRaidMonitor::kBadStripeInterval - 1);
    EXPECT_EQ(badStripeEvents(), 0u);
    clock_.advanceSeconds(1);
    EXPECT_EQ(badStripeEvents(), 1u);
    EXPECT_EQ(badStripeEvents(), 0u);
    monitor->checkAdapter(monitor->queue(), now);
    EXPECT_EQ(takeEvents().size(), 2u);
}

TEST_F(AdapterComparison, NullControllersAndTraceLines) {
    DebugMask::set(0xFFFFFF);
    System current;
    Adapter* now = TreeBuilder(&current).adapter(4, "A4");
    EXPECT_EQ(monitor->compareAdapter(monitor->queue(), nullptr, now), 13);
    monitor->checkAdapter(monitor->queue(), nullptr);
    EXPECT_TRUE(takeEvents().empty());
    monitor->compareAdapter(monitor->queue(), now, nullptr);
    monitor->compareAdapter(monitor->queue(), now, now);
    monitor->checkAdapter(monitor->queue(), now);
    std::string log = readFile("kvorlogs/TLXDebug.log");
    for (const char* line : {"]  ERROR: BaseRaidMonitor::compareAdapter newAdapterIN is NULL!!!\n",
                             "]  ERROR: BaseRaidMonitor::checkAdapter adapterIN is NULL!!!\n",
                             "]     Entering compareAdapter(&ecIN, ADPT: A4 vs NULL)\n",
                             "]     Entering compareAdapter(&ecIN, ADPT: A4 vs A4)\n",
                             "]     Entering checkAdapter(&ecIN, ADPT: 4)\n"}) {
        const size_t at = log.find(line);
        EXPECT_NE(at, std::string::npos) << line;
        log = at == std::string::npos ? log : log.substr(at);
    }
}

}  // namespace
