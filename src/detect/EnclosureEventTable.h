// The events of the enclosure comparison as data: one row per situation (an enclosure found
// or lost, a fan, power supply or temperature that changed between the stored and the
// current enclosure, a unit that a check finds failed or missing), with its message key,
// event-code name, code, severity, object type and the fields the event carries beside its
// address. Constant data; any thread may read it.
#pragma once

#include <vector>

#include "detect/EnumSafteStatusTLX.h"
#include "events/EnumEventType.h"
#include "events/EnumObjectType.h"
#include "nls/CatalogKey.h"

namespace detect {

// What a row is about. Temperature reads as a unit state too: in range is operational, out
// of range failed. An enclosure that is there reads as operational.
enum class EnclosureUnit { Enclosure, Fan, PowerSupply, Temperature };

// The state on a side that has none: the stored side of a check or of a new enclosure, the
// current side of a lost enclosure.
inline constexpr int kNoState = 0;

// Fields that an event carries beside its address and controller serial number.
enum EnclosureEventField : unsigned {
    kModelField = 1,        // setEnclosureModel: the enclosure's model
    kFanField = 2,          // setFan: the unit index, from 0
    kPowerSupplyField = 4,  // setPowerSupply: the unit index, from 0
    kFruField = 8,          // setFru: the enclosure's FRU number
};

struct EnclosureEventRow {
    const char* name;
    EnclosureUnit unit;
    int before;  // stored state, or kNoState
    int after;   // current state, or kNoState
    const char* key;
    const char* identifier;
    int code;
    EnumEventType type;
    EnumObjectType objectType;
    unsigned fields;
};

// The rows, with short names for the states, severities and field sets they use.
namespace enclosure_rows {
using U = EnclosureUnit;
constexpr int kOk = SAFTE_STATUS_OPERATIONAL;
constexpr int kFailed = SAFTE_STATUS_FAILED;
constexpr int kMissing = SAFTE_STATUS_NOT_PRESENT;
constexpr EnumEventType kError = TLX_EVENT_ERROR;
constexpr EnumEventType kInfo = TLX_EVENT_INFORMATIONAL;
constexpr unsigned kModel = kModelField;
constexpr unsigned kFan = kFanField | kFruField;
constexpr unsigned kSupply = kPowerSupplyField | kFruField;

// The removed rows (F4, F6, P4, P6, C2, C4) carry type 1 although their keys are warnings.
inline constexpr EnclosureEventRow kEnclosureEvents[] = {
    // clang-format off
    {"E1", U::Enclosure,   kNoState, kOk,       "agentEventInfEnclOk",           "EVENT_VELMAR_ENC_OK",            501, kInfo,  TLX_OBJ_ENCLOSURE,    kModel},
    {"E2", U::Enclosure,   kOk,      kNoState,  "agentEventErrEnclFail",         "EVENT_VELMAR_ENC_FAILURE",       502, kError, TLX_OBJ_ENCLOSURE,    kModel},
    {"F1", U::Fan,         kFailed,  kOk,       "agentEventInfFanOperational",   "EVENT_VELMAR_ENC_FAN_REPLACED",  503, kInfo,  TLX_OBJ_FAN,          kFan},
    {"F2", U::Fan,         kOk,      kFailed,   "agentEventErrFanFail",          "EVENT_VELMAR_ENC_FAN_FAILURE",   504, kError, TLX_OBJ_FAN,          kFan},
    {"F3", U::Fan,         kMissing, kOk,       "agentEventInfFanInstalled",     "EVENT_VELMAR_ENC_FAN_INSTALLED", 505, kInfo,  TLX_OBJ_FAN,          kFan},
    {"F4", U::Fan,         kOk,      kMissing,  "agentEventWrnFanRemoved",       "EVENT_VELMAR_ENC_FAN_REMOVED",   506, kError, TLX_OBJ_FAN,          kFan},
    {"F5", U::Fan,         kMissing, kFailed,   "agentEventErrFanFail",          "EVENT_VELMAR_ENC_FAN_FAILURE",   504, kError, TLX_OBJ_FAN,          kFan},
    {"F6", U::Fan,         kFailed,  kMissing,  "agentEventWrnFanRemoved",       "EVENT_VELMAR_ENC_FAN_REMOVED",   506, kError, TLX_OBJ_FAN,          kFan},
    {"T1", U::Temperature, kFailed,  kOk,       "agentEventInfTempNormal",       "EVENT_VELMAR_ENC_TEMP_NORMAL",   507, kInfo,  TLX_OBJ_ENCLOSURE,    kModel},
    {"T2", U::Temperature, kOk,      kFailed,   "agentEventErrTempFail",         "EVENT_VELMAR_ENC_TEMP_FAILURE",  508, kError, TLX_OBJ_ENCLOSURE,    kModel},
    {"P1", U::PowerSupply, kFailed,  kOk,       "agentEventInfPowerOperational", "EVENT_VELMAR_ENC_PS_REPLACED",   509, kInfo,  TLX_OBJ_POWER_SUPPLY, kSupply},
    {"P2", U::PowerSupply, kOk,      kFailed,   "agentEventErrPowerFail",        "EVENT_VELMAR_ENC_PS_FAILURE",    510, kError, TLX_OBJ_POWER_SUPPLY, kSupply},
    {"P3", U::PowerSupply, kMissing, kOk,       "agentEventInfPowerInstalled",   "EVENT_VELMAR_ENC_PS_INSTALLED",  511, kInfo,  TLX_OBJ_POWER_SUPPLY, kSupply},
    {"P4", U::PowerSupply, kOk,      kMissing,  "agentEventWrnPowerRemoved",     "EVENT_VELMAR_ENC_PS_REMOVED",    512, kError, TLX_OBJ_POWER_SUPPLY, kSupply},
    {"P5", U::PowerSupply, kMissing, kFailed,   "agentEventErrPowerFail",        "EVENT_VELMAR_ENC_PS_FAILURE",    510, kError, TLX_OBJ_POWER_SUPPLY, kSupply},
    {"P6", U::PowerSupply, kFailed,  kMissing,  "agentEventWrnPowerRemoved",     "EVENT_VELMAR_ENC_PS_REMOVED",    512, kError, TLX_OBJ_POWER_SUPPLY, kSupply},
    {"C1", U::Fan,         kNoState, kFailed,   "agentEventErrFanFail",          "EVENT_VELMAR_ENC_FAN_FAILURE",   504, kError, TLX_OBJ_FAN,          kFan},
    {"C2", U::Fan,         kNoState, kMissing,  "agentEventWrnFanRemoved",       "EVENT_VELMAR_ENC_FAN_REMOVED",   506, kError, TLX_OBJ_FAN,          kFan},
    {"C3", U::PowerSupply, kNoState, kFailed,   "agentEventErrPowerFail",        "EVENT_VELMAR_ENC_PS_FAILURE",    510, kError, TLX_OBJ_POWER_SUPPLY, kSupply},
    {"C4", U::PowerSupply, kNoState, kMissing,  "agentEventWrnPowerRemoved",     "EVENT_VELMAR_ENC_PS_REMOVED",    512, kError, TLX_OBJ_POWER_SUPPLY, kSupply},
    {"C5", U::Temperature, kNoState, kFailed,   "agentEventErrTempFail",         "EVENT_VELMAR_ENC_TEMP_FAILURE",  508, kError, TLX_OBJ_ENCLOSURE,    kModel},
    // clang-format on
};
}  // namespace enclosure_rows

using enclosure_rows::kEnclosureEvents;

// The row for that unit going from the stored state before to the current state after;
// null when the change raises no event (a check that finds a unit operational).
constexpr const EnclosureEventRow* findEnclosureEvent(EnclosureUnit unit, int before, int after) {
    for (const EnclosureEventRow& row : kEnclosureEvents) {
        if (row.unit == unit && row.before == before && row.after == after) {
            return &row;
        }
    }
    return nullptr;
}

// Fans and power supplies are named by [unit number, channel identity], the rest by
// [channel identity].
constexpr int enclosureEventArguments(const EnclosureEventRow& row) {
    return row.unit == EnclosureUnit::Fan || row.unit == EnclosureUnit::PowerSupply ? 2 : 1;
}

// The message keys of the rows, each once, with the number of arguments their lookup passes.
std::vector<CatalogKey> enclosureCatalogKeys();

}  // namespace detect
