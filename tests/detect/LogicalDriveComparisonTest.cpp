// Logical drives of a stored and a current controller: deletion, the state branches with
// their companion event, blocked access, the critical reminder and its timer, the ID limit,
// and the report of a controller without history.
#include <algorithm>

#include "detect/DriveComparisonFixture.h"

namespace {

// A logical drive of controller `adapter` (1 is made on demand, with limit 0).
struct Logical {
    uint32_t id;
    int state;
    bool blocked = false;
    uint32_t adapter = 0;
};

void shape(TreeBuilder& build, Adapter* first, Channel*, const std::vector<Logical>& drives) {
    RaidObject* root = first->getParent();
    std::vector<RaidObject*> present;
    root->getChildren(present, "LogicalDrive", true, true);
    for (RaidObject* drive : present) {
        if (std::none_of(drives.begin(), drives.end(), [&](const Logical& l) {
                return l.id == drive->getLogicalDriveID() && l.adapter == drive->getAdapterID();
            })) {
            delete drive;
        }
    }
    for (const Logical& l : drives) {
        auto* adapter = dynamic_cast<Adapter*>(
            root->getObject(l.adapter, Addr::kUnset, Addr::kUnset, Addr::kUnset, Addr::kUnset));
        adapter = adapter != nullptr ? adapter : build.adapter(l.adapter, "B2");
        auto* drive = dynamic_cast<LogicalDrive*>(
            adapter->getObject(l.adapter, Addr::kUnset, l.id, Addr::kUnset, Addr::kUnset));
        drive = drive != nullptr ? drive : build.logicalDrive(adapter, l.id);
        drive->setState(static_cast<EnumLogicalDeviceState>(l.state));
        drive->setBlockedAccess(l.blocked);
    }
}

const char* const kChange = "EVENT_VELMAR_STATE_CHANGE_LD";
const char* const kOffline = "EVENT_VELMAR_LD_STATE_OFFLINE";
const char* const kCritical = "EVENT_VELMAR_LD_STATE_CRITICAL";
const char* const kBlocked = "EVENT_VELMAR_LD_STATE_BLOCKED";
const char* const kDelete = "EVENT_VELMAR_CONFIGURATION_CHANGE_DELETE_LD";

// The text that begins with `text`, names the logical drive and ends with `tail`.
std::string say(const char* text, uint32_t id, const std::string& tail = ".") {
    return text + ("logical drive " + std::to_string(id + 1) + " of " + kController) + tail;
}
std::vector<Expect> pair(const Expect& event) {
    return withCompanion(event, 399, kChange);
}
const char* const kChangedText = "The state of a logical drive changed: ";
const char* const kOfflineText = "A logical drive is offline: ";
const char* const kCriticalText = "A logical drive is critical: ";
const char* const kOkText = "A logical drive is okay again: ";
const char* const kBlockedText = "Access to a logical drive is blocked: ";
const char* const kUnblockText = "Access to a logical drive is no longer blocked: ";
const char* const kDeletedText = "A logical drive was deleted: ";

TEST_F(DriveComparisonTest, LogicalDriveCases) {
    const std::vector<Expect> offline = pair({303, 1, kOffline, 0, say(kOfflineText, 0)});
    const std::vector<Expect> critical = pair({301, 2, kCritical, 0, say(kCriticalText, 0)});
    const std::vector<Case<Logical>> cases = {
        {"deleted in state 2", {{0, 2}}, {}, {{347, 3, kDelete, 0, say(kDeletedText, 0)}}},
        {"deleted in state 5", {{0, 5}}, {}, {}},
        {"2 to 3", {{0, 2}}, {{0, 3}}, critical},
        {"3 to 6", {{0, 3}}, {{0, 6}}, {{399, 3, kChange, 0, say(kChangedText, 0)}}},
        {"3 to 2",
         {{0, 3}},
         {{0, 2}},
         pair({345, 3, "EVENT_VELMAR_LD_STATE_NORMAL", 0, say(kOkText, 0)})},
        {"4 to 2", {{0, 4}}, {{0, 2}}, {}},
        {"0 to 2", {{0, 0}}, {{0, 2}}, {}},
        {"2 to 1", {{0, 2}}, {{0, 1}}, offline},
        {"0 to 1: offline comes before added", {{0, 0}}, {{0, 1}}, offline},
        {"0 to 3", {{0, 0}}, {{0, 3}}, critical},
        {"2 to 7 takes no part", {{0, 2}}, {{0, 7}}, {}},
        {"blocked access set",
         {{0, 2}},
         {{0, 2, true}},
         pair({302, 1, kBlocked, 0, say(kBlockedText, 0)})},
        {"blocked access cleared",
         {{0, 2, true}},
         {{0, 2}},
         pair({331, 3, "EVENT_VELMAR_CONFIGURATION_CHANGE_UNBLOCK", 0, say(kUnblockText, 0)})},
        {"added: the state event first, then the specific ones",
         {},
         {{1, 3, true}},
         {{346, 3, "EVENT_VELMAR_CONFIGURATION_CHANGE_ADD_LD", 1,
           say("A logical drive was added: ", 1, ", 0.00 GB, RAID level 5.")},
          {399, 2, kChange, 1, say(kChangedText, 1)},
          {301, 2, kCritical, 1, say(kCriticalText, 1)},
          {302, 1, kBlocked, 1, say(kBlockedText, 1)}}},
        {"deleted at the limit and above it",
         {{7, 2}, {8, 2}},
         {},
         {{347, 3, kDelete, 7, say(kDeletedText, 7)}}},
        {"the reminder names the first critical logical drive",
         {{0, 2}, {1, 6}, {2, 3}, {3, 2}},
         {{0, 2}, {1, 6}, {2, 3}, {3, 2}},
         {{338, 2, "EVENT_VELMAR_LD_STATE_CRITICAL_PERIODIC", 1,
           say("Logical drives are still critical, the first of them: ", 1)}},
         kTimerDue},
        {"two controllers: the first, with none critical, spends the yes",
         {{0, 2}, {0, 3, false, 1}},
         {{0, 2}, {0, 3, false, 1}},
         {},
         kTimerDue},
        {"report without history: states 5 and 7 too, nothing above the limit",
         {},
         {{0, 1, true}, {5, 5}, {7, 7}, {8, 1}},
         {{399, 1, kChange, 0, say(kChangedText, 0)},
          {303, 1, kOffline, 0, say(kOfflineText, 0)},
          {302, 1, kBlocked, 0, say(kBlockedText, 0)},
          {399, 3, kChange, 5, say(kChangedText, 5)},
          {399, 2, kChange, 7, say(kChangedText, 7)},
          {301, 2, kCritical, 7, say(kCriticalText, 7)}},
         kCheck},
    };
    runCases(cases, &BaseRaidMonitor::compareLogicalDrives, &BaseRaidMonitor::checkLogicalDrives,
             BaseRaidMonitor::kCriticalLogicalDrivesInterval, TLX_OBJ_LOGICAL_DRIVE);
}

}  // namespace
