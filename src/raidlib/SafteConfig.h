// The SAF-TE configuration of an enclosure: how many fans, power supplies and device slots
// it has. An enclosure holds it as a child.
#pragma once

#include <cstdint>

#include "raidlib/RaidObject.h"

class BRIXVL_EXPORT SafteConfig : public RaidObject {
public:
    SafteConfig() = default;
    SafteConfig(uint16_t fans, uint16_t powerSupplies, uint16_t slots)
        : fanCount_(fans), powerSupplyCount_(powerSupplies), slotCount_(slots) {}
    ~SafteConfig() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "SafteConfig") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "SafteConfig"; }
    const char* serializedName() const override { return "SafteConfig"; }
    RaidObject* clone() const override { return new SafteConfig(*this); }

    uint16_t getFanCount() const { return fanCount_; }
    void setFanCount(uint16_t count) { fanCount_ = count; }
    uint16_t getPowerSupplyCount() const { return powerSupplyCount_; }
    void setPowerSupplyCount(uint16_t count) { powerSupplyCount_ = count; }
    uint16_t getSlotCount() const { return slotCount_; }
    void setSlotCount(uint16_t count) { slotCount_ = count; }

private:
    uint16_t fanCount_ = 0;
    uint16_t powerSupplyCount_ = 0;
    uint16_t slotCount_ = 0;
};
