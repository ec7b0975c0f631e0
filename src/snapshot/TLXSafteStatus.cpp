#include "snapshot/TLXSafteStatus.h"

#include <cstdio>

#include "raidlib/SafteStatus.h"

namespace {

// The attribute names of a table's entries ("fan0" ... "slot63"), made once: the names are
// asked for on every write and every read of every enclosure.
template <size_t N>
class IndexedNames {
public:
    explicit IndexedNames(const char* prefix) {
        for (unsigned i = 0; i < N; ++i) {
            std::snprintf(names_[i].data(), names_[i].size(), "%s%u", prefix, i);
        }
    }
    const char* operator[](unsigned i) const { return names_[i].data(); }

private:
    std::array<std::array<char, 16>, N> names_;
};

const IndexedNames<TLXSafteStatus::kFans>& fanNames() {
    static const IndexedNames<TLXSafteStatus::kFans> names("fan");
    return names;
}
const IndexedNames<TLXSafteStatus::kPowerSupplies>& powerSupplyNames() {
    static const IndexedNames<TLXSafteStatus::kPowerSupplies> names("powerSupply");
    return names;
}
const IndexedNames<TLXSafteStatus::kSlots>& slotNames() {
    static const IndexedNames<TLXSafteStatus::kSlots> names("slot");
    return names;
}

template <size_t N>
void writeTable(Writer* writer, const IndexedNames<N>& names, const std::array<uint8_t, N>& table) {
    for (unsigned i = 0; i < N; ++i) {
        writer->writeAttribute(names[i], static_cast<int>(table[i]));
    }
}

template <size_t N>
void readTable(const XmlAttributeList_C& list, const IndexedNames<N>& names,
               std::array<uint8_t, N>& table) {
    for (unsigned i = 0; i < N; ++i) {
        table[i] = static_cast<uint8_t>(list.GetLong(names[i]));
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
    writeTable(writer, fanNames(), fan_);
    writeTable(writer, powerSupplyNames(), powerSupply_);
    writeTable(writer, slotNames(), slot_);
    writer->writeAttribute("tempFlags1", static_cast<int>(tempFlags1_));
    writer->writeAttribute("tempFlags2", static_cast<int>(tempFlags2_));
}

bool TLXSafteStatus::matches(const SafteStatus& live) const {
    for (unsigned i = 0; i < kFans; ++i) {
        if (fan_[i] != live.getFanStatus(i)) {
            return false;
        }
    }
    for (unsigned i = 0; i < kPowerSupplies; ++i) {
        if (powerSupply_[i] != live.getPowerSupplyStatus(i)) {
            return false;
        }
    }
    for (unsigned i = 0; i < kSlots; ++i) {
        if (slot_[i] != live.getSlotStatus(i)) {
            return false;
        }
    }
    return tempFlags1_ == live.getTempFlags1() && tempFlags2_ == live.getTempFlags2();
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
    readTable(list, fanNames(), fan_);
    readTable(list, powerSupplyNames(), powerSupply_);
    readTable(list, slotNames(), slot_);
    tempFlags1_ = static_cast<uint8_t>(list.GetLong("tempFlags1"));
    tempFlags2_ = static_cast<uint8_t>(list.GetLong("tempFlags2"));
    element_.attributes().Clear();
}
