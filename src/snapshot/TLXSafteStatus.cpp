#include "snapshot/TLXSafteStatus.h"

#include <cstdio>

#include "raidlib/SafteStatus.h"

namespace {

// The attribute name of entry index of a table ("fan0" ... "slot63").
struct IndexedName {
    IndexedName(const char* prefix, unsigned index) {
        std::snprintf(text, sizeof text, "%s%u", prefix, index);
    }
    char text[24];
};

template <size_t N>
void writeTable(Writer* writer, const char* prefix, const std::array<uint8_t, N>& table) {
    for (unsigned i = 0; i < N; ++i) {
        writer->writeAttribute(IndexedName(prefix, i).text, static_cast<int>(table[i]));
    }
}

template <size_t N>
void readTable(const XmlAttributeList_C& list, const char* prefix, std::array<uint8_t, N>& table) {
    for (unsigned i = 0; i < N; ++i) {
        table[i] = static_cast<uint8_t>(list.GetLong(IndexedName(prefix, i).text));
    }
}

}  // namespace

TLXSafteStatus::TLXSafteStatus() {
    fan_.fill(0x80);
    powerSupply_.fill(0x80);
    slot_.fill(0xFF);
}

bool TLXSafteStatus::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXSafteStatus");
}

void TLXSafteStatus::setFanStatus(unsigned index, uint8_t code) {
    if (index < kFans) {
        fan_[index] = code;
    }
}

void TLXSafteStatus::setPowerSupplyStatus(unsigned index, uint8_t code) {
    if (index < kPowerSupplies) {
        powerSupply_[index] = code;
    }
}

void TLXSafteStatus::setSlotStatus(unsigned index, uint8_t code) {
    if (index < kSlots) {
        slot_[index] = code;
    }
}

void TLXSafteStatus::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    writeTable(writer, "fan", fan_);
    writeTable(writer, "powerSupply", powerSupply_);
    writeTable(writer, "slot", slot_);
    writer->writeAttribute("tempFlags1", static_cast<int>(tempFlags1_));
    writer->writeAttribute("tempFlags2", static_cast<int>(tempFlags2_));
}

void TLXSafteStatus::copyFrom(const SafteStatus& live) {
    for (unsigned i = 0; i < kFans; ++i) {
        fan_[i] = live.getFanStatus(i);
    }
    for (unsigned i = 0; i < kPowerSupplies; ++i) {
        powerSupply_[i] = live.getPowerSupplyStatus(i);
    }
    for (unsigned i = 0; i < kSlots; ++i) {
        slot_[i] = live.getSlotStatus(i);
    }
    tempFlags1_ = live.getTempFlags1();
    tempFlags2_ = live.getTempFlags2();
}

void TLXSafteStatus::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "SafteStatus", [](const char*) {}, [](const char*) {});
    const XmlAttributeList_C& list = element_.attributes();
    readTable(list, "fan", fan_);
    readTable(list, "powerSupply", powerSupply_);
    readTable(list, "slot", slot_);
    tempFlags1_ = static_cast<uint8_t>(list.GetLong("tempFlags1"));
    tempFlags2_ = static_cast<uint8_t>(list.GetLong("tempFlags2"));
    element_.attributes().Clear();
}
