// The start-of-run cycle end to end: a first run writes the snapshot, the hardware changes,
// and a second start() of the same monitor compares against the file. What the cycle itself
// decides is asserted: which controllers pair up (their comparison traces), which are new,
// which stored ones are reported removed (event 202), and what happens to a damaged file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MonitorTestSupport.h"
#include "raidlib/ModelBuilder.h"

namespace {

class ChangeDetectionCycleTest : public MonitorLoopTest {
protected:
    // The hardware: controllers with IDs 0.. and these serial numbers.
    void install(const std::vector<std::string>& serials) {
        lib.setHardwareModel(nullptr);
        ModelBuilder tree(lib.getHardwareModel());
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
    // before: the first run's controllers (none: no first run, no snapshot); cut: the
    // snapshot is cut at controller "B"; removed: serials of the 202 events, in order; added:
    // current controllers without a stored twin; paired: controllers compared with theirs.
    // clang-format off
    const struct {
        const char* name; Serials before, after; bool cut; bool discoveryFails;
        Serials removed; int added, paired;
    } kCases[] = {
        {"first run", {}, {"A"}, false, false, {}, 1, 0},
        {"nothing changed", {"A"}, {"A"}, false, false, {}, 0, 1},
        {"replaced board", {"A"}, {"B"}, false, false, {"A"}, 1, 0},
        {"two kept, order swapped", {"A", "B"}, {"B", "A"}, false, false, {}, 0, 2},
        {"one of two gone", {"A", "B"}, {"B"}, false, false, {"A"}, 0, 1},
        {"no controller found now", {"A"}, {}, false, false, {}, 0, 0},
        {"discovery fails", {"A"}, {"A"}, false, true, {}, 0, 0},
        // Serial numbers as the snapshot stores them: control characters, top bits cleared.
        {"control character", {"S\x01N"}, {"S\x01N"}, false, false, {}, 0, 1},
        {"top bits", {"X\xC1\x9F"}, {"X\xC1\x9F"}, false, false, {}, 0, 1},
        {"byte that clears to NUL", {"AB\200CD"}, {"AB\200CD"}, false, false, {}, 0, 1},
        {"two without serial", {""}, {"", ""}, false, false, {}, 0, 2},
        // A damaged snapshot (the reader tells cut and malformed texts) is set aside and the
        // run is a first run.
        {"cut inside a controller", {"A", "B"}, {"A", "B"}, true, false, {}, 2, 0},
    };
    // clang-format on
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
        std::string damaged = readFile("TLXVLConfig.xml");
        if (c.cut) {
            writeFile("TLXVLConfig.xml.bad", "an earlier damaged file");
            damaged = damaged.substr(0, damaged.find("controllerSerial=\"B\""));
            writeFile("TLXVLConfig.xml", damaged);
        }
        install(c.after);
        lib.setDiscoveryFails(c.discoveryFails);

        const std::string log = runOnce(monitor);
        Serials removed;
        for (const TLXEvent& e : monitor.getEvents(0)) {
            if (e.getEventCode() == 202) {
                removed.push_back(e.getAdapterSerial());
                EXPECT_EQ(c.before.at(e.getAdapterID()), e.getAdapterSerial());
            }
        }
        EXPECT_EQ(removed, c.removed);
        EXPECT_EQ(counts(log, {"]  New Adapter Found\n",
                               "]  Compare the Physical Drvies on the Old and New Adapters\n",
                               "]  Exiting VelmarMonitor::vlEventPersistence()\n"}),
                  (std::vector<int>{c.added, c.paired, 1}));
        EXPECT_EQ(counts(readFile("TLXVLConfig.xml"), {"<Controller "}),
                  std::vector<int>{static_cast<int>(c.after.size())});
        EXPECT_EQ(readFile("TLXVLConfig.xml.bad"), c.cut ? damaged : "");
        EXPECT_EQ(
            counts(log, {"]  ERROR: The stored system config " + path("TLXVLConfig.xml") +
                         " is damaged; moved aside as " + path("TLXVLConfig.xml.bad") + "\n"}),
            std::vector<int>{c.cut ? 1 : 0});
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
    EXPECT_EQ(counts(debugLog().substr(before),
                     {"]  Monitor Stopped\n", "Reading the stored system config",
                      "]  In VelmarMonitor::writeXML()\n", "Set the progress Collection"}),
              (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(lib.getCurrentSystem(), nullptr);  // no tree taken
    EXPECT_EQ(readFile("TLXVLConfig.xml"), stored);
    EXPECT_FALSE(exists("TLXVLConfig.xml.bad"));
    EXPECT_EQ(monitor.getNumberOfEvents(), 0u);
}

}  // namespace
