// Comparison of a stored controller with the current one, and the report of a new one.
#include <iterator>
#include <vector>

#include "detect/ControllerCatalogKeys.h"
#include "monitor/BaseRaidMonitor.h"
#include "raidlib/raidlib.h"

namespace {

enum class AdapterCondition {
    Added,
    Replaced,
    StateChange,
    Failed,
    NewBattery,
    BatteryLow,
    BatteryNormal,
    BatteryOvertemp,
    BatteryTempNormal,
    BadStripes,
    MismatchedVersions,
    ControllerOvertemp,
};

// One controller event. A condition with two rows raises both, in table order, with the
// same text: its own event and then the general state change.
struct AdapterEventRow {
    AdapterCondition condition;
    const char* messageKey;
    const char* identifier;
    int eventCode;
    EnumEventType eventType;
    // The type when the controller's status is failed (1); the state change turns to an error.
    EnumEventType eventTypeWhenFailed;
    // The controller identity, and for the version mismatch the three versions.
    int arguments;
};

constexpr const char* kStateChange = "EVENT_VELMAR_STATE_CHANGE";
constexpr EnumEventType kError = TLX_EVENT_ERROR;
constexpr EnumEventType kWarning = TLX_EVENT_WARNING;
constexpr EnumEventType kInfo = TLX_EVENT_INFORMATIONAL;

using C = AdapterCondition;
constexpr AdapterEventRow kAdapterEvents[] = {
    {C::Added, "agentEventInfControllerAdded", "EVENT_VELMAR_STATE_ADDED", 207, kInfo, kInfo, 1},
    {C::Replaced, "agentEventInfControllerReplace", "EVENT_VELMAR_STATE_REPLACED", 208, kInfo,
     kInfo, 1},
    {C::StateChange, "agentEventInfControllerStateChange", kStateChange, 299, kInfo, kError, 1},
    {C::Failed, "agentEventErrController", "EVENT_VELMAR_STATE_FAILED", 202, kError, kError, 1},
    {C::NewBattery, "agentEventErrBBCNewBattery", "", 203, kError, kError, 1},
    {C::NewBattery, "agentEventErrBBCNewBattery", kStateChange, 299, kWarning, kWarning, 1},
    {C::BatteryLow, "agentEventWrnBatteryLow", "", 214, kWarning, kWarning, 1},
    {C::BatteryLow, "agentEventWrnBatteryLow", kStateChange, 299, kWarning, kWarning, 1},
    {C::BatteryNormal, "agentEventInfBatteryNormal", "", 217, kInfo, kInfo, 1},
    {C::BatteryNormal, "agentEventInfBatteryNormal", kStateChange, 299, kInfo, kInfo, 1},
    {C::BatteryOvertemp, "agentEventWrnBatteryOvertemp", "", 211, kWarning, kWarning, 1},
    {C::BatteryOvertemp, "agentEventWrnBatteryOvertemp", kStateChange, 299, kWarning, kWarning, 1},
    {C::BatteryTempNormal, "agentEventInfBatteryTempNormal", "", 216, kInfo, kInfo, 1},
    {C::BatteryTempNormal, "agentEventInfBatteryTempNormal", kStateChange, 299, kInfo, kInfo, 1},
    {C::BadStripes, "agentEventWrnBadStripes", "EVENT_VELMAR_CONTROLLER_BAD_STRIPES", 215, kWarning,
     kWarning, 1},
    {C::MismatchedVersions, "agentEventWrnMismatchedVersions", "EVENT_VELMAR_VERSION_MISMATCH", 210,
     kWarning, kWarning, 4},
    {C::ControllerOvertemp, "agentEventWrnControllerOvertemp", "EVENT_VELMAR_CONTROLLER_OVERTEMP",
     213, kWarning, kWarning, 1},
};

const char* textOf(const char* text) {
    return text != nullptr ? text : "";
}

bool isFailed(const Adapter& adapter) {
    return adapter.getAdapterStatus() == CONTROLLER_STATUS_FAILED;
}

// Raises the events of condition about the current controller: the text names it (and for
// the version mismatch its three versions), the event carries its ID and serial.
void raise(BaseRaidMonitor& monitor, NLSParser& nls, TLXEventCollection& ecIN, Adapter& adapter,
           AdapterCondition condition) {
    std::vector<std::string> args{monitor.getEventID(&adapter)};
    if (condition == C::MismatchedVersions) {
        args.push_back(textOf(adapter.getBiosVersion()));
        args.push_back(textOf(adapter.getFirmwareVersion()));
        args.push_back(textOf(adapter.getDeviceDriverVersion()));
    }
    for (const AdapterEventRow& row : kAdapterEvents) {
        if (row.condition != condition) {
            continue;
        }
        TLXEvent event(row.eventCode, isFailed(adapter) ? row.eventTypeWhenFailed : row.eventType,
                       nls.get(row.messageKey, args), row.identifier);
        event.setAdapterID(adapter.getAdapterID());
        event.setObjectType(TLX_OBJ_ADAPTER);
        event.setAdapterSerial(&adapter);
        ecIN.add(event);
    }
}

}  // namespace

