// A bus of a controller (parallel SCSI, SATA, SAS, ...) holding hard drives and enclosures.
// Its channel ID is the one its devices inherit.
#pragma once

#include "raidlib/Enums.h"
#include "raidlib/RaidObject.h"

class BRIXVL_EXPORT Channel : public RaidObject {
public:
    explicit Channel(Adapter* adapter = nullptr) { setAdapterLink(adapter); }
    Channel(const Channel& other) = default;

    bool isInstanceOf(const char* name) const override {
        return named(name, "Channel") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "Channel"; }
    const char* serializedName() const override { return "Channel"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new Channel(*this); }

    EnumChannelType getChannelType() const { return channelType_; }
    void setChannelType(EnumChannelType type) { channelType_ = type; }

private:
    EnumChannelType channelType_ = CHANNEL_TYPE_SCSI;
};
