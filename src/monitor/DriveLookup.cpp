// The frame's lookups of a drive or logical drive of one controller at the address of a
// drive of another (a stored and a current controller): matching is by address only.
#include "monitor/BaseRaidMonitor.h"

#include "raidlib/Adapter.h"
#include "raidlib/Channel.h"
#include "raidlib/HardDrive.h"
#include "raidlib/LogicalDrive.h"

HardDrive* BaseRaidMonitor::findPD(HardDrive* drive, Adapter* adapter) {
    if (adapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::findPD adapter is NULL!!!\n");
        return nullptr;
    }
    if (drive == nullptr) {
        logError("ERROR: BaseRaidMonitor::findPD hardDrive is NULL!!!\n");
        return nullptr;
    }
    const Channel* channel = drive->getChannel();
    const uint32_t channelID = channel != nullptr ? channel->getChannelID() : Addr::kUnset;
    return dynamic_cast<HardDrive*>(adapter->getObject(
        adapter->getAdapterID(), Addr::kUnset, Addr::kUnset, channelID, drive->getDeviceID()));
}

LogicalDrive* BaseRaidMonitor::findLD(LogicalDrive* logicalDrive, Adapter* adapter) {
    if (adapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::findLD adapter is NULL!!!\n");
        return nullptr;
    }
    if (logicalDrive == nullptr) {
        logError("ERROR: BaseRaidMonitor::findLD logicalDrive is NULL!!!\n");
        return nullptr;
    }
    return dynamic_cast<LogicalDrive*>(adapter->getObject(adapter->getAdapterID(), Addr::kUnset,
                                                          logicalDrive->getLogicalDriveID(),
                                                          Addr::kUnset, Addr::kUnset));
}