namespace detect {

std::vector<CatalogKey> adapterCatalogKeys() {
    std::vector<CatalogKey> keys;
    for (const AdapterEventRow& row : kAdapterEvents) {
        keys.push_back({row.messageKey, row.arguments});
    }
    return keys;
}

}  // namespace detect

int BaseRaidMonitor::compareAdapter(TLXEventCollection& ecIN, Adapter* newAdapter,
                                    Adapter* oldAdapter) {
    if (newAdapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::compareAdapter newAdapterIN is NULL!!!\n");
        return 13;
    }
    if (oldAdapter == nullptr) {
        logTrace("   Entering compareAdapter(&ecIN, ADPT: %s vs NULL)\n",
                 textOf(newAdapter->getSerialNumString()));
        raise(*this, nls, ecIN, *newAdapter, C::Added);
        return 10;
    }
    logTrace("   Entering compareAdapter(&ecIN, ADPT: %s vs %s)\n",
             textOf(newAdapter->getSerialNumString()), textOf(oldAdapter->getSerialNumString()));

    const EnumControllerStatus status = newAdapter->getAdapterStatus();
    const EnumControllerStatus storedStatus = oldAdapter->getAdapterStatus();
    if (status == CONTROLLER_STATUS_OKAY && storedStatus != CONTROLLER_STATUS_OKAY) {
        raise(*this, nls, ecIN, *newAdapter, C::Replaced);
        return 11;
    }
    if (status != storedStatus) {
        raise(*this, nls, ecIN, *newAdapter, C::StateChange);
    }
    if (status == CONTROLLER_STATUS_FAILED && storedStatus == CONTROLLER_STATUS_OKAY) {
        raise(*this, nls, ecIN, *newAdapter, C::Failed);
        return 13;
    }

    if (isBatteryCacheInstalled(newAdapter)) {
        const EnumBatteryStatus battery = newAdapter->getBatStatus();
        const EnumBatteryStatus storedBattery = oldAdapter->getBatStatus();
        if (battery != storedBattery) {
            if (battery == BATTERY_STATUS_NEW) {
                raise(*this, nls, ecIN, *newAdapter, C::NewBattery);
            } else if (battery == BATTERY_STATUS_LOW) {
                raise(*this, nls, ecIN, *newAdapter, C::BatteryLow);
            } else if (batteryStatusChangedToNormal(battery, storedBattery)) {
                raise(*this, nls, ecIN, *newAdapter, C::BatteryNormal);
            }
        }
        const bool hot = newAdapter->IsBatTempWarning();
        const bool wasHot = oldAdapter->IsBatTempWarning();
        if (hot && !wasHot) {
            raise(*this, nls, ecIN, *newAdapter, C::BatteryOvertemp);
        } else if (!hot && wasHot) {
            raise(*this, nls, ecIN, *newAdapter, C::BatteryTempNormal);
        }
    }

    // The timer is asked first: only when its interval has passed are the drives looked at.
    if (isTimeToReportBadStripe() && checkBadStripes(newAdapter)) {
        raise(*this, nls, ecIN, *newAdapter, C::BadStripes);
    }
    compareRelativeChanges(newAdapter, oldAdapter);
    return status == CONTROLLER_STATUS_OKAY ? 12 : 13;
}

