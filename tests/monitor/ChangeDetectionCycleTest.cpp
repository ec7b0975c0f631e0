// The start-of-run cycle end to end: a first run writes the snapshot, the hardware changes,
// and a second start() of the same monitor compares against the file. What the cycle itself
// decides is asserted: which controllers pair up (their comparison traces), which are new,
// which stored ones are reported removed (event 202), and what happens to a damaged file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MonitorTestSupport.h"
#include "support/TreeBuilder.h"

namespace {

enum class Damage { None, CutInsideAController, CutBeforeTheRootsEnd, Malformed };

// The snapshot text with the given damage done to the element of the controller "B".
std::string damage(std::string text, Damage how) {
    const size_t serial = text.find("controllerSerial=\"B\"");
    switch (how) {
        case Damage::None:
            return text;
        case Damage::CutInsideAController:
            return text.substr(0, serial);
        case Damage::CutBeforeTheRootsEnd:
            return text.substr(0, text.find("</System>"));
        case Damage::Malformed:
            return text.replace(serial, 20, "controllerSerial=B");
    }
    return text;
}

class ChangeDetectionCycleTest : public MonitorLoopTest {
protected:
    void SetUp() override {
        MonitorLoopTest::SetUp();
        writeFile("RaidNLS.properties",
                  readFile("RaidNLS.properties") + "agentEventInfControllerRemoved=gone: {0}\n");
    }

    // The hardware: controllers with IDs 0.. and these serial numbers.
    void install(const std::vector<std::string>& serials) {
        lib.setHardwareModel(nullptr);
        TreeBuilder tree(lib.getHardwareModel());
        for (size_t i = 0; i < serials.size(); ++i) {
            tree.adapter(static_cast<uint32_t>(i), serials[i]);
        }
    }

