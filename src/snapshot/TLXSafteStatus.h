// The snapshot form of an enclosure's SAF-TE status: 32 fan and 32 power-supply status
// bytes (0x80, unknown, until set), 64 slot bytes (0xFF) and the two temperature flag bytes.
// Written as the element "SafteStatus"; an attribute missing on reading gives 0, not the
// construction default. It answers isInstanceOf only for its own name.
#pragma once

#include <array>
#include <cstdint>

#include "port/Export.h"
#include "raidlib/RaidObject.h"
#include "snapshot/SnapshotElement.h"

class SafteStatus;
class SimpleXmlParser;

class TLX_EXPORT TLXSafteStatus : public RaidObject {
public:
    static constexpr unsigned kFans = 32;
    static constexpr unsigned kPowerSupplies = 32;
    static constexpr unsigned kSlots = 64;

    TLXSafteStatus();
    TLXSafteStatus(const TLXSafteStatus& other) = default;
    ~TLXSafteStatus() override = default;

    bool isInstanceOf(const char* name) const override;
    const char* serializedName() const override { return "SafteStatus"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new TLXSafteStatus(*this); }

    void copyFrom(const SafteStatus& live);
    // True when this copy holds every value that copyFrom(live) would take.
    bool matches(const SafteStatus& live) const;
    void buildFromXml(SimpleXmlParser& parser);

    // Out-of-range indexes read as 0x80 (0xFF for slots) and are ignored when set.
    uint8_t getFanStatus(unsigned index) const { return index < kFans ? fan_[index] : 0x80; }
    void setFanStatus(unsigned index, uint8_t code);
    uint8_t getPowerSupplyStatus(unsigned index) const {
        return index < kPowerSupplies ? powerSupply_[index] : 0x80;
    }
    void setPowerSupplyStatus(unsigned index, uint8_t code);
    uint8_t getSlotStatus(unsigned index) const { return index < kSlots ? slot_[index] : 0xFF; }
    void setSlotStatus(unsigned index, uint8_t code);
    uint8_t getTempFlags1() const { return tempFlags1_; }
    void setTempFlags1(uint8_t flags) { tempFlags1_ = flags; }
    uint8_t getTempFlags2() const { return tempFlags2_; }
    void setTempFlags2(uint8_t flags) { tempFlags2_ = flags; }

private:
    SnapshotElement element_;
    std::array<uint8_t, kFans> fan_;
    std::array<uint8_t, kPowerSupplies> powerSupply_;
    std::array<uint8_t, kSlots> slot_;
    uint8_t tempFlags1_ = 0;
    uint8_t tempFlags2_ = 0;
};
