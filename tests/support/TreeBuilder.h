// Builds controller trees for tests in a few lines: controllers with channels, drives,
// enclosures and logical drives, each with plausible defaults (supported vendor, serial
// numbers derived from the address). Objects go into the given root, which owns them; the
// returned pointers let a test adjust any value afterwards with the library's setters.
#pragma once

#include <cstdint>
#include <string>

#include "raidlib/raidlib.h"

class TreeBuilder {
public:
    enum class Family { Plain, Pell, Omdi };

    explicit TreeBuilder(RaidObject* root) : root_(root) {}

    // A controller with that ID and serial number below the root.
    Adapter* adapter(uint32_t id, const std::string& serial = "", Family family = Family::Pell);
    Channel* channel(Adapter* adapter, uint32_t id, EnumChannelType type = CHANNEL_TYPE_SCSI);
    SATAChannel* sataChannel(Adapter* adapter, uint32_t id, unsigned ports);
    // A drive of vendor "QEB-LMD", model "DISK-<device>", serial "SN<adapter>-<channel>-<device>".
    HardDrive* drive(Channel* channel, uint32_t deviceID,
                     EnumPhysicalDeviceState state = PD_STATE_ONLINE);
    // An enclosure with valid SAF-TE data: the given numbers of fans and power supplies, all
    // operational, and the temperature in range.
    Enclosure* enclosure(Channel* channel, uint32_t deviceID, uint16_t fans = 2,
                         uint16_t powerSupplies = 2);
    LogicalDrive* logicalDrive(Adapter* adapter, uint32_t id,
                               EnumLogicalDeviceState state = LD_STATE_OKAY,
                               EnumRaidLevel level = RAID_LEVEL_5, uint64_t dataSpace = 0);
    PellBasicLogicalDrive* pellBasicLogicalDrive(Adapter* adapter, uint32_t id,
                                                 EnumLogicalDeviceState state = LD_STATE_OKAY);

    // A task on a logical drive: its type, state and percentage.
    static void task(LogicalDrive* drive, EnumTaskType type, EnumTaskState state,
                     uint32_t percent = 0);

private:
    RaidObject* root_;
};
