// An enclosure device on a channel. When its SAF-TE data is valid it holds a SafteConfig
// and a SafteStatus child, from which the fan, power-supply and temperature queries answer;
// it also maps drive device IDs to its slots.
#pragma once

#include <utility>
#include <vector>

#include "raidlib/PhysicalDevice.h"
#include "raidlib/SafteConfig.h"
#include "raidlib/SafteStatus.h"

class BRIXVL_EXPORT Enclosure : public PhysicalDevice {
public:
    explicit Enclosure(Adapter* adapter = nullptr, Channel* channel = nullptr)
        : PhysicalDevice(adapter, channel) {}
    Enclosure(const Enclosure& other) = default;

    bool isInstanceOf(const char* name) const override {
        return named(name, "Enclosure") || PhysicalDevice::isInstanceOf(name);
    }
    const char* typeName() const override { return "Enclosure"; }
    const char* serializedName() const override { return "Enclosure"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new Enclosure(*this); }

    bool isSafteDataValid() const { return safteDataValid_; }
    void setSafteDataValid(bool valid) { safteDataValid_ = valid; }
    // The SAF-TE children; null when there is none.
    SafteConfig* getSafteConfig() const;
    SafteStatus* getSafteStatus() const;
    // Replace the SAF-TE child of that kind (taking ownership; null removes it).
    void setSafteConfig(SafteConfig* config);
    void setSafteStatus(SafteStatus* status);

    // Counts from the SAF-TE configuration; 0 without one.
    int getFanCount() const;
    int getPowerSupplyCount() const;
    // Status codes from the SAF-TE status; unknown (0x80) without one or past the table.
    EnumSAFTEFanStatusCodes getFanStatus(int index) const;
    EnumSAFTEPowerSupplyStatusCodes getPowerSupplyStatus(int index) const;
    // True when a temperature flag of the SAF-TE status is set. Virtual so that objects
    // which keep the flags elsewhere can answer from there.
    virtual bool isTempOutOfRange() const;

    // The slot that holds the drive with that device ID; 0x7FFFFFFF when none does.
    uint32_t getSlotNumberFromDeviceID(uint32_t deviceID) const;
    void setSlotNumberForDeviceID(uint32_t deviceID, uint32_t slot);

private:
    bool safteDataValid_ = false;
    std::vector<std::pair<uint32_t, uint32_t>> slotByDevice_;
};
