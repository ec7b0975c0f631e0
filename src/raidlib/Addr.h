// The address of an object in a controller's tree: adapter, array, logical drive, channel
// and device IDs, a 64-bit chunk ID and the item and phy IDs. kUnset (kUnsetChunk for the
// chunk) marks an ID that is not set.
#pragma once

#include <cstdint>

#include "port/Export.h"

class BRIXVL_EXPORT Addr {
public:
    static constexpr uint32_t kUnset = 0x7FFFFFFF;
    static constexpr uint64_t kUnsetChunk = 0x7FFFFFFFFFFFFFFFULL;

    Addr() = default;
    Addr(uint32_t adapterID, uint32_t arrayID, uint32_t logicalDriveID, uint32_t channelID,
         uint32_t deviceID, uint64_t chunkID, uint32_t itemID, uint32_t phyID);
    virtual ~Addr();

    uint32_t getAdapterID() const { return adapterID_; }
    uint32_t getArrayID() const { return arrayID_; }
    uint32_t getLogicalDriveID() const { return logicalDriveID_; }
    uint32_t getChannelID() const { return channelID_; }
    uint32_t getDeviceID() const { return deviceID_; }
    uint64_t getChunkID() const { return chunkID_; }
    uint32_t getItemID() const { return itemID_; }
    uint32_t getPhyID() const { return phyID_; }

    void setAdapterID(uint32_t id) { adapterID_ = id; }
    void setArrayID(uint32_t id) { arrayID_ = id; }
    void setLogicalDriveID(uint32_t id) { logicalDriveID_ = id; }
    void setChannelID(uint32_t id) { channelID_ = id; }
    void setDeviceID(uint32_t id) { deviceID_ = id; }
    void setChunkID(uint64_t id) { chunkID_ = id; }
    void setItemID(uint32_t id) { itemID_ = id; }
    void setPhyID(uint32_t id) { phyID_ = id; }

    // The element name of an address in the library's XML ("Addr").
    virtual const char* serializedName() const { return "Addr"; }

    bool operator==(const Addr& other) const;
    bool operator!=(const Addr& other) const { return !(*this == other); }

private:
    uint32_t adapterID_ = kUnset;
    uint32_t arrayID_ = kUnset;
    uint32_t logicalDriveID_ = kUnset;
    uint32_t channelID_ = kUnset;
    uint32_t deviceID_ = kUnset;
    uint64_t chunkID_ = kUnsetChunk;
    uint32_t itemID_ = kUnset;
    uint32_t phyID_ = kUnset;
};
