// Comparison of stored and current SAF-TE enclosures: fans, power supplies, temperature, and
// whether the enclosure is still there; the check of a controller seen for the first time;
// the reductions of SAF-TE and SES unit codes to one unit state.
#include <algorithm>
#include <cstring>

#include "detect/EnclosureEventTable.h"
#include "monitor/BaseRaidMonitor.h"
#include "raidlib/Adapter.h"
#include "raidlib/Channel.h"
#include "raidlib/Enclosure.h"
#include "raidlib/SESElement.h"
#include "snapshot/TLXEnclosure.h"

namespace {

// Units are numbered from 0; the SAF-TE status holds 32 fans and 32 power supplies.
constexpr int kMaxUnits = 32;

struct StatusReduction {
    int code;
    EnumSafteStatusTLX state;
};

// Codes not listed reduce to operational (0x80, unknown, included).
constexpr StatusReduction kSafteFanReduction[] = {
    {SAFTE_FAN_MALFUNCTIONING, SAFTE_STATUS_FAILED},
    {SAFTE_FAN_NOT_INSTALLED, SAFTE_STATUS_NOT_PRESENT},
};
// 0x11 (malfunctioning, commanded off) is not a failure: the supply was switched off.
constexpr StatusReduction kSaftePowerSupplyReduction[] = {
    {SAFTE_PS_MALFUNCTIONING_ON, SAFTE_STATUS_FAILED},
    {SAFTE_PS_NOT_PRESENT, SAFTE_STATUS_NOT_PRESENT},
};
// The same for SES fan and power-supply elements.
constexpr StatusReduction kSESReduction[] = {
    {SES_STATUS_CRITICAL, SAFTE_STATUS_FAILED},
    {SES_STATUS_UNRECOVERABLE, SAFTE_STATUS_FAILED},
    {SES_STATUS_NOT_INSTALLED, SAFTE_STATUS_NOT_PRESENT},
};

template <size_t N>
constexpr EnumSafteStatusTLX reduce(const StatusReduction (&table)[N], int code) {
    for (const StatusReduction& row : table) {
        if (row.code == code) {
            return row.state;
        }
    }
    return SAFTE_STATUS_OPERATIONAL;
}

// A stored enclosure answers from its snapshot, a current one from the library.
const TLXEnclosure* asStored(const Enclosure* enclosure) {
    return enclosure->isInstanceOf("TLXEnclosure") ? static_cast<const TLXEnclosure*>(enclosure)
                                                   : nullptr;
}

Enclosure* asEnclosure(RaidObject* object) {
    return object != nullptr && object->isInstanceOf("Enclosure") ? static_cast<Enclosure*>(object)
                                                                  : nullptr;
}

std::vector<RaidObject*> enclosuresOf(const Adapter* adapter) {
    std::vector<RaidObject*> list;
    adapter->getChildren(list, "Enclosure", true, true);
    return list;
}

uint32_t channelIDOf(const Enclosure* enclosure) {
    const Channel* channel = enclosure->getChannel();
    return channel != nullptr ? channel->getChannelID() : Addr::kUnset;
}

// The enclosure of tree at the address of the given one (from the other tree). Each tree is
// asked with its own controller's ID: a controller renumbered between two runs keeps its
// enclosures.
Enclosure* counterpartIn(const Adapter* tree, const Enclosure* enclosure) {
    return asEnclosure(tree->getObject(tree->getAdapterID(), Addr::kUnset, Addr::kUnset,
                                       channelIDOf(enclosure), enclosure->getDeviceID()));
}

EnumSafteStatusTLX temperatureState(const Enclosure* enclosure) {
    return enclosure->isTempOutOfRange() ? SAFTE_STATUS_FAILED : SAFTE_STATUS_OPERATIONAL;
}

}  // namespace

std::vector<CatalogKey> detect::enclosureCatalogKeys() {
    std::vector<CatalogKey> keys;
    for (const EnclosureEventRow& row : kEnclosureEvents) {
        const bool listed = std::any_of(keys.begin(), keys.end(), [&](const CatalogKey& key) {
            return std::strcmp(key.key, row.key) == 0;
        });
        if (!listed) {
            keys.push_back({row.key, enclosureEventArguments(row)});
        }
    }
    return keys;
}

bool BaseRaidMonitor::isSafteDataValid(Enclosure* enclosure) {
    if (enclosure == nullptr) {
        return false;
    }
    const TLXEnclosure* stored = asStored(enclosure);
    return stored != nullptr ? stored->tlxSafteDataValid : enclosure->isSafteDataValid();
}

int BaseRaidMonitor::getFanCount(Enclosure* enclosure) {
    if (enclosure == nullptr) {
        return 0;
    }
    const TLXEnclosure* stored = asStored(enclosure);
    return stored != nullptr ? stored->getSafteFanCount() : enclosure->getFanCount();
}

