// Physical drives of a stored and a current controller: removal, state changes with their
// companion event, PFA, unsupported vendors with the periodic timer, spurious device IDs, and
// the report of a controller without history.
#include <algorithm>

#include "detect/DriveComparisonFixture.h"

namespace {

// A drive on channel 0; a null vendor or model keeps the builder's ("QEB-LMD", "DISK-<id>").
struct Drive {
    uint32_t device;
    int state;
    bool pfaSupported = false;
    bool pfaError = false;
    const char* fru = "";
    const char* vendor = nullptr;
    const char* model = nullptr;
};

void shape(TreeBuilder& build, Adapter*, Channel* channel, const std::vector<Drive>& drives) {
    for (int i = channel->getChildCount() - 1; i >= 0; --i) {
        RaidObject* child = channel->getChild(i);
        if (std::none_of(drives.begin(), drives.end(),
                         [&](const Drive& d) { return d.device == child->getDeviceID(); })) {
            delete child;
        }
    }
    for (const Drive& d : drives) {
        auto* drive = dynamic_cast<HardDrive*>(
            channel->getObject(0, Addr::kUnset, Addr::kUnset, 0, d.device));
        drive = drive != nullptr ? drive : build.drive(channel, d.device);
        drive->setState(static_cast<EnumPhysicalDeviceState>(d.state));
        drive->setPfaSupported(d.pfaSupported);
        drive->setPfaError(d.pfaError);
        drive->setFruNumber(d.fru);
        drive->setVendor(d.vendor != nullptr ? d.vendor : "QEB-LMD");
        drive->setModel(d.model != nullptr ? d.model : "DISK-" + std::to_string(d.device));
    }
}

const char* const kRemove = "EVENT_VELMAR_CONFIGURATION_CHANGE_REMOVE_PD";
const char* const kAdd = "EVENT_VELMAR_CONFIGURATION_CHANGE_ADD_PD";
const char* const kChange = "EVENT_VELMAR_PD_STATE_CHANGE";
const char* const kFailed = "EVENT_VELMAR_PD_STATE_FAILED";
const char* const kReady = "EVENT_VELMAR_PD_STATE_READY";
const char* const kPfa = "EVENT_VELMAR_PD_PFA_ERROR_YES";
const char* const kVendor = "EVENT_VELMAR_PD_DRV_UNSUPPORTED";

// The text that begins with `text`, names the drive and ends with `tail`.
std::string say(const char* text, uint32_t device, const std::string& tail = ".") {
    return text + ("drive " + std::to_string(device) + " on channel 1 of " + kController) + tail;
}
std::vector<Expect> pair(const Expect& event, int companionType = 0) {
    return withCompanion(event, 499, kChange, companionType);
}
const char* const kRemovedText = "A physical drive was removed: ";
const char* const kChangedText = "The state of a physical drive changed: ";
const char* const kFailedText = "A physical drive failed: ";
const char* const kPfaText = "A physical drive predicts its own failure: ";
const char* const kVendorText = "A physical drive of an unsupported vendor is installed: ";
const char* const kBackText = "A failed physical drive was replaced or works again: ";

TEST_F(DriveComparisonTest, PhysicalDriveCases) {
    const std::string lmd3 = ". Replace it with QEB-LMD DISK-3.";
    const std::string qeb3 = ". Replace it with qeb-lmd DISK-3.";
    const std::string fru2 = ". Replace it with FRU part F2.";
    const std::vector<Case<Drive>> cases = {
        {"missing", {{3, 1}}, {}, pair({408, 3, kRemove, 3, say(kRemovedText, 3), 'S'}, 1)},
        {"1 to 7: removal pair, then the plain state change",
         {{3, 1}},
         {{3, 7}},
         {{408, 3, kRemove, 3, say(kRemovedText, 3), 'S'},
          {499, 1, kChange, 3, say(kRemovedText, 3), 'S'},
          {499, 3, kChange, 3, say(kChangedText, 3)}}},
        {"7 to 1 unsupported; the timer is asked last, its yes goes to steady drive 4",
         {{3, 7, 0, 0, "", "ACME"}, {4, 1, 0, 0, "", "ACME"}},
         {{3, 1, 0, 0, "", "ACME"}, {4, 1, 0, 0, "", "ACME"}},
         {{407, 3, kAdd, 3, say("A physical drive was added: ", 3)},
          {499, 3, kChange, 3, say(kChangedText, 3)},
          {406, 2, kVendor, 3, say(kVendorText, 3)},
          {499, 3, kChange, 3, say(kChangedText, 3)},
          {406, 2, kVendor, 3, say(kVendorText, 3)},
          {406, 2, kVendor, 4, say(kVendorText, 4)}},
         kTimerDue},
        {"1 to 2: code by the stored FRU, key by the current replacement text",
         {{3, 1, 0, 0, "F1"}},
         {{3, 2}},
         pair({404, 1, kFailed, 3, say(kFailedText, 3, lmd3), 'S'})},
        {"1 to 2 without FRU or model",
         {{3, 1}},
         {{3, 2, 0, 0, "", nullptr, ""}},
         pair({401, 1, kFailed, 3, say(kFailedText, 3), 'S'})},
        {"2 to 1", {{3, 2}}, {{3, 1}}, pair({403, 3, kReady, 3, say(kBackText, 3)})},
        {"0 to 4",
         {{3, 0}},
         {{3, 4}},
         pair({497, 3, "EVENT_VELMAR_PD_STATE_HOTSPARE", 3,
               say("A hot spare drive was created: ", 3)})},
        {"4 to 0",
         {{3, 4}},
         {{3, 0}},
         pair({498, 3, kReady, 3, say("A hot spare drive was deleted: ", 3)})},
        {"4 to 1", {{3, 4}}, {{3, 1}}, {{499, 3, kChange, 3, say(kChangedText, 3)}}},
        {"1 to 5 with PFA newly set", {{3, 1, true}}, {{3, 5, true, true}}, {}},
        {"5 to 0", {{3, 5}}, {{3, 0}}, {}},
        {"PFA set",
         {{3, 1, true}},
         {{3, 1, true, true, "F2"}},
         pair({405, 2, kPfa, 3, say(kPfaText, 3, fru2)})},
        {"PFA cleared", {{3, 1, true, true}}, {{3, 1, true}}, {}},
        {"PFA set, unsupported on the stored copy", {{3, 1}}, {{3, 1, true, true}}, {}},
        {"vendor with trailing blanks", {{3, 1}}, {{3, 1, 0, 0, "", "QEB-LMD \t "}}, {}, kTimerDue},
        {"vendor in lower case",
         {{3, 1}},
         {{3, 1, 0, 0, "", "qeb-lmd"}},
         {{406, 2, kVendor, 3, say(kVendorText, 3)}},
         kTimerDue},
        {"vendor in lower case, switched off",
         {{3, 1}},
         {{3, 1, 0, 0, "", "qeb-lmd"}},
         {},
         kTimerDue | kSwitchOff},
        {"two steady unsupported drives: the yes goes to the first",
         {{3, 1, 0, 0, "", "ACME"}, {4, 1, 0, 0, "", "ACME"}},
         {{3, 1, 0, 0, "", "ACME"}, {4, 1, 0, 0, "", "ACME"}},
         {{406, 2, kVendor, 3, say(kVendorText, 3)}},
         kTimerDue},
        {"devices 0x00FF and 0x01FF removed",
         {{3, 1}, {0xFF, 1}, {0x1FF, 1}},
         {{3, 1}},
         pair({408, 3, kRemove, 0x1FF, say(kRemovedText, 0x1FF), 'S'}, 1)},
        {"devices 0x00FF and 0x01FF added",
         {{3, 1}},
         {{3, 1}, {0xFF, 1}, {0x1FF, 1}},
         {{407, 3, kAdd, 0x1FF, say("A physical drive was added: ", 0x1FF)},
          {499, 3, kChange, 0x1FF, say(kChangedText, 0x1FF)}}},
        {"report without history: PFA wins the severity, 0x00FF is skipped",
         {},
         {{3, 2, true, true, "", "qeb-lmd"}, {0xFF, 2}},
         {{499, 2, kChange, 3, say(kChangedText, 3)},
          {401, 1, kFailed, 3, say(kFailedText, 3, qeb3)},
          {402, 2, kPfa, 3, say(kPfaText, 3, qeb3)},
          {406, 2, kVendor, 3, say(kVendorText, 3)}},
         kCheck},
    };
    runCases(cases, &BaseRaidMonitor::comparePhysicalDrives, &BaseRaidMonitor::checkPhysicalDrives,
             BaseRaidMonitor::kUnsupportedDrivesInterval, TLX_OBJ_PHYSICAL_DRIVE);
}

}  // namespace
