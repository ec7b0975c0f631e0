// The snapshot form of an enclosure's SAF-TE configuration: fan, power-supply and slot
// counts. Written as the element "SafteConfig"; it answers isInstanceOf only for its own
// name, so stored enclosures are read through TLXEnclosure's SAF-TE queries.
#pragma once

#include <cstdint>

#include "port/Export.h"
#include "raidlib/RaidObject.h"
#include "snapshot/SnapshotElement.h"

class SafteConfig;
class SimpleXmlParser;

class TLX_EXPORT TLXSafteConfig : public RaidObject {
public:
    TLXSafteConfig() = default;
    TLXSafteConfig(const TLXSafteConfig& other) = default;
    ~TLXSafteConfig() override = default;

    bool isInstanceOf(const char* name) const override;
    const char* serializedName() const override { return "SafteConfig"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new TLXSafteConfig(*this); }

    void copyFrom(const SafteConfig& live);
    // True when this copy holds every value that copyFrom(live) would take.
    bool matches(const SafteConfig& live) const;
    void buildFromXml(SimpleXmlParser& parser);

    uint16_t getFanCount() const { return fanCount_; }
    void setFanCount(uint16_t count) { fanCount_ = count; }
    uint16_t getPowerSupplyCount() const { return powerSupplyCount_; }
    void setPowerSupplyCount(uint16_t count) { powerSupplyCount_ = count; }
    uint16_t getSlotCount() const { return slotCount_; }
    void setSlotCount(uint16_t count) { slotCount_ = count; }

private:
    SnapshotElement element_;
    uint16_t fanCount_ = 0;
    uint16_t powerSupplyCount_ = 0;
    uint16_t slotCount_ = 0;
};