int BaseRaidMonitor::getPowerSupplyCount(Enclosure* enclosure) {
    if (enclosure == nullptr) {
        return 0;
    }
    const TLXEnclosure* stored = asStored(enclosure);
    return stored != nullptr ? stored->getSaftePowerSupplyCount()
                             : enclosure->getPowerSupplyCount();
}

EnumSafteStatusTLX BaseRaidMonitor::getFanStatus(Enclosure* enclosure, int index) {
    if (enclosure == nullptr || index < 0 || index >= kMaxUnits ||
        index >= getFanCount(enclosure)) {
        return SAFTE_STATUS_NOT_PRESENT;
    }
    const TLXEnclosure* stored = asStored(enclosure);
    const int code = stored != nullptr ? int{stored->getSafteFanStatus(index)}
                                       : int{enclosure->getFanStatus(index)};
    return reduce(kSafteFanReduction, code);
}

EnumSafteStatusTLX BaseRaidMonitor::getPowerSupplyStatus(Enclosure* enclosure, int index) {
    if (enclosure == nullptr || index < 0 || index >= kMaxUnits ||
        index >= getPowerSupplyCount(enclosure)) {
        return SAFTE_STATUS_NOT_PRESENT;
    }
    const TLXEnclosure* stored = asStored(enclosure);
    const int code = stored != nullptr ? int{stored->getSaftePowerSupplyStatus(index)}
                                       : int{enclosure->getPowerSupplyStatus(index)};
    return reduce(kSaftePowerSupplyReduction, code);
}

EnumSafteStatusTLX BaseRaidMonitor::getFanStatus(EnumSESStatusCodes code) {
    return reduce(kSESReduction, code);
}

EnumSafteStatusTLX BaseRaidMonitor::getPowerSupplyStatus(EnumSESStatusCodes code) {
    return reduce(kSESReduction, code);
}

SESElement* BaseRaidMonitor::getSESElement(std::vector<RaidObject*> elements, SESElement* element) {
    if (element == nullptr) {
        return nullptr;
    }
    const char* wanted = element->getElementDescriptor();
    for (RaidObject* object : elements) {
        if (object == nullptr || !object->isInstanceOf("SESElement")) {
            continue;
        }
        auto* candidate = static_cast<SESElement*>(object);
        const char* descriptor = candidate->getElementDescriptor();
        if (candidate->getElementType() == element->getElementType() &&
            std::strcmp(descriptor != nullptr ? descriptor : "", wanted != nullptr ? wanted : "") ==
                0) {
            return candidate;
        }
    }
    return nullptr;
}

// ---- events ----

void BaseRaidMonitor::raiseEnclosureEvent(TLXEventCollection& ecIN, detect::EnclosureUnit unit,
                                          int before, int after, Adapter* adapter,
                                          Enclosure* enclosure, int index) {
    const detect::EnclosureEventRow* row = detect::findEnclosureEvent(unit, before, after);
    if (row == nullptr) {
        return;
    }
    std::vector<std::string> args;
    if (detect::enclosureEventArguments(*row) == 2) {
        args.push_back(NLSParser::itoa(index + 1, 10));
    }
    args.push_back(getEventID(enclosure->getChannel()));
    TLXEvent event(row->code, row->type, nls.get(row->key, args), row->identifier);
    event.setObjectType(row->objectType);
    event.setAdapterID(adapter->getAdapterID());
    event.setAdapterSerial(adapter);
    event.setChannelID(channelIDOf(enclosure));
    event.setDeviceID(enclosure->getDeviceID());
    if (row->fields & detect::kModelField) {
        event.setEnclosureModel(enclosure->getModel());
    }
    if (row->fields & detect::kFanField) {
        event.setFan(index);
    }
    if (row->fields & detect::kPowerSupplyField) {
        event.setPowerSupply(index);
    }
    if (row->fields & detect::kFruField) {
        event.setFru(enclosure->getFruNumber());
    }
    ecIN.add(event);
}

void BaseRaidMonitor::compareSafteUnits(TLXEventCollection& ecIN, detect::EnclosureUnit unit,
                                        Adapter* adapter, Enclosure* current, Enclosure* stored) {
    const bool fans = unit == detect::EnclosureUnit::Fan;
    auto count = [&](Enclosure* enclosure) {
        return fans ? getFanCount(enclosure) : getPowerSupplyCount(enclosure);
    };
    auto state = [&](Enclosure* enclosure, int index) {
        return fans ? getFanStatus(enclosure, index) : getPowerSupplyStatus(enclosure, index);
    };
    const int units = std::max(count(current), count(stored));
    for (int index = 0; index < units; ++index) {
        const EnumSafteStatusTLX before = state(stored, index);
        const EnumSafteStatusTLX after = state(current, index);
        if (before != after) {
            raiseEnclosureEvent(ecIN, unit, before, after, adapter, current, index);
        }
    }
}

