// Logical drives of a stored and a current controller: deletion, the state branches with
// their companion event, blocked access, the critical reminder and its timer, the ID limit,
// and the report of a controller without history. Logical drive 0 starts okay; the
// controller's limit is 7.
#include <functional>

#include "detect/DriveComparisonFixture.h"

namespace {

struct Model {
    TreeBuilder& build;
    Adapter* adapter;
    LogicalDrive* l;
    FakeClock& clock;
    void timerDue() const { clock.advanceSeconds(BaseRaidMonitor::kCriticalLogicalDrivesInterval); }
};

struct LdCase {
    const char* name;
    std::function<void(Model&)> before;
    std::function<void(Model&)> after;
    std::vector<Expect> events;
    bool check = false;  // checkLogicalDrives on the current controller instead
};

const char* const kChange = "EVENT_VELMAR_STATE_CHANGE_LD";
const char* const kOffline = "EVENT_VELMAR_LD_STATE_OFFLINE";
const char* const kCritical = "EVENT_VELMAR_LD_STATE_CRITICAL";
const char* const kBlocked = "EVENT_VELMAR_LD_STATE_BLOCKED";

std::string say(const char* text, uint32_t id) {
    return text + ld(id) + ".";
}
const char* const kChangedText = "The state of a logical drive changed: ";
const char* const kOfflineText = "A logical drive is offline: ";
const char* const kCriticalText = "A logical drive is critical: ";
const char* const kBlockedText = "Access to a logical drive is blocked: ";

const auto kNothing = [](Model&) {};
auto toState(EnumLogicalDeviceState state) {
    return [state](Model& m) { m.l->setState(state); };
}

const std::vector<Expect> kOfflinePair = {{303, 1, kOffline, 0, ' ', say(kOfflineText, 0)},
                                          {399, 1, kChange, 0, ' ', say(kOfflineText, 0)}};
const std::vector<Expect> kCriticalPair = {{301, 2, kCritical, 0, ' ', say(kCriticalText, 0)},
                                           {399, 2, kChange, 0, ' ', say(kCriticalText, 0)}};

TEST_F(DriveComparisonTest, LogicalDriveCases) {
    const std::vector<LdCase> cases = {
        {"deleted in state 2",
         kNothing,
         [](Model& m) { delete m.l; },
         {{347, 3, "EVENT_VELMAR_CONFIGURATION_CHANGE_DELETE_LD", 0, ' ',
           say("A logical drive was deleted: ", 0)}}},
        {"deleted in state 5", toState(LD_STATE_HIDDEN), [](Model& m) { delete m.l; }, {}},
        {"2 to 3", kNothing, toState(LD_STATE_CRITICAL), kCriticalPair},
        {"3 to 6",
         toState(LD_STATE_CRITICAL),
         toState(LD_STATE_DEGRADED),
         {{399, 3, kChange, 0, ' ', say(kChangedText, 0)}}},
        {"3 to 2",
         toState(LD_STATE_CRITICAL),
         toState(LD_STATE_OKAY),
         {{345, 3, "EVENT_VELMAR_LD_STATE_NORMAL", 0, ' ',
           say("A logical drive is okay again: ", 0)},
          {399, 3, kChange, 0, ' ', say("A logical drive is okay again: ", 0)}}},
        {"4 to 2", toState(LD_STATE_RECOVERING), toState(LD_STATE_OKAY), {}},
        {"0 to 2", toState(LD_STATE_ABSENT), toState(LD_STATE_OKAY), {}},
        {"2 to 1", kNothing, toState(LD_STATE_OFFLINE), kOfflinePair},
        {"0 to 1: offline before added", toState(LD_STATE_ABSENT), toState(LD_STATE_OFFLINE),
         kOfflinePair},
        {"0 to 3", toState(LD_STATE_ABSENT), toState(LD_STATE_CRITICAL), kCriticalPair},
        {"2 to 7 takes no part", kNothing, toState(LD_STATE_CRITICAL_HIDDEN), {}},
        {"blocked access set",
         kNothing,
         [](Model& m) { m.l->setBlockedAccess(true); },
         {{302, 1, kBlocked, 0, ' ', say(kBlockedText, 0)},
          {399, 1, kChange, 0, ' ', say(kBlockedText, 0)}}},
        {"blocked access cleared",
         [](Model& m) { m.l->setBlockedAccess(true); },
         [](Model& m) { m.l->setBlockedAccess(false); },
         {{331, 3, "EVENT_VELMAR_CONFIGURATION_CHANGE_UNBLOCK", 0, ' ',
           say("Access to a logical drive is no longer blocked: ", 0)},
          {399, 3, kChange, 0, ' ', say("Access to a logical drive is no longer blocked: ", 0)}}},
        {"new logical drive, critical and blocked",
         kNothing,
         [](Model& m) {
             LogicalDrive* added =
                 m.build.logicalDrive(m.adapter, 1, LD_STATE_CRITICAL, RAID_LEVEL_5, 3u << 20);
             added->setSubState(LD_SUB_STATE_QUICK_INIT);
             added->setBlockedAccess(true);
         },
         {{346, 3, "EVENT_VELMAR_CONFIGURATION_CHANGE_ADD_LD", 1, ' ',
           "A logical drive was added: " + ld(1) +
               ", 1.50 GB, RAID level 5, Method = quick initialization."},
          {399, 2, kChange, 1, ' ', say(kChangedText, 1)},
          {301, 2, kCritical, 1, ' ', say(kCriticalText, 1)},
          {302, 1, kBlocked, 1, ' ', say(kBlockedText, 1)}}},
        {"IDs at the limit and above it deleted",
         [](Model& m) {
             m.build.logicalDrive(m.adapter, 7);
             m.build.logicalDrive(m.adapter, 8);
         },
         [](Model& m) {
             delete m.adapter->getChild(2);
             delete m.adapter->getChild(1);
         },
         {{347, 3, "EVENT_VELMAR_CONFIGURATION_CHANGE_DELETE_LD", 7, ' ',
           say("A logical drive was deleted: ", 7)}}},
        {"the reminder names the first critical logical drive",
         [](Model& m) {
             m.build.logicalDrive(m.adapter, 1, LD_STATE_DEGRADED);
             m.build.logicalDrive(m.adapter, 2, LD_STATE_CRITICAL);
             m.build.logicalDrive(m.adapter, 3);
         },
         [](Model& m) { m.timerDue(); },
         {{338, 2, "EVENT_VELMAR_LD_STATE_CRITICAL_PERIODIC", 1, ' ',
           say("Logical drives are still critical, the first of them: ", 1)}}},
        {"two controllers: the first, with nothing critical, spends the timer's yes",
         [](Model& m) { m.build.logicalDrive(m.build.adapter(1, "B2"), 0, LD_STATE_CRITICAL); },
         [](Model& m) { m.timerDue(); },
         {}},
        {"report without history: states 5 and 7 too, nothing above the limit",
         kNothing,
         [](Model& m) {
             m.l->setState(LD_STATE_OFFLINE);
             m.l->setBlockedAccess(true);
             m.build.logicalDrive(m.adapter, 5, LD_STATE_HIDDEN);
             m.build.logicalDrive(m.adapter, 7, LD_STATE_CRITICAL_HIDDEN);
             m.build.logicalDrive(m.adapter, 8, LD_STATE_OFFLINE);
         },
         {{399, 1, kChange, 0, ' ', say(kChangedText, 0)},
          {303, 1, kOffline, 0, ' ', say(kOfflineText, 0)},
          {302, 1, kBlocked, 0, ' ', say(kBlockedText, 0)},
          {399, 3, kChange, 5, ' ', say(kChangedText, 5)},
          {399, 2, kChange, 7, ' ', say(kChangedText, 7)},
          {301, 2, kCritical, 7, ' ', say(kCriticalText, 7)}},
         true},
    };
    for (const LdCase& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        Model m{build, adapter, build.logicalDrive(adapter, 0), clock_};
        c.before(m);
        store();
        c.after(m);
        expectEvents(run(&BaseRaidMonitor::compareLogicalDrives,
                         c.check ? &BaseRaidMonitor::checkLogicalDrives : nullptr),
                     c.events, TLX_OBJ_LOGICAL_DRIVE);
    }
}

}  // namespace
