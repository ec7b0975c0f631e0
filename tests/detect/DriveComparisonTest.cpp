// Drives and logical drives of a stored and a current controller, in tables run the way the
// change-detection cycle sees them: the stand-in library's model is shaped as stored,
// written as a snapshot and read back, shaped again as current (its drives with new serial
// numbers, so that each event shows which copy it took its fields from), and a compare (or
// check) member runs on every current controller. Controller 0 is "A1" with channel 0 and a
// logical drive limit of 7; the shipped catalog names the objects; both timers start spent.
#include <gtest/gtest.h>

#include <map>

#include "DetectTestSupport.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"

namespace {

constexpr uint32_t U = Addr::kUnset;

// One expected event: its fields come from the drive (by device ID) or logical drive (by ID)
// `id` of the stored ('S') or current ('C') controller 0.
// clang-format off
struct Expect { int code, type; const char* identifier; uint32_t id; std::string text; char from; };
// clang-format on
using Expects = std::vector<Expect>;

Expects operator+(Expects a, const Expects& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

enum CaseFlags { kTimerDue = 1, kCheck = 2, kSwitchOff = 4 };

// clang-format off
// An Entry describes one drive or logical drive; shape() builds the listed ones.
template <typename Entry>
struct Case { const char* name; std::vector<Entry> before, after; Expects events; int flags = 0; };

// What each event code stands for: its identifier and the start of its text; the text then
// names the drive (4xx codes) or logical drive (3xx).
const std::map<int, std::pair<const char*, const char*>> kKinds = {
    {408, {"EVENT_VELMAR_CONFIGURATION_CHANGE_REMOVE_PD", "A physical drive was removed: "}},
    {407, {"EVENT_VELMAR_CONFIGURATION_CHANGE_ADD_PD", "A physical drive was added: "}},
    {499, {"EVENT_VELMAR_PD_STATE_CHANGE", "The state of a physical drive changed: "}},
    {401, {"EVENT_VELMAR_PD_STATE_FAILED", "A physical drive failed: "}},
    {404, {"EVENT_VELMAR_PD_STATE_FAILED", "A physical drive failed: "}},
    {403, {"EVENT_VELMAR_PD_STATE_READY", "A failed physical drive was replaced or works again: "}},
    {497, {"EVENT_VELMAR_PD_STATE_HOTSPARE", "A hot spare drive was created: "}},
    {498, {"EVENT_VELMAR_PD_STATE_READY", "A hot spare drive was deleted: "}},
    {402, {"EVENT_VELMAR_PD_PFA_ERROR_YES", "A physical drive predicts its own failure: "}},
    {405, {"EVENT_VELMAR_PD_PFA_ERROR_YES", "A physical drive predicts its own failure: "}},
    {406, {"EVENT_VELMAR_PD_DRV_UNSUPPORTED", "A physical drive of an unsupported vendor is installed: "}},
    {347, {"EVENT_VELMAR_CONFIGURATION_CHANGE_DELETE_LD", "A logical drive was deleted: "}},
    {346, {"EVENT_VELMAR_CONFIGURATION_CHANGE_ADD_LD", "A logical drive was added: "}},
    {399, {"EVENT_VELMAR_STATE_CHANGE_LD", "The state of a logical drive changed: "}},
    {303, {"EVENT_VELMAR_LD_STATE_OFFLINE", "A logical drive is offline: "}},
    {301, {"EVENT_VELMAR_LD_STATE_CRITICAL", "A logical drive is critical: "}},
    {345, {"EVENT_VELMAR_LD_STATE_NORMAL", "A logical drive is okay again: "}},
    {302, {"EVENT_VELMAR_LD_STATE_BLOCKED", "Access to a logical drive is blocked: "}},
    {331, {"EVENT_VELMAR_CONFIGURATION_CHANGE_UNBLOCK", "Access to a logical drive is no longer blocked: "}},
    {338, {"EVENT_VELMAR_LD_STATE_CRITICAL_PERIODIC", "Logical drives are still critical, the first of them: "}},
};
// clang-format on

// The event `code` of severity `type` about drive or logical drive `id`, its text ending with
// `tail`, its fields from the stored ('S') or current ('C') copy.
Expect E(int code, int type, uint32_t id, char from = 'C', const std::string& tail = ".") {
    const auto& [identifier, text] = kKinds.at(code);
    const std::string name = code >= 400 ? "drive " + std::to_string(id) + " on channel 1"
                                         : "logical drive " + std::to_string(id + 1);
    const std::string controller = " of controller 1 VELMAR RAID Controller #A1 (slot Unknown)";
    return {code, type, identifier, id, text + name + controller + tail, from};
}

// An event and its state-change companion (499 or 399) with the same text and fields; the
// companion has the event's severity unless type is given.
Expects pair(const Expect& e, int type = 0) {
    const int code = e.code >= 400 ? 499 : 399;
    return {e, {code, type != 0 ? type : e.type, kKinds.at(code).first, e.id, e.text, e.from}};
}

class DriveComparisonTest : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        installShippedCatalog();
        writeFile("TLXConfig.ini", "");
    }

