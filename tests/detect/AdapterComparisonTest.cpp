// Controller comparison and the report of a new controller, with the tagged catalog of
// DetectTestSupport. Stored controllers are snapshot objects, written by the builder and
// read back, as the change-detection cycle gets them.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "DetectTestSupport.h"
#include "snapshot/TLXAdapter.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"

namespace {

// What a row does: compare with no stored controller, compare with the stored one read
// back, check the current one, check the current one read back.
enum Mode { kCompareNew, kCompare, kCheck, kCheckStored };
// Values beyond the battery that only some rows set on the current controller: bad blocks,
// mismatched versions, heat-sink feature 47 on with 70 (at) or 69 (below) at threshold 70;
// otherwise 90 at threshold 70 with feature 47 off.
enum Extra : unsigned { kBadBlocks = 1, kMismatch = 2, kHeatAt = 4, kHeatBelow = 8 };

// clang-format off
struct State { int status, battery; bool warning; };
// Events are tags: "state!" is the state change as an error, a battery tag is a pair, and
// "|x|y" appends arguments after the controller's name. result: of compareAdapter.
struct AdapterCase { const char* name; Mode mode; State stored, current; unsigned extras; int result; const char* events; };
const State kGood{0, 0, false};

const AdapterCase kCases[] = {
    {"new: nothing else looked at", kCompareNew, kGood,  {0, 6, true},  kBadBlocks, 10, "added"},
    {"1 -> 0: replaced only",       kCompare, {1, 5, false}, {0, 6, true},  0,          11, "replaced"},
    {"0 -> 1: no battery, stripes", kCompare, {0, 5, false}, {1, 6, true},  kBadBlocks, 13, "state! failed"},
    {"2 -> 1: battery checked",     kCompare, {2, 5, false}, {1, 8, false}, 0,          13, "state! batteryLow"},
    {"1 -> 2: no replacement",      kCompare, {1, 0, false}, {2, 0, false}, 0,          13, "state"},
    {"battery 5 -> 7",              kCompare, {0, 5, false}, {0, 7, false}, 0,          12, ""},
    {"battery 8 -> 5",              kCompare, {0, 8, false}, {0, 5, false}, 0,          12, "batteryNormal"},
    {"battery 2 -> 7",              kCompare, {0, 2, false}, {0, 7, false}, 0,          12, "batteryNormal"},
    {"battery 5 -> 6",              kCompare, {0, 5, false}, {0, 6, false}, 0,          12, "newBattery"},
    {"battery 6 -> 9",              kCompare, {0, 6, false}, {0, 9, false}, 0,          12, ""},
    {"battery 5 -> 8, warning on",  kCompare, {0, 5, false}, {0, 8, true},  0,          12, "batteryLow batteryHot"},
    {"warning off",                 kCompare, {0, 2, true},  {0, 2, false}, 0,          12, "batteryCool"},
    {"both warnings on",            kCompare, {0, 5, true},  {0, 5, true},  0,          12, ""},
    {"no battery cache now",        kCompare, {0, 8, false}, {0, 3, true},  0,          12, ""},
    {"stripes; no versions, heat",  kCompare, kGood, kGood, kBadBlocks | kMismatch | kHeatAt, 12, "badStripes"},
    {"good, heat without 47",       kCheck, kGood, kGood,         0,                      0, "state"},
    {"failed: exactly two",         kCheck, kGood, {1, 6, true},  kBadBlocks | kMismatch, 0, "state! failed"},
    {"new battery",                 kCheck, kGood, {0, 6, false}, 0,                      0, "state newBattery"},
    {"low battery, warning",        kCheck, kGood, {0, 8, true},  0,                      0, "state batteryLow batteryHot"},
    {"normal battery",              kCheck, kGood, {0, 7, false}, 0,                      0, "state"},
    {"warning, no battery cache",   kCheck, kGood, {0, 1, true},  0,                      0, "state"},
    {"versions",                    kCheck, kGood, kGood,         kMismatch,              0, "state versions|B1|F2|D3"},
    {"heat at threshold",           kCheck, kGood, kGood,         kHeatAt,                0, "state hot"},
    {"heat below threshold",        kCheck, kGood, kGood,         kHeatBelow,             0, "state"},
    {"stripes",                     kCheck, kGood, kGood,         kBadBlocks,             0, "state badStripes"},
    {"stored: what it holds",       kCheckStored, kGood, {0, 8, true}, kBadBlocks | kMismatch, 0,
     "state batteryLow batteryHot versions||| badStripes"},
};

// tag -> code, type, identifier of the event, and the type of its state-change partner for a
// pair (0: no pair).
struct Raised { int code, type; std::string identifier; int pairType; };
const std::map<std::string, Raised> kRaised = {
    {"added", {207, 3, "EVENT_VELMAR_STATE_ADDED", 0}},   {"replaced", {208, 3, "EVENT_VELMAR_STATE_REPLACED", 0}},
    {"state", {299, 3, "EVENT_VELMAR_STATE_CHANGE", 0}},  {"state!", {299, 1, "EVENT_VELMAR_STATE_CHANGE", 0}},
    {"failed", {202, 1, "EVENT_VELMAR_STATE_FAILED", 0}}, {"newBattery", {203, 1, "", 2}},
    {"batteryLow", {214, 2, "", 2}},                      {"batteryNormal", {217, 3, "", 3}},
    {"batteryHot", {211, 2, "", 2}},                      {"batteryCool", {216, 3, "", 3}},
    {"badStripes", {215, 2, "EVENT_VELMAR_CONTROLLER_BAD_STRIPES", 0}},
    {"versions", {210, 2, "EVENT_VELMAR_VERSION_MISMATCH", 0}},
    {"hot", {213, 2, "EVENT_VELMAR_CONTROLLER_OVERTEMP", 0}},
};
// clang-format on

Adapter* shaped(System& system, const State& state, unsigned extras) {
    ModelBuilder build(&system);
    Adapter* a = build.adapter(4, "A4");
    build.status(a, static_cast<EnumControllerStatus>(state.status));
    build.battery(a, static_cast<EnumBatteryStatus>(state.battery), state.warning);
    build.versions(a, "B1", "F2", "D3");
    build.temperature(a, extras & kHeatAt ? 70 : extras & kHeatBelow ? 69 : 90, 70);
    a->setFeature(FEATURE_HEAT_SINK_TEMPERATURE, extras & (kHeatAt | kHeatBelow) ? 1 : 0);
    a->setVersionMatchStatus(extras & kMismatch ? CODE_VERSION_MISMATCH : CODE_VERSION_MATCH);
    build.logicalDrive(a, 0)->setBadBlockCount(extras & kBadBlocks ? 3 : 0);
    return a;
}

class AdapterComparison : public DetectTest {
protected:
    // The stored form of live: written by the builder and read back.
    Adapter* readBack(System& live) {
        builder_ = std::make_unique<TLXConfigBuilder>(path("TLXVLConfig.xml"));
        builder_->build(&live, nullptr);
        EXPECT_TRUE(builder_->writeXML() && builder_->readXML());
        return dynamic_cast<TLXAdapter*>(builder_->getSystem()->getChild(0));
    }

