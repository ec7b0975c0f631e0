// What the monitor fuzz targets share: a clock whose waits return at once (and, when given
// a hook, report the loop's interruptible waits to it), and the stand-in system they all
// poll: two controllers in the latest tree (Pell with drives, an enclosure and logical
// drives; Omdi with a logical drive), and, after buildTrees(), one more in the previous tree.
// Only the fuzzer's thread uses these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "port/Clock.h"
#include "raidlib/raidlib.h"

class NoWaitClock : public port::Clock {
public:
    int64_t now() override { return 1796558400; }
    bool wait(long, port::Interrupt* interrupt) override {
        if (interrupt != nullptr && onInterruptibleWait) {
            onInterruptibleWait();
        }
        return false;
    }
    // Called on each wait that stop() could cut short: the poll loop's pauses.
    std::function<void()> onInterruptibleWait;
};

namespace fuzzmodel {

inline void build(System& system) {
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

// Builds the model into lib and takes two trees from it: controller 5 is in the previous
// tree only.
inline void buildTrees(VelmarLib& lib) {
    System* model = lib.getHardwareModel();
    build(*model);
    ModelBuilder builder(model);
    Adapter* gone = builder.adapter(5, "GONE", ModelBuilder::Family::Plain);
    lib.getNewSystem();
    builder.remove(gone);  // controller 5 stays only in the previous tree
    lib.getNewSystem();
}

}  // namespace fuzzmodel
