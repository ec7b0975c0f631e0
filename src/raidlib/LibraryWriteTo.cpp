// The library's own attributes of the objects that the configuration snapshot writes:
// identifiers through the address, then the object's values, each in a form the snapshot
// reader converts back (32-bit words as signed decimals, flags as true/false).
#include "raidlib/Adapter.h"
#include "raidlib/Channel.h"
#include "raidlib/Enclosure.h"
#include "raidlib/HardDrive.h"
#include "raidlib/LogicalDrive.h"
#include "raidlib/Writer.h"

namespace {
// The object's library type when it has one, then the set IDs of its resolved address.
void writeAddress(Writer* writer, const RaidObject& object) {
    const long type = object.getAddr2().getBrixlibType();
    if (type != 0) {
        writer->writeAttribute("brixlibType", type);
    }
    writer->writeAddrAttributes(object.getAddr());
}

// A 32-bit word whose top bit may be set, written so that a signed reading gives it back.
void writeWord(Writer* writer, const char* name, uint32_t word) {
    writer->writeAttribute(name, static_cast<int>(static_cast<int32_t>(word)));
}

constexpr const char* kLimitNames[] = {"maxLogicalDrives", "maxArrays", "maxSpannedArrays",
                                       "maxChannels",      "maxID",     "maxDevicesPerArray",
                                       "maxControllers"};
}  // namespace

void Adapter::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    writeAddress(writer, *this);
    writer->writeAttribute("controllerType", getAdapterType());
    writer->writeAttribute("physicalSlot", getPhysicalSlot());
    writer->writeAttribute("controllerStatus", static_cast<int>(getAdapterStatus()));
    writer->writeAttribute("deviceVendor", getDeviceVendor());
    writer->writeAttribute("deviceName", getDeviceName());
    int limit = LIMIT_MAX_LOGICAL_DRIVES;
    for (const char* name : kLimitNames) {
        writeWord(writer, name, getLimit(limit++));
    }
}

void Channel::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    writeAddress(writer, *this);
    writer->writeAttribute("channelType", static_cast<int>(getChannelType()));
}

void PhysicalDevice::writeDeviceAttributes(Writer* writer) {
    writeAddress(writer, *this);
    writer->writeAttribute("deviceType", getDeviceType());
    writer->writeAttribute("vendor", getVendor());
    writer->writeAttribute("model", getModel());
    writer->writeAttribute("serialNumber", getSerialNumber());
    writer->writeAttribute("firmwareLevel", getFirmwareLevel());
    writer->writeAttribute("fruNumber", getFruNumber());
    writer->writeAttribute("wwn", getWWN());
    writer->writeAttribute("state", static_cast<int>(getState()));
    writer->writeAttribute("interfaceType", getInterfaceType());
    writeWord(writer, "wwn0", getWWN0());
    writeWord(writer, "wwn1", getWWN1());
    writeWord(writer, "sataPort", getSataPort());
}

void HardDrive::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    writeDeviceAttributes(writer);
    writer->writeAttribute("size", static_cast<unsigned long long>(getSize()));
    writer->writeAttribute("pfaError", getPfaError());
    writer->writeAttribute("pfaSupported", getPfaSupported());
    writer->writeAttribute("OSPartition", getOSPartitionInfo());
    writer->writeAttribute("taskInProgress", getTaskInProgress());
}

void Enclosure::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    writeDeviceAttributes(writer);
}

void LogicalDrive::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    writeAddress(writer, *this);
    writer->writeAttribute("state", static_cast<int>(getState()));
    writer->writeAttribute("raidLevel", static_cast<int>(getRaidLevel()));
    writer->writeAttribute("writeCacheMode", getWriteCacheMode());
    writer->writeAttribute("badBlockCount", getBadBlockCount());
    writer->writeAttribute("snapshotType", getSnapshotType());
    writer->writeAttribute("snapshotPartnerID", getSnapshotPartnerID());
    writer->writeAttribute("blockedAccess", getBlockedAccess());
    writer->writeAttribute("OSPartition", getOSPartitionInfo());
    writer->writeAttribute("uniqueID", static_cast<unsigned int>(getUniqueID()));
}