    std::vector<std::string> expected(const char* tags, Adapter* adapter) {
        std::vector<std::string> events;
        std::istringstream list(tags);
        for (std::string tag; list >> tag;) {
            const std::string key = tag.substr(0, tag.find('|'));
            const std::string text = key.substr(0, key.find('!')) + "(" +
                                     monitor->getEventID(adapter) + tag.substr(key.size()) + ")";
            const auto event = [&](int code, int type, const std::string& identifier) {
                events.push_back(std::to_string(code) + " t" + std::to_string(type) +
                                 " o2 A4 ser=A4" + (identifier.empty() ? "" : " id=") + identifier +
                                 " | " + text);
            };
            const Raised& r = kRaised.at(key);
            event(r.code, r.type, r.identifier);
            if (r.pairType != 0) {
                event(299, r.pairType, "EVENT_VELMAR_STATE_CHANGE");
            }
        }
        return events;
    }

    std::unique_ptr<TLXConfigBuilder> builder_;
};

TEST_F(AdapterComparison, EveryRowOfBothTables) {
    for (const AdapterCase& c : kCases) {
        System current, stored;
        Adapter* now = shaped(current, c.current, c.extras);
        shaped(stored, c.stored, 0);
        if (c.mode == kCompareNew || c.mode == kCompare) {
            EXPECT_EQ(monitor->compareAdapter(monitor->queue(), now,
                                              c.mode == kCompare ? readBack(stored) : nullptr),
                      c.result)
                << c.name;
        } else {
            monitor->checkAdapter(monitor->queue(), c.mode == kCheck ? now : readBack(current));
        }
        EXPECT_EQ(monitor->take(), expected(c.events, now)) << c.name;
    }
}

// The interval is asked before the drives are looked at, and only by the comparison.
TEST_F(AdapterComparison, BadStripeInterval) {
    System current, storedLive;
    Adapter* now = shaped(current, kGood, 0);
    shaped(storedLive, kGood, 0);
    Adapter* stored = readBack(storedLive);
    std::vector<size_t> counts;
    for (const int64_t advance : {10L, 0L, BaseRaidMonitor::kBadStripeInterval - 1L, 1L, 0L}) {
        clock_.advanceSeconds(advance);
        monitor->compareAdapter(monitor->queue(), now, stored);
        counts.push_back(monitor->take().size());
        // The first question, answered yes, finds no bad blocks.
        static_cast<LogicalDrive*>(now->getChild(0))->setBadBlockCount(1);
    }
    EXPECT_EQ(counts, (std::vector<size_t>{0, 0, 0, 1, 0}));
    monitor->checkAdapter(monitor->queue(), now);
    EXPECT_EQ(monitor->take().size(), 2u);
}

// A host may call the exported comparisons itself: a null controller, drive or enclosure
// raises nothing and crashes nothing.
TEST_F(AdapterComparison, NullObjectsAreRefused) {
    System system;
    Adapter* a = shaped(system, kGood, 0);
    EXPECT_EQ(monitor->compareAdapter(monitor->queue(), nullptr, a), 13);
    monitor->checkAdapter(monitor->queue(), nullptr);
    monitor->comparePhysicalDrives(monitor->queue(), nullptr, a);
    monitor->checkPhysicalDrive(monitor->queue(), nullptr, nullptr);
    monitor->checkPhysicalDrive(monitor->queue(), a, nullptr);
    monitor->compareLogicalDrives(monitor->queue(), nullptr, a);
    monitor->checkLogicalDrive(monitor->queue(), nullptr, nullptr);
    monitor->checkLogicalDrive(monitor->queue(), a, nullptr);
    monitor->compareSafte(monitor->queue(), nullptr, a);
    monitor->checkSafte(monitor->queue(), nullptr);
    monitor->checkSafte(monitor->queue(), a, nullptr);
    EXPECT_EQ(monitor->getFanStatus(nullptr, 0), SAFTE_STATUS_NOT_PRESENT);
    EXPECT_TRUE(monitor->take().empty());
}

}  // namespace
