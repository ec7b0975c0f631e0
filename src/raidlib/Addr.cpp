#include "raidlib/Addr.h"

Addr::Addr(uint32_t adapterID, uint32_t arrayID, uint32_t logicalDriveID, uint32_t channelID,
           uint32_t deviceID, uint64_t chunkID, uint32_t itemID, uint32_t phyID)
    : adapterID_(adapterID),
      arrayID_(arrayID),
      logicalDriveID_(logicalDriveID),
      channelID_(channelID),
      deviceID_(deviceID),
      chunkID_(chunkID),
      itemID_(itemID),
      phyID_(phyID) {}

bool Addr::operator==(const Addr& other) const {
    return adapterID_ == other.adapterID_ && arrayID_ == other.arrayID_ &&
           logicalDriveID_ == other.logicalDriveID_ && channelID_ == other.channelID_ &&
           deviceID_ == other.deviceID_ && chunkID_ == other.chunkID_ && itemID_ == other.itemID_ &&
           phyID_ == other.phyID_;
}