    template <typename Entry, typename Compare, typename Check>
    void runCases(const std::vector<Case<Entry>>& cases, Compare compare, Check check,
                  int timerInterval, EnumObjectType type) {
        for (const Case<Entry>& c : cases) {
            SCOPED_TRACE(c.name);
            DetectMonitor monitor(&lib, "", "", "");
            clock_.advanceSeconds(1);  // a timer's first yes at time 0 would not count as spent
            monitor.isTimeToReportUnsupportedDrives();
            monitor.isTimeToReportCriticalLogicalDrives();
            const auto model = [&](const std::vector<Entry>& entries, bool current) {
                lib.setHardwareModel(nullptr);
                ModelBuilder build(lib.getHardwareModel());
                Adapter* adapter = build.adapter(0, "A1");
                adapter->setLimit(LIMIT_MAX_LOGICAL_DRIVES, 7);
                shape(build, adapter, build.channel(adapter, 0), entries, current);
            };
            model(c.before, false);
            TLXConfigBuilder builder(path("TLXVLConfig.xml"));
            builder.build(lib.getNewSystem(), nullptr);
            ASSERT_TRUE(builder.writeXML() && builder.readXML());
            model(c.after, true);
            clock_.advanceSeconds((c.flags & kTimerDue) != 0 ? timerInterval : 0);
            monitor.setReportUnsupportedDrives((c.flags & kSwitchOff) == 0);
            for (RaidObject* now : lib.getNewSystem()->getChildren()) {
                auto* adapter = static_cast<Adapter*>(now);
                if ((c.flags & kCheck) != 0) {
                    (monitor.*check)(monitor.queue(), adapter);
                } else {
                    (monitor.*compare)(monitor.queue(), adapter,
                                       static_cast<Adapter*>(builder.getSystem()->getObject(
                                           now->getAdapterID(), U, U, U, U)));
                }
            }
            std::vector<std::string> want;
            for (const Expect& e : c.events) {
                want.push_back(expected(e, type, builder.getSystem()));
            }
            EXPECT_EQ(monitor.take(), want);
        }
    }

private:
    // As describe() writes it: the drive's fields from the stored or current tree.
    std::string expected(const Expect& x, EnumObjectType type, RaidObject* storedRoot) {
        const auto* drive = dynamic_cast<HardDrive*>(
            (x.from == 'S' ? storedRoot : lib.getCurrentSystem())->getObject(0, U, U, 0, x.id));
        const std::string fru = drive != nullptr ? drive->getFruNumber() : "";
        return std::to_string(x.code) + " t" + std::to_string(x.type) + " o" +
               std::to_string(type) + " A0" + (drive == nullptr ? "L" : "C0D") +
               std::to_string(x.id) + " ser=A1" + (fru.empty() ? "" : " fru=" + fru) +
               (drive != nullptr ? " hd=" + std::string(drive->getSerialNumber()) : "") +
               " id=" + x.identifier + " | " + x.text;
    }