    // One run up to its first wait; returns the debug lines it wrote.
    std::string runOnce(VelmarMonitor& monitor) {
        const size_t before = debugLog().size();
        runWaits(monitor, 1);
        return debugLog().substr(before);
    }
};

TEST_F(ChangeDetectionCycleTest, SecondStartPairsByStoredSerialAndReportsGoneControllersOnce) {
    using Serials = std::vector<std::string>;
    const struct {
        const char* name;
        Serials before;  // the first run's controllers; none: no first run, no snapshot
        Serials after;
        Damage damage;
        bool discoveryFails;
        Serials removed;  // serials of the 202 events, in order
        int added;        // current controllers without stored twin
        int paired;
    } kCases[] = {
        {"first run", {}, {"A"}, Damage::None, false, {}, 1, 0},
        {"nothing changed", {"A"}, {"A"}, Damage::None, false, {}, 0, 1},
        {"replaced board", {"A"}, {"B"}, Damage::None, false, {"A"}, 1, 0},
        {"two kept, order swapped", {"A", "B"}, {"B", "A"}, Damage::None, false, {}, 0, 2},
        {"one of two gone", {"A", "B"}, {"B"}, Damage::None, false, {"A"}, 0, 1},
        {"no controller found now", {"A"}, {}, Damage::None, false, {}, 0, 0},
        {"discovery fails", {"A"}, {"A"}, Damage::None, true, {}, 0, 0},
        {"control character", {"S\x01N"}, {"S\x01N"}, Damage::None, false, {}, 0, 1},
        {"top bits", {"X\xC1\x9F"}, {"X\xC1\x9F"}, Damage::None, false, {}, 0, 1},
        {"byte that clears to NUL",
         {"AB\x80"
          "CD"},
         {"AB\x80"
          "CD"},
         Damage::None,
         false,
         {},
         0,
         1},
        {"two without serial", {""}, {"", ""}, Damage::None, false, {}, 0, 2},
        {"cut inside a controller",
         {"A", "B"},
         {"A", "B"},
         Damage::CutInsideAController,
         false,
         {},
         2,
         0},
        {"cut before the root's end",
         {"A", "B"},
         {"A", "B"},
         Damage::CutBeforeTheRootsEnd,
         false,
         {},
         2,
         0},
        {"malformed", {"A", "B"}, {"A", "B"}, Damage::Malformed, false, {}, 2, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path("TLXVLConfig.xml"));
        std::filesystem::remove(path("TLXVLConfig.xml.bad"));
        lib.setDiscoveryFails(false);
        TestVelmarMonitor monitor(&lib);
        if (!c.before.empty()) {
            install(c.before);
            runOnce(monitor);
            monitor.getEvents(0);
        }
        std::string damaged;
        if (c.damage != Damage::None) {
            writeFile("TLXVLConfig.xml.bad", "an earlier damaged file");
            damaged = damage(readFile("TLXVLConfig.xml"), c.damage);
            writeFile("TLXVLConfig.xml", damaged);
        }
        install(c.after);
        lib.setDiscoveryFails(c.discoveryFails);

        const std::string log = runOnce(monitor);
        Serials removed;
        for (const TLXEvent& event : monitor.getEvents(0)) {
            if (event.getEventCode() != 202) {
                continue;
            }
            removed.push_back(event.getAdapterSerial());
            EXPECT_EQ(event.getEventType(), TLX_EVENT_INFORMATIONAL);
            EXPECT_EQ(event.getObjectType(), TLX_OBJ_ADAPTER);
            EXPECT_EQ(event.getIndentifier(), "EVENT_VELMAR_STATE_FAILED");
            EXPECT_EQ(event.getEventDesc().rfind("gone: ", 0), 0u) << event.getEventDesc();
            EXPECT_EQ(c.before.at(event.getAdapterID()), event.getAdapterSerial());
        }
        EXPECT_EQ(removed, c.removed);
        EXPECT_EQ(countOf(log, "]  New Adapter Found\n"), c.added);
        EXPECT_EQ(countOf(log, "]  Compare the Physical Drvies on the Old and New Adapters\n"),
                  c.paired);
        EXPECT_EQ(countOf(log, "]  Exiting VelmarMonitor::vlEventPersistence()\n"), 1);
        EXPECT_EQ(countOf(readFile("TLXVLConfig.xml"), "<Controller "),
                  static_cast<int>(c.after.size()));
        if (c.damage == Damage::None) {
            EXPECT_FALSE(exists("TLXVLConfig.xml.bad"));
        } else {
            EXPECT_EQ(readFile("TLXVLConfig.xml.bad"), damaged);
            EXPECT_EQ(countOf(log, "]  ERROR: The stored system config " + path("TLXVLConfig.xml") +
                                       " is damaged; moved aside as " +
                                       path("TLXVLConfig.xml.bad") + "\n"),
                      1);
        }
    }
}

TEST_F(ChangeDetectionCycleTest, WithPollingDisabledTheCycleAndTheWriteTouchNothing) {
    install({"A"});
    const std::string stored = "<System><Controller controllerSerial=\"Z\"/>";  // damaged
    writeFile("TLXVLConfig.xml", stored);
    TestVelmarMonitor monitor(&lib);
    const size_t before = debugLog().size();
    monitor.vlEventPersistence();
    monitor.writeXML();

    const std::string log = debugLog().substr(before);
    EXPECT_EQ(countOf(log, "]  Monitor Stopped\n"), 1);
    EXPECT_EQ(countOf(log, "Reading the stored system config"), 0);
    EXPECT_EQ(countOf(log, "]  In VelmarMonitor::writeXML()\n"), 1);
    EXPECT_EQ(countOf(log, "Set the progress Collection"), 0);
    EXPECT_EQ(lib.getCurrentSystem(), nullptr);  // no tree taken
    EXPECT_EQ(readFile("TLXVLConfig.xml"), stored);
    EXPECT_FALSE(exists("TLXVLConfig.xml.bad"));
    EXPECT_EQ(monitor.getNumberOfEvents(), 0u);
}

TEST_F(ChangeDetectionCycleTest, ControllersAreLookedUpByAdapterIDInTheLatestAndPreviousTree) {
    TreeBuilder tree(lib.getHardwareModel());
    tree.adapter(7, "S7");
    Adapter* three = tree.adapter(3, "S3");
    TestVelmarMonitor monitor(&lib);
    EXPECT_EQ(monitor.getCurrentAdapter(3), nullptr);
    EXPECT_EQ(monitor.getOldAdapter(3), nullptr);
    const std::string log = debugLog();
    EXPECT_EQ(countOf(log, "]  ERROR: Current System is NULL \n"), 1);
    EXPECT_EQ(countOf(log, "]  ERROR: Old System is NULL \n"), 1);

    lib.getNewSystem();
    three->setSerialNumString("S3-new");
    lib.getNewSystem();
    const struct {
        bool latest;
        int adapterID;
        const char* serial;  // null: none
    } kCases[] = {
        {true, 3, "S3-new"}, {true, 7, "S7"},    {false, 3, "S3"},    {false, 7, "S7"},
        {true, 0, nullptr},  {true, 1, nullptr}, {false, 1, nullptr}, {true, -1, nullptr},
    };
    for (const auto& c : kCases) {
        Adapter* adapter =
            c.latest ? monitor.getCurrentAdapter(c.adapterID) : monitor.getOldAdapter(c.adapterID);
        if (c.serial == nullptr) {
            EXPECT_EQ(adapter, nullptr) << c.adapterID;
        } else {
            ASSERT_NE(adapter, nullptr) << c.adapterID;
            EXPECT_STREQ(adapter->getSerialNumString(), c.serial);
            EXPECT_EQ(adapter->getAdapterID(), static_cast<uint32_t>(c.adapterID));
        }
    }
}

}  // namespace
