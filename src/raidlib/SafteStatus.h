// The SAF-TE status of an enclosure: one status byte per fan (32), power supply (32) and
// device slot (64), and the two temperature out-of-range flag bytes. Indexes past the
// tables read as unknown (0x80; 0xFF for slots) and are not written.
#pragma once

#include <array>
#include <cstdint>

#include "raidlib/RaidObject.h"

class BRIXVL_EXPORT SafteStatus : public RaidObject {
public:
    static constexpr unsigned kFans = 32;
    static constexpr unsigned kPowerSupplies = 32;
    static constexpr unsigned kSlots = 64;

    SafteStatus();
    ~SafteStatus() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "SafteStatus") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "SafteStatus"; }
    const char* serializedName() const override { return "SafteStatus"; }
    RaidObject* clone() const override { return new SafteStatus(*this); }

    uint8_t getFanStatus(unsigned index) const { return index < kFans ? fans_[index] : 0x80; }
    void setFanStatus(unsigned index, uint8_t code);
    uint8_t getPowerSupplyStatus(unsigned index) const;
    void setPowerSupplyStatus(unsigned index, uint8_t code);
    uint8_t getSlotStatus(unsigned index) const { return index < kSlots ? slots_[index] : 0xFF; }
    void setSlotStatus(unsigned index, uint8_t code);
    uint8_t getTempFlags1() const { return tempFlags1_; }
    void setTempFlags1(uint8_t flags) { tempFlags1_ = flags; }
    uint8_t getTempFlags2() const { return tempFlags2_; }
    void setTempFlags2(uint8_t flags) { tempFlags2_ = flags; }

private:
    std::array<uint8_t, kFans> fans_{};
    std::array<uint8_t, kPowerSupplies> powerSupplies_{};
    std::array<uint8_t, kSlots> slots_{};
    uint8_t tempFlags1_ = 0;
    uint8_t tempFlags2_ = 0;
};
