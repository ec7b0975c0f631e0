#include "raidlib/Enclosure.h"

namespace {
template <typename T>
T* firstChildOf(const RaidObject& parent, const char* typeName) {
    for (RaidObject* child : parent.getChildren()) {
        if (child->isInstanceOf(typeName)) {
            return static_cast<T*>(child);
        }
    }
    return nullptr;
}
}  // namespace

SafteConfig* Enclosure::getSafteConfig() const {
    return firstChildOf<SafteConfig>(*this, "SafteConfig");
}

SafteStatus* Enclosure::getSafteStatus() const {
    return firstChildOf<SafteStatus>(*this, "SafteStatus");
}

void Enclosure::setSafteConfig(SafteConfig* config) {
    if (config == getSafteConfig()) {
        return;
    }
    delete removeChild(getSafteConfig());
    addChild(config);
}

void Enclosure::setSafteStatus(SafteStatus* status) {
    if (status == getSafteStatus()) {
        return;
    }
    delete removeChild(getSafteStatus());
    addChild(status);
}

int Enclosure::getFanCount() const {
    const SafteConfig* config = getSafteConfig();
    return config != nullptr ? config->getFanCount() : 0;
}

int Enclosure::getPowerSupplyCount() const {
    const SafteConfig* config = getSafteConfig();
    return config != nullptr ? config->getPowerSupplyCount() : 0;
}

EnumSAFTEFanStatusCodes Enclosure::getFanStatus(int index) const {
    const SafteStatus* status = getSafteStatus();
    if (status == nullptr || index < 0) {
        return SAFTE_FAN_UNKNOWN;
    }
    return static_cast<EnumSAFTEFanStatusCodes>(status->getFanStatus(static_cast<unsigned>(index)));
}

EnumSAFTEPowerSupplyStatusCodes Enclosure::getPowerSupplyStatus(int index) const {
    const SafteStatus* status = getSafteStatus();
    if (status == nullptr || index < 0) {
        return SAFTE_PS_UNKNOWN;
    }
    return static_cast<EnumSAFTEPowerSupplyStatusCodes>(
        status->getPowerSupplyStatus(static_cast<unsigned>(index)));
}

bool Enclosure::isTempOutOfRange() const {
    const SafteStatus* status = getSafteStatus();
    return status != nullptr && (status->getTempFlags1() != 0 || status->getTempFlags2() != 0);
}

uint32_t Enclosure::getSlotNumberFromDeviceID(uint32_t deviceID) const {
    for (const auto& entry : slotByDevice_) {
        if (entry.first == deviceID) {
            return entry.second;
        }
    }
    return Addr::kUnset;
}

void Enclosure::setSlotNumberForDeviceID(uint32_t deviceID, uint32_t slot) {
    for (auto& entry : slotByDevice_) {
        if (entry.first == deviceID) {
            entry.second = slot;
            return;
        }
    }
    slotByDevice_.emplace_back(deviceID, slot);
}
