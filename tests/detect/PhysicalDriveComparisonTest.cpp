// Physical drives of a stored and a current controller: removal, state changes with their
// companion event, PFA, unsupported vendors with the periodic timer, spurious device IDs, and
// the report of a controller without history. Drive 3 on channel 0 starts online.
#include <functional>

#include "detect/DriveComparisonFixture.h"

namespace {

struct Model {
    TreeBuilder& build;
    Channel* channel;
    HardDrive* d;
    FakeClock& clock;
    DetectMonitor& monitor;
    void timerDue() const { clock.advanceSeconds(BaseRaidMonitor::kUnsupportedDrivesInterval); }
};

struct PdCase {
    const char* name;
    std::function<void(Model&)> before;
    std::function<void(Model&)> after;
    std::vector<Expect> events;
    bool check = false;  // checkPhysicalDrives on the current controller instead
};

const char* const kRemove = "EVENT_VELMAR_CONFIGURATION_CHANGE_REMOVE_PD";
const char* const kAdd = "EVENT_VELMAR_CONFIGURATION_CHANGE_ADD_PD";
const char* const kChange = "EVENT_VELMAR_PD_STATE_CHANGE";
const char* const kFailed = "EVENT_VELMAR_PD_STATE_FAILED";
const char* const kReady = "EVENT_VELMAR_PD_STATE_READY";
const char* const kPfa = "EVENT_VELMAR_PD_PFA_ERROR_YES";
const char* const kUnsupported = "EVENT_VELMAR_PD_DRV_UNSUPPORTED";

std::string say(const char* text, uint32_t device, const std::string& tail = ".") {
    return text + pd(device) + tail;
}
const char* const kRemovedText = "A physical drive was removed: ";
const char* const kAddedText = "A physical drive was added: ";
const char* const kChangedText = "The state of a physical drive changed: ";
const char* const kFailedText = "A physical drive failed: ";
const char* const kPfaText = "A physical drive predicts its own failure: ";
const char* const kVendorText = "A physical drive of an unsupported vendor is installed: ";

const auto kNothing = [](Model&) {};
auto toState(EnumPhysicalDeviceState state) {
    return [state](Model& m) { m.d->setState(state); };
}

TEST_F(DriveComparisonTest, PhysicalDriveCases) {
    const std::string lmd3 = ". Replace it with QEB-LMD DISK-3.";
    const std::vector<PdCase> cases = {
        {"missing drive",
         kNothing,
         [](Model& m) { delete m.d; },
         {{408, 3, kRemove, 3, 'S', say(kRemovedText, 3)},
          {499, 1, kChange, 3, 'S', say(kRemovedText, 3)}}},
        {"1 to 7: removal pair, then the plain state change",
         kNothing,
         toState(PD_STATE_NOT_PRESENT),
         {{408, 3, kRemove, 3, 'S', say(kRemovedText, 3)},
          {499, 1, kChange, 3, 'S', say(kRemovedText, 3)},
          {499, 3, kChange, 3, 'C', say(kChangedText, 3)}}},
        {"7 to 1 of an unsupported drive; the timer's yes goes to the steady drive 4",
         [](Model& m) {
             m.d->setState(PD_STATE_NOT_PRESENT);
             m.d->setVendor("ACME");
             m.build.drive(m.channel, 4)->setVendor("ACME");
         },
         [](Model& m) {
             m.d->setState(PD_STATE_ONLINE);
             m.timerDue();
         },
         {{407, 3, kAdd, 3, 'C', say(kAddedText, 3)},
          {499, 3, kChange, 3, 'C', say(kChangedText, 3)},
          {406, 2, kUnsupported, 3, 'C', say(kVendorText, 3)},
          {499, 3, kChange, 3, 'C', say(kChangedText, 3)},
          {406, 2, kUnsupported, 3, 'C', say(kVendorText, 3)},
          {406, 2, kUnsupported, 4, 'C', say(kVendorText, 4)}}},
        {"1 to 2: code by the stored FRU, key by the current replacement text",
         [](Model& m) { m.d->setFruNumber("F1"); },
         [](Model& m) {
             m.d->setFruNumber("");
             m.d->setState(PD_STATE_DEFUNCT);
         },
         {{404, 1, kFailed, 3, 'S', say(kFailedText, 3, lmd3)},
          {499, 1, kChange, 3, 'S', say(kFailedText, 3, lmd3)}}},
        {"1 to 2 without FRU or model",
         kNothing,
         [](Model& m) {
             m.d->setModel("");
             m.d->setState(PD_STATE_DEFUNCT);
         },
         {{401, 1, kFailed, 3, 'S', say(kFailedText, 3)},
          {499, 1, kChange, 3, 'S', say(kFailedText, 3)}}},
        {"2 to 1",
         toState(PD_STATE_DEFUNCT),
         toState(PD_STATE_ONLINE),
         {{403, 3, kReady, 3, 'C', say("A failed physical drive was replaced or works again: ", 3)},
          {499, 3, kChange, 3, 'C',
           say("A failed physical drive was replaced or works again: ", 3)}}},
        {"0 to 4",
         toState(PD_STATE_READY),
         toState(PD_STATE_HOT_SPARE),
         {{497, 3, "EVENT_VELMAR_PD_STATE_HOTSPARE", 3, 'C',
           say("A hot spare drive was created: ", 3)},
          {499, 3, kChange, 3, 'C', say("A hot spare drive was created: ", 3)}}},
        {"4 to 0",
         toState(PD_STATE_HOT_SPARE),
         toState(PD_STATE_READY),
         {{498, 3, kReady, 3, 'C', say("A hot spare drive was deleted: ", 3)},
          {499, 3, kChange, 3, 'C', say("A hot spare drive was deleted: ", 3)}}},
        {"4 to 1",
         toState(PD_STATE_HOT_SPARE),
         toState(PD_STATE_ONLINE),
         {{499, 3, kChange, 3, 'C', say(kChangedText, 3)}}},
        {"1 to 5 with PFA newly set",
         [](Model& m) { m.d->setPfaSupported(true); },
         [](Model& m) {
             m.d->setState(PD_STATE_RAW);
             m.d->setPfaError(true);
         },
         {}},
        {"5 to 0", toState(PD_STATE_RAW), toState(PD_STATE_READY), {}},
        {"PFA set",
         [](Model& m) { m.d->setPfaSupported(true); },
         [](Model& m) {
             m.d->setPfaError(true);
             m.d->setFruNumber("F2");
         },
         {{405, 2, kPfa, 3, 'C', say(kPfaText, 3, ". Replace it with FRU part F2.")},
          {499, 2, kChange, 3, 'C', say(kPfaText, 3, ". Replace it with FRU part F2.")}}},
        {"PFA cleared",
         [](Model& m) {
             m.d->setPfaSupported(true);
             m.d->setPfaError(true);
         },
         [](Model& m) { m.d->setPfaError(false); },
         {}},
        {"PFA set, unsupported on the stored copy",
         kNothing,
         [](Model& m) {
             m.d->setPfaSupported(true);
             m.d->setPfaError(true);
         },
         {}},
        {"vendor with trailing blanks is supported",
         kNothing,
         [](Model& m) {
             m.d->setVendor("QEB-LMD \t ");
             m.timerDue();
         },
         {}},
        {"vendor in lower case is not",
         kNothing,
         [](Model& m) {
             m.d->setVendor("qeb-lmd");
             m.timerDue();
         },
         {{406, 2, kUnsupported, 3, 'C', say(kVendorText, 3)}}},
        {"unsupported drives not reported when switched off",
         kNothing,
         [](Model& m) {
             m.d->setVendor("qeb-lmd");
             m.monitor.setReportUnsupportedDrives(false);
             m.timerDue();
         },
         {}},
        {"two steady unsupported drives: the yes goes to the first",
         [](Model& m) {
             m.d->setVendor("ACME");
             m.build.drive(m.channel, 4)->setVendor("ACME");
         },
         [](Model& m) { m.timerDue(); },
         {{406, 2, kUnsupported, 3, 'C', say(kVendorText, 3)}}},
        {"device IDs 0x00FF and 0x01FF removed",
         [](Model& m) {
             m.build.drive(m.channel, 0x00FF);
             m.build.drive(m.channel, 0x01FF);
         },
         [](Model& m) {
             delete m.d->getParent()->getChild(2);
             delete m.d->getParent()->getChild(1);
         },
         {{408, 3, kRemove, 0x1FF, 'S', say(kRemovedText, 0x1FF)},
          {499, 1, kChange, 0x1FF, 'S', say(kRemovedText, 0x1FF)}}},
        {"device IDs 0x00FF and 0x01FF added",
         kNothing,
         [](Model& m) {
             m.build.drive(m.channel, 0x00FF);
             m.build.drive(m.channel, 0x01FF);
         },
         {{407, 3, kAdd, 0x1FF, 'C', say(kAddedText, 0x1FF)},
          {499, 3, kChange, 0x1FF, 'C', say(kChangedText, 0x1FF)}}},
        {"report without history: PFA wins the severity; 0x00FF is skipped",
         kNothing,
         [](Model& m) {
             m.d->setState(PD_STATE_DEFUNCT);
             m.d->setPfaSupported(true);
             m.d->setPfaError(true);
             m.d->setVendor("qeb-lmd");
             m.build.drive(m.channel, 0x00FF);
         },
         {{499, 2, kChange, 3, 'C', say(kChangedText, 3)},
          {401, 1, kFailed, 3, 'C', say(kFailedText, 3, ". Replace it with qeb-lmd DISK-3.")},
          {402, 2, kPfa, 3, 'C', say(kPfaText, 3, ". Replace it with qeb-lmd DISK-3.")},
          {406, 2, kUnsupported, 3, 'C', say(kVendorText, 3)}},
         true},
    };
    for (const PdCase& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        Channel* channel = build.channel(adapter, 0);
        Model m{build, channel, build.drive(channel, 3), clock_, *monitor};
        c.before(m);
        store();
        c.after(m);
        expectEvents(run(&BaseRaidMonitor::comparePhysicalDrives,
                         c.check ? &BaseRaidMonitor::checkPhysicalDrives : nullptr),
                     c.events, TLX_OBJ_PHYSICAL_DRIVE);
    }
}

}  // namespace
