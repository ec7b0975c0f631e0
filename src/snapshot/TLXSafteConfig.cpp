#include "snapshot/TLXSafteConfig.h"

#include "raidlib/SafteConfig.h"

bool TLXSafteConfig::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXSafteConfig");
}

void TLXSafteConfig::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    writer->writeAttribute("fanCount", static_cast<int>(fanCount_));
    writer->writeAttribute("powerSupplyCount", static_cast<int>(powerSupplyCount_));
    writer->writeAttribute("slotCount", static_cast<int>(slotCount_));
}

bool TLXSafteConfig::matches(const SafteConfig& live) const {
    return fanCount_ == live.getFanCount() && powerSupplyCount_ == live.getPowerSupplyCount() &&
           slotCount_ == live.getSlotCount();
}

void TLXSafteConfig::copyFrom(const SafteConfig& live) {
    fanCount_ = live.getFanCount();
    powerSupplyCount_ = live.getPowerSupplyCount();
    slotCount_ = live.getSlotCount();
}

void TLXSafteConfig::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "SafteConfig", [](const char*) {}, [](const char*) {});
    const XmlAttributeList_C& list = element_.attributes();
    fanCount_ = static_cast<uint16_t>(list.GetLong("fanCount"));
    powerSupplyCount_ = static_cast<uint16_t>(list.GetLong("powerSupplyCount"));
    slotCount_ = static_cast<uint16_t>(list.GetLong("slotCount"));
    element_.attributes().Clear();
}