void BaseRaidMonitor::checkAdapter(TLXEventCollection& ecIN, Adapter* adapter) {
    if (adapter == nullptr) {
        logError("ERROR: BaseRaidMonitor::checkAdapter adapterIN is NULL!!!\n");
        return;
    }
    logTrace("   Entering checkAdapter(&ecIN, ADPT: %d)\n",
             static_cast<int>(adapter->getAdapterID()));
    raise(*this, nls, ecIN, *adapter, C::StateChange);
    if (isFailed(*adapter)) {
        raise(*this, nls, ecIN, *adapter, C::Failed);
        return;
    }
    if (isBatteryCacheInstalled(adapter)) {
        if (adapter->getBatStatus() == BATTERY_STATUS_NEW) {
            raise(*this, nls, ecIN, *adapter, C::NewBattery);
        } else if (adapter->getBatStatus() == BATTERY_STATUS_LOW) {
            raise(*this, nls, ecIN, *adapter, C::BatteryLow);
        }
        if (adapter->IsBatTempWarning()) {
            raise(*this, nls, ecIN, *adapter, C::BatteryOvertemp);
        }
    }
    if (adapter->getVersionMatchStatus() == CODE_VERSION_MISMATCH) {
        raise(*this, nls, ecIN, *adapter, C::MismatchedVersions);
    }
    if (isAdapterOverTemparature(adapter)) {
        raise(*this, nls, ecIN, *adapter, C::ControllerOvertemp);
    }
    if (checkBadStripes(adapter)) {
        raise(*this, nls, ecIN, *adapter, C::BadStripes);
    }
}

bool BaseRaidMonitor::isBatteryCacheInstalled(Adapter* adapter) {
    if (adapter == nullptr) {
        return false;
    }
    const EnumBatteryStatus status = adapter->getBatStatus();
    return status == BATTERY_STATUS_CHARGING ||
           (status >= BATTERY_STATUS_OK && status <= BATTERY_STATUS_RECONDITIONING);
}

bool BaseRaidMonitor::batteryStatusChangedToNormal(EnumBatteryStatus newStatus,
                                                   EnumBatteryStatus oldStatus) {
    const auto normal = [](EnumBatteryStatus status) {
        return status == BATTERY_STATUS_OK || status == BATTERY_STATUS_FULLY_CHARGED;
    };
    return newStatus != oldStatus && normal(newStatus) && !normal(oldStatus);
}

bool BaseRaidMonitor::checkBadStripes(Adapter* adapter) {
    if (adapter == nullptr) {
        return false;
    }
    std::vector<RaidObject*> drives;
    adapter->getChildren(drives, "LogicalDrive", true, true);
    for (RaidObject* object : drives) {
        const auto* drive = dynamic_cast<const LogicalDrive*>(object);
        if (drive != nullptr && drive->getBadBlockCount() > 0) {
            return true;
        }
    }
    return false;
}

bool BaseRaidMonitor::isAdapterOverTemparature(Adapter* adapter) {
    // The heat-sink values mean something only where the controller has the sensor.
    if (adapter == nullptr || adapter->getFeature(FEATURE_HEAT_SINK_TEMPERATURE) == 0) {
        return false;
    }
    return adapter->getHSTemperature() >= adapter->getHSThresholdHi();
}
