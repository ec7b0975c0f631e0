// The SAS drive map: one event per drive on a controller's SAS channels, mapping controller,
// channel and device numbers to the drive's identity (its world-wide name) and replacement
// part. Called by hosts, possibly while the poll loop runs; the catalog serialises lookups.
#include <vector>

#include "monitor/BaseRaidMonitor.h"
#include "raidlib/raidlib.h"

namespace {

struct DriveMapEvent {
    int eventCode;
    EnumEventType eventType;
    EnumObjectType objectType;
    const char* messageKey;
    const char* identifier;
};
constexpr DriveMapEvent kDriveMapEvent = {423, TLX_EVENT_INFORMATIONAL, TLX_OBJ_ADAPTER,
                                          "agentEventInfDriveMap", "RAID_EVENT"};

// The children of parent of that type, in list order (null entries kept).
std::vector<RaidObject*> childrenOf(const RaidObject& parent, const char* typeName) {
    std::vector<RaidObject*> list;
    parent.getChildren(list, typeName, true, true);
    return list;
}

}  // namespace

void BaseRaidMonitor::logSASDriveMap(TLXEventCollection& ecIN, Adapter* adapter) {
    if (adapter == nullptr) {
        return;
    }
    logTrace("       Entering logSASDriveMap(&ecIN, %d)\n",
             static_cast<int>(adapter->getAdapterID()));
    for (RaidObject* object : childrenOf(*adapter, "Channel")) {
        const auto* channel = dynamic_cast<const Channel*>(object);
        if (channel == nullptr || channel->getChannelType() != CHANNEL_TYPE_SAS) {
            continue;
        }
        for (RaidObject* child : childrenOf(*channel, "HardDrive")) {
            auto* drive = dynamic_cast<HardDrive*>(child);
            if (drive == nullptr) {
                logError("ERROR: BaseRaidMonitor::logSASDriveMap HardDrive is NULL!!!\n");
                continue;
            }
            const Channel* own = drive->getChannel();
            const uint32_t channelID = own != nullptr ? own->getChannelID() : Addr::kUnset;
            const std::vector<std::string> args{
                NLSParser::itoa(static_cast<int>(adapter->getAdapterID() + 1u), 10),
                own != nullptr ? NLSParser::itoa(static_cast<int>(channelID + 1u), 10)
                               : std::string("2147483647"),
                NLSParser::itoa(static_cast<int>(drive->getDeviceID()), 10), getEventID(drive),
                getReplacementID(drive)};
            TLXEvent event(kDriveMapEvent.eventCode, kDriveMapEvent.eventType,
                           nls.get(kDriveMapEvent.messageKey, args), kDriveMapEvent.identifier);
            event.setObjectType(kDriveMapEvent.objectType);
            event.setAdapterID(adapter->getAdapterID());
            event.setChannelID(channelID);
            event.setDeviceID(drive->getDeviceID());
            const char* fru = drive->getFruNumber();
            event.setFru(fru != nullptr ? fru : "");
            event.setAdapterSerial(adapter);
            ecIN.add(event);
        }
    }
}
