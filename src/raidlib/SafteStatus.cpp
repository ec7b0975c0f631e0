#include "raidlib/SafteStatus.h"

SafteStatus::SafteStatus() {
    fans_.fill(0x80);
    powerSupplies_.fill(0x80);
    slots_.fill(0xFF);
}

void SafteStatus::setFanStatus(unsigned index, uint8_t code) {
    if (index < kFans) {
        fans_[index] = code;
    }
}

uint8_t SafteStatus::getPowerSupplyStatus(unsigned index) const {
    return index < kPowerSupplies ? powerSupplies_[index] : 0x80;
}

void SafteStatus::setPowerSupplyStatus(unsigned index, uint8_t code) {
    if (index < kPowerSupplies) {
        powerSupplies_[index] = code;
    }
}

void SafteStatus::setSlotStatus(unsigned index, uint8_t code) {
    if (index < kSlots) {
        slots_[index] = code;
    }
}