    VelmarLib lib;
};

// A drive on channel 0; a null vendor or model keeps the builder's ("QEB-LMD", "DISK-<id>").
// clang-format off
struct Drive { uint32_t device; int state; bool pfaSupported = false, pfaError = false;
               const char *fru = "", *vendor = nullptr, *model = nullptr; };
// clang-format on

void shape(ModelBuilder& build, Adapter*, Channel* channel, const std::vector<Drive>& drives,
           bool current) {
    for (const Drive& d : drives) {
        HardDrive* drive =
            build.drive(channel, d.device, static_cast<EnumPhysicalDeviceState>(d.state));
        drive->setPfaSupported(d.pfaSupported);
        drive->setPfaError(d.pfaError);
        drive->setFruNumber(d.fru);
        drive->setVendor(d.vendor != nullptr ? d.vendor : drive->getVendor());
        drive->setModel(d.model != nullptr ? d.model : drive->getModel());
        drive->setSerialNumber((current ? "NEW" : "") + std::string(drive->getSerialNumber()));
    }
}

TEST_F(DriveComparisonTest, PhysicalDriveCases) {
    const std::string qeb3 = ". Replace it with qeb-lmd DISK-3.";
    // clang-format off
    const std::vector<Case<Drive>> cases = {
        {"3 missing, 4 from 1 to 7: removal pairs, then 4's plain state change", {{3, 1}, {4, 1}}, {{4, 7}},
         pair(E(408, 3, 3, 'S'), 1) + pair(E(408, 3, 4, 'S'), 1) + Expects{E(499, 3, 4)}},
        // Vendors are compared exactly after trimming; the timer is asked last and only for an
        // unsupported drive, so its yes goes to drive 5, not to 3 (reported at once), 4 or 6.
        {"3 from 7 to 1, unsupported", {{3, 7, 0, 0, "", "ACME"}, {4, 1, 0, 0, "", "QEB-LMD \t "}, {5, 1, 0, 0, "", "qeb-lmd"}, {6, 1, 0, 0, "", "ACME"}},
         {{3, 1, 0, 0, "", "ACME"}, {4, 1, 0, 0, "", "QEB-LMD \t "}, {5, 1, 0, 0, "", "qeb-lmd"}, {6, 1, 0, 0, "", "ACME"}},
         {E(407, 3, 3), E(499, 3, 3), E(406, 2, 3), E(499, 3, 3), E(406, 2, 3), E(406, 2, 5)}, kTimerDue},
        {"unsupported, switched off", {{3, 1}}, {{3, 1, 0, 0, "", "qeb-lmd"}}, {}, kTimerDue | kSwitchOff},
        // 3: code by the stored FRU, key by the current replacement text; 4: neither.
        {"1 to 2", {{3, 1, 0, 0, "F1"}, {4, 1}}, {{3, 2}, {4, 2, 0, 0, "", nullptr, ""}},
         pair(E(404, 1, 3, 'S', ". Replace it with QEB-LMD DISK-3.")) + pair(E(401, 1, 4, 'S'))},
        {"2 to 1, 0 to 4, 4 to 0", {{3, 2}, {4, 0}, {5, 4}}, {{3, 1}, {4, 4}, {5, 0}},
         pair(E(403, 3, 3)) + pair(E(497, 3, 4)) + pair(E(498, 3, 5))},
        {"0 to 5 with PFA newly set, 5 to 1: quiet", {{3, 0, true}, {4, 5}}, {{3, 5, true, true}, {4, 1}}, {}},
        {"PFA set; cleared; set, unsupported on the stored copy", {{3, 1, true}, {4, 1, true, true}, {5, 1}},
         {{3, 1, true, true, "F2"}, {4, 1, true}, {5, 1, true, true}}, pair(E(405, 2, 3, 'C', ". Replace it with FRU part F2."))},
        {"devices 0x00FF and 0x100FF are no drives, 0x01FF and 0x02FF are", {{0xFF, 1}, {0x1FF, 1}}, {{0x100FF, 1}, {0x2FF, 1}},
         pair(E(408, 3, 0x1FF, 'S'), 1) + Expects{E(407, 3, 0x2FF), E(499, 3, 0x2FF)}},
        {"report without history: PFA wins the severity, 0x00FF is skipped", {}, {{3, 2, true, true, "", "qeb-lmd"}, {0xFF, 2}},
         {E(499, 2, 3), E(401, 1, 3, 'C', qeb3), E(402, 2, 3, 'C', qeb3), E(406, 2, 3)}, kCheck},
    };
    // clang-format on
    runCases(cases, &BaseRaidMonitor::comparePhysicalDrives, &BaseRaidMonitor::checkPhysicalDrives,
             BaseRaidMonitor::kUnsupportedDrivesInterval, TLX_OBJ_PHYSICAL_DRIVE);
}