// ---- check and comparison ----

void BaseRaidMonitor::checkSafte(TLXEventCollection& ecIN, Adapter* adapter, Enclosure* enclosure) {
    if (adapter == nullptr || enclosure == nullptr) {
        return;
    }
    logTrace("       Entering checkSafte with Enclosure(&ecIN, CH: %d, PD: %d)\n",
             static_cast<int>(channelIDOf(enclosure)), static_cast<int>(enclosure->getDeviceID()));
    using detect::EnclosureUnit;
    using detect::kNoState;
    // Operational units find no row and raise nothing.
    const int fans = getFanCount(enclosure);
    for (int index = 0; index < fans; ++index) {
        raiseEnclosureEvent(ecIN, EnclosureUnit::Fan, kNoState, getFanStatus(enclosure, index),
                            adapter, enclosure, index);
    }
    const int supplies = getPowerSupplyCount(enclosure);
    for (int index = 0; index < supplies; ++index) {
        raiseEnclosureEvent(ecIN, EnclosureUnit::PowerSupply, kNoState,
                            getPowerSupplyStatus(enclosure, index), adapter, enclosure, index);
    }
    raiseEnclosureEvent(ecIN, EnclosureUnit::Temperature, kNoState, temperatureState(enclosure),
                        adapter, enclosure, 0);
}

void BaseRaidMonitor::checkSafte(TLXEventCollection& ecIN, Adapter* adapter) {
    if (adapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::checkSafte adapterIN is NULL!!!\n");
        return;
    }
    logTrace("   Entering checkSafte(&ecIN, ADPT: %d)\n",
             static_cast<int>(adapter->getAdapterID()));
    for (RaidObject* child : enclosuresOf(adapter)) {
        Enclosure* enclosure = asEnclosure(child);
        if (enclosure == nullptr) {
            logError("ERROR: BaseRaidMonitor::checkSafte enclosure is NULL!!!\n");
        } else if (!isSafteDataValid(enclosure)) {
            logError("ERROR: BaseRaidMonitor::checkSafte enclosure SafteData is invalid!!!\n");
        } else {
            checkSafte(ecIN, adapter, enclosure);
        }
    }
}

void BaseRaidMonitor::compareSafte(TLXEventCollection& ecIN, Adapter* current, Adapter* stored) {
    if (current == nullptr || stored == nullptr) {
        logError("ERROR: BaseRaidMonitor::compareSafte adapter is NULL!!!\n");
        return;
    }
    logTrace("   Entering compareSafte(&ecIN, ADPT: %d)\n",
             static_cast<int>(current->getAdapterID()));
    logTrace("       Checking for SAFTE Enclosures...\n");
    using detect::EnclosureUnit;
    using detect::kNoState;
    constexpr int kThere = SAFTE_STATUS_OPERATIONAL;
    for (RaidObject* child : enclosuresOf(current)) {
        Enclosure* now = asEnclosure(child);
        if (now == nullptr) {
            logError(
                "ERROR: BaseRaidMonitor::compareSafte newEnclosure is NULL while comparing!!!\n");
            continue;
        }
        Enclosure* before = counterpartIn(stored, now);
        if (before == nullptr) {
            // A new enclosure: report it and what is wrong with it now, whatever its SAF-TE
            // validity flag says.
            raiseEnclosureEvent(ecIN, EnclosureUnit::Enclosure, kNoState, kThere, current, now, 0);
            checkSafte(ecIN, current, now);
            continue;
        }
        // Invalid data on either side is left for the next run, which compares again.
        if (!isSafteDataValid(now) || !isSafteDataValid(before)) {
            continue;
        }
        compareSafteUnits(ecIN, EnclosureUnit::Fan, current, now, before);
        compareSafteUnits(ecIN, EnclosureUnit::PowerSupply, current, now, before);
        const EnumSafteStatusTLX tempBefore = temperatureState(before);
        const EnumSafteStatusTLX tempNow = temperatureState(now);
        if (tempBefore != tempNow) {
            raiseEnclosureEvent(ecIN, EnclosureUnit::Temperature, tempBefore, tempNow, current, now,
                                0);
        }
    }
    for (RaidObject* child : enclosuresOf(stored)) {
        Enclosure* before = asEnclosure(child);
        if (before == nullptr) {
            logError(
                "ERROR: BaseRaidMonitor::compareSafte oldEnclosure is NULL while checking for "
                "removed SAFTE Enclosure's!!!\n");
        } else if (counterpartIn(current, before) == nullptr) {
            raiseEnclosureEvent(ecIN, EnclosureUnit::Enclosure, kThere, kNoState, current, before,
                                0);
        }
    }
}
