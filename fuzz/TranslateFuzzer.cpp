// Feeds arbitrary text to the controller event translation, as the event text of a poll of
// controller 0 on a small stand-in system: two controllers in the latest tree (Pell with
// drives, an enclosure and logical drives; Omdi with a logical drive) and one more in the
// previous tree. The only exception allowed out is SimpleXmlException for malformed text;
// anything else escaping, and every sanitizer report, is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "monitor/VelmarMonitor.h"
#include "port/Clock.h"
#include "port/DebugMask.h"
#include "port/FileSystem.h"
#include "port/ModuleDirectory.h"
#include "raidlib/raidlib.h"
#include "snapshot/SimpleXmlException.h"

namespace {

// The monitor's construction waits a second; this clock does not.
class NoWaitClock : public port::Clock {
public:
    int64_t now() override { return 1796558400; }
    bool wait(long, port::Interrupt*) override { return false; }
};

struct Setup {
    std::string home;
    NoWaitClock clock;
    VelmarLib lib;
    std::unique_ptr<VelmarMonitor> monitor;
    Adapter* caller = nullptr;
};

Setup& setup() {
    static Setup instance;
    return instance;
}

void removeHome() {
    setup().monitor.reset();
    std::error_code ignored;
    std::filesystem::remove_all(setup().home, ignored);
}

void buildModel(System& system) {
    ModelBuilder build(&system);
    Adapter* pell = build.adapter(0, "A&B<0>");
    build.versions(pell, "1.0", "", "");
    for (uint32_t c = 0; c < 2; ++c) {
        Channel* channel = build.channel(pell, c);
        for (uint32_t d = 0; d < 3; ++d) {
            HardDrive* drive = build.drive(channel, d);
            drive->setSerialNumber("SN%" + std::to_string(d));
            build.fru(drive, d == 1 ? "FRU-1" : "");
        }
    }
    Enclosure* enclosure = build.enclosure(static_cast<Channel*>(pell->getChild(1)), 7);
    enclosure->setModel("ENCL");
    build.fru(enclosure, "EFRU");
    for (uint32_t l = 0; l < 2; ++l) {
        build
            .logicalDrive(pell, l, LD_STATE_OKAY, l == 0 ? RAID_LEVEL_5 : RAID_LEVEL_UNKNOWN,
                          l == 0 ? 4194304 : ~0ULL)
            ->setSubState(LD_SUB_STATE_QUICK_INIT);
    }
    Adapter* omdi = build.adapter(3, "", ModelBuilder::Family::Omdi);
    build.versions(omdi, "1.0", "", "");
    build.logicalDrive(omdi, 0, LD_STATE_OKAY, RAID_LEVEL_5, 1100);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Setup& s = setup();
    s.home = port::makeTemporaryDirectory("tlxvl-fuzz-translate-");
    if (s.home.empty()) {
        std::abort();
    }
    port::setModuleDirectory(s.home);
    std::error_code error;
    std::filesystem::copy_file(std::string(TLXVL_SOURCE_DIR) + "/data/RaidNLS.properties",
                               s.home + "/RaidNLS.properties", error);
    if (error) {
        std::abort();
    }
    port::Clock::install(&s.clock);

    System* model = s.lib.getHardwareModel();
    buildModel(*model);
    ModelBuilder build(model);
    Adapter* gone = build.adapter(5, "GONE", ModelBuilder::Family::Plain);
    s.lib.getNewSystem();
    build.remove(gone);  // controller 5 stays only in the previous tree
    s.lib.getNewSystem();
    s.caller = static_cast<Adapter*>(s.lib.getCurrentSystem()->getChild(0));

    s.monitor = std::make_unique<VelmarMonitor>(&s.lib);
    s.monitor->setEventTypeLevel(static_cast<EnumEventType>(7));
    // Errors and traces: every debug line of the translation is formatted.
    DebugMask::set(DebugMask::kErrors | DebugMask::kTrace);
    std::atexit(removeHome);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Setup& s = setup();
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    try {
        s.monitor->GetEventFromXml(text.data(), s.caller);
    } catch (const SimpleXmlException&) {
        // malformed text: the poll loop catches this one
    }
    s.monitor->getEvents(0);
    return 0;
}