// A logical drive of controller `adapter` (1 is made on demand, with limit 0).
// clang-format off
struct Logical { uint32_t id; int state; bool blocked = false; uint32_t adapter = 0; };
// clang-format on

void shape(ModelBuilder& build, Adapter* first, Channel*, const std::vector<Logical>& drives,
           bool) {
    Adapter* second = nullptr;
    for (const Logical& l : drives) {
        second = l.adapter == 0 || second != nullptr ? second : build.adapter(1, "B2");
        build
            .logicalDrive(l.adapter == 0 ? first : second, l.id,
                          static_cast<EnumLogicalDeviceState>(l.state))
            ->setBlockedAccess(l.blocked);
    }
}

TEST_F(DriveComparisonTest, LogicalDriveCases) {
    // clang-format off
    const std::vector<Case<Logical>> cases = {
        {"deleted in state 2, 5 (no part), at the limit and above it", {{0, 2}, {1, 5}, {7, 2}, {8, 2}}, {}, {E(347, 3, 0), E(347, 3, 7)}},
        {"0 to 2 and 4 to 2 are quiet, 2 to 7 takes no part", {{0, 0}, {1, 4}, {2, 2}}, {{0, 2}, {1, 2}, {2, 7}}, {}},
        {"0 to 1 and 0 to 3: offline and critical come before added; 3 to 6; 3 to 2",
         {{0, 0}, {1, 0}, {2, 3}, {3, 3}}, {{0, 1}, {1, 3}, {2, 6}, {3, 2}},
         pair(E(303, 1, 0)) + pair(E(301, 2, 1)) + Expects{E(399, 3, 2)} + pair(E(345, 3, 3))},
        {"blocked access set, cleared", {{0, 2}, {1, 2, true}}, {{0, 2, true}, {1, 2}}, pair(E(302, 1, 0)) + pair(E(331, 3, 1))},
        {"added: the state event first, then the specific ones", {}, {{1, 3, true}},
         {E(346, 3, 1, 'C', ", 0.00 GB, RAID level 5."), E(399, 2, 1), E(301, 2, 1), E(302, 1, 1)}},
        {"the reminder names the first critical logical drive", {{0, 2}, {1, 6}, {2, 3}, {3, 2}}, {{0, 2}, {1, 6}, {2, 3}, {3, 2}},
         {E(338, 2, 1)}, kTimerDue},
        {"two controllers: the first, with none critical, spends the yes", {{0, 2}, {0, 3, false, 1}}, {{0, 2}, {0, 3, false, 1}}, {}, kTimerDue},
        {"report without history: states 5 and 7 too, nothing above the limit", {}, {{0, 1, true}, {5, 5}, {7, 7}, {8, 1}},
         {E(399, 1, 0), E(303, 1, 0), E(302, 1, 0), E(399, 3, 5), E(399, 2, 7), E(301, 2, 7)}, kCheck},
    };
    // clang-format on
    runCases(cases, &BaseRaidMonitor::compareLogicalDrives, &BaseRaidMonitor::checkLogicalDrives,
             BaseRaidMonitor::kCriticalLogicalDrivesInterval, TLX_OBJ_LOGICAL_DRIVE);
}

}  // namespace
