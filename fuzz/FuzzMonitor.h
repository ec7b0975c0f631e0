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

inline Adapter* addAdapter(System& system, Adapter* adapter, uint32_t id, const char* serial) {
    adapter->setAdapterID(id);
    adapter->setSerialNumString(serial);
    adapter->setDeviceVendor("VELMAR");
    adapter->setBiosVersion("1.0");
    system.addChild(adapter);
    return adapter;
}

// The two controllers of the latest tree.
inline void build(System& system) {
    Adapter* pell = addAdapter(system, new PellAdapter(), 0, "A&B<0>");
    for (uint32_t c = 0; c < 2; ++c) {
        auto* channel = new Channel();
        channel->setChannelID(c);
        pell->addChild(channel);
        for (uint32_t d = 0; d < 3; ++d) {
            auto* drive = new HardDrive();
            drive->setDeviceID(d);
            drive->setSerialNumber("SN%" + std::to_string(d));
            drive->setFruNumber(d == 1 ? "FRU-1" : "");
            channel->addChild(drive);
        }
    }
    auto* enclosure = new Enclosure();
    enclosure->setDeviceID(7);
    enclosure->setModel("ENCL");
    enclosure->setFruNumber("EFRU");
    pell->getChild(1)->addChild(enclosure);
    for (uint32_t l = 0; l < 2; ++l) {
        auto* drive = new LogicalDrive();
        drive->setLogicalDriveID(l);
        drive->setRaidLevel(l == 0 ? RAID_LEVEL_5 : RAID_LEVEL_UNKNOWN);
        drive->setDataSpace64(l == 0 ? 4194304 : ~0ULL);
        drive->setSubState(LD_SUB_STATE_QUICK_INIT);
        pell->addChild(drive);
    }
    Adapter* omdi = addAdapter(system, new OmdiAdapter(), 3, "");
    auto* drive = new LogicalDrive();
    drive->setLogicalDriveID(0);
    drive->setDataSpace64(1100);
    omdi->addChild(drive);
}

// Builds the model into lib and takes two trees from it: controller 5 is in the previous
// tree only.
inline void buildTrees(VelmarLib& lib) {
    System* model = lib.getHardwareModel();
    build(*model);
    addAdapter(*model, new Adapter(), 5, "GONE");
    lib.getNewSystem();
    delete model->getChild(2);
    lib.getNewSystem();
}

}  // namespace fuzzmodel
