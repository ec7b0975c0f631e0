#include "raidlib/VelmarLib.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <new>
#include <string>
#include <utility>

#include "raidlib/Adapter.h"
#include "raidlib/Enclosure.h"
#include "raidlib/HardDrive.h"
#include "raidlib/LogicalDrive.h"
#include "raidlib/PhysicalDevice.h"
#include "raidlib/ProgressCollection.h"

VelmarLib::VelmarLib()
    : model_(new System()), clock_([] {
          return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count());
      }) {}

VelmarLib::~VelmarLib() = default;

void VelmarLib::setHardwareModel(System* model) {
    std::lock_guard<port::Mutex> lock(mutex_);
    model_.reset(model != nullptr ? model : new System());
}

void VelmarLib::setDiscoveryFails(bool fails) {
    std::lock_guard<port::Mutex> lock(mutex_);
    discoveryFails_ = fails;
}

System* VelmarLib::getCurrentSystem() {
    std::lock_guard<port::Mutex> lock(mutex_);
    applyPendingLocked();
    return current_.get();
}

System* VelmarLib::getOldSystem() {
    std::lock_guard<port::Mutex> lock(mutex_);
    return old_.get();
}

void VelmarLib::SetTLXStartTime(int64_t seconds) {
    std::lock_guard<port::Mutex> lock(mutex_);
    startTime_ = seconds;
}

int64_t VelmarLib::getTLXStartTime() const {
    std::lock_guard<port::Mutex> lock(mutex_);
    return startTime_;
}

void VelmarLib::setClock(std::function<int64_t()> clock) {
    std::lock_guard<port::Mutex> lock(mutex_);
    clock_ = std::move(clock);
}

System* VelmarLib::getNewSystem() {
    std::lock_guard<port::Mutex> lock(mutex_);
    if (discoveryFails_) {
        return nullptr;
    }
    std::unique_ptr<System> fresh;
    try {
        fresh.reset(static_cast<System*>(model_->clone()));
    } catch (const std::bad_alloc&) {
        return nullptr;  // out of memory: nothing discovered, the trees stay as they were
    }
    old_ = std::move(current_);  // the tree before the old one is freed here
    current_ = std::move(fresh);
    pending_.clear();  // the copy already holds every change made so far
    return current_.get();
}

Ret VelmarLib::getEvents(const Addr& adapter, unsigned long from, char** buffer) {
    if (buffer == nullptr) {
        return Ret(Ret::kInvalidArgument);
    }
    std::lock_guard<port::Mutex> lock(mutex_);
    applyPendingLocked();
    std::string text;
    try {
        auto log = logs_.find(adapter.getAdapterID());
        if (log != logs_.end()) {
            for (const LoggedRecord& logged : log->second.records) {
                if (logged.record.getEventNumber() >= from && logged.loggedAt >= startTime_) {
                    text += logged.record.toXml();
                }
            }
        }
    } catch (const std::bad_alloc&) {
        std::free(*buffer);
        *buffer = nullptr;
        return Ret(Ret::kNoMemory);
    }
    if (text.empty()) {
        std::free(*buffer);
        *buffer = nullptr;
        return Ret();
    }
    void* grown = std::realloc(*buffer, text.size() + 1);
    if (grown == nullptr) {
        std::free(*buffer);
        *buffer = nullptr;
        return Ret(Ret::kNoMemory);
    }
    std::memcpy(grown, text.c_str(), text.size() + 1);
    *buffer = static_cast<char*>(grown);
    return Ret();
}

RaidObject* VelmarLib::getCurrentObject(Addr& addr) {
    std::lock_guard<port::Mutex> lock(mutex_);
    applyPendingLocked();
    return current_ ? current_->getObject(addr) : nullptr;
}

namespace {
bool lies(const Addr& wanted, const Addr& have) {
    const auto agrees = [](uint32_t w, uint32_t h) { return w == Addr::kUnset || w == h; };
    return agrees(wanted.getAdapterID(), have.getAdapterID()) &&
           agrees(wanted.getArrayID(), have.getArrayID()) &&
           agrees(wanted.getLogicalDriveID(), have.getLogicalDriveID()) &&
           agrees(wanted.getChannelID(), have.getChannelID()) &&
           agrees(wanted.getDeviceID(), have.getDeviceID());
}
}  // namespace

Ret VelmarLib::getTasks(const Addr& addr, ProgressCollection& tasks) {
    std::lock_guard<port::Mutex> lock(mutex_);
    applyPendingLocked();
    if (!current_) {
        return Ret(Ret::kNotFound);
    }
    std::vector<RaidObject*> objects;
    current_->getChildren(objects, nullptr, true, true);
    for (RaidObject* object : objects) {
        if (!lies(addr, object->getAddr())) {
            continue;
        }
        Progress task;
        if (object->isInstanceOf("LogicalDrive")) {
            static_cast<LogicalDrive*>(object)->getProgress(task);
        } else if (object->isInstanceOf("PhysicalDevice")) {
            static_cast<PhysicalDevice*>(object)->getProgress(task);
        }
        if (task.getType() != TASK_TYPE_NONE) {
            tasks.addProgress(task);
        }
    }
    return Ret();
}

unsigned long VelmarLib::appendEvent(uint32_t adapterID, RaidEvent record) {
    std::lock_guard<port::Mutex> lock(mutex_);
    return appendLocked(adapterID, std::move(record));
}

unsigned long VelmarLib::appendLocked(uint32_t adapterID, RaidEvent record) {
    EventLog& log = logs_[adapterID];
    record.setEventNumber(log.nextNumber++);
    log.records.push_back({std::move(record), clock_()});
    return log.records.back().record.getEventNumber();
}

RaidObject* VelmarLib::modelObjectLocked(const Addr& addr, const char* type) const {
    RaidObject* object = model_->getObject(addr);
    return object != nullptr && object->isInstanceOf(type) ? object : nullptr;
}

void VelmarLib::editLocked(const Addr& addr, const std::function<void(RaidObject&)>& edit) {
    if (RaidObject* object = model_->getObject(addr)) {
        edit(*object);
    }
    if (current_) {
        pending_.push_back({addr, edit});
    }
}

void VelmarLib::applyPendingLocked() {
    for (const PendingEdit& change : pending_) {
        if (RaidObject* object = current_ ? current_->getObject(change.addr) : nullptr) {
            change.edit(*object);
        }
    }
    pending_.clear();
}

unsigned long VelmarLib::getNextEventNumber(uint32_t adapterID) const {
    std::lock_guard<port::Mutex> lock(mutex_);
    auto log = logs_.find(adapterID);
    return log != logs_.end() ? log->second.nextNumber : 1;
}

void VelmarLib::setNextEventNumber(uint32_t adapterID, unsigned long number) {
    std::lock_guard<port::Mutex> lock(mutex_);
    EventLog& log = logs_[adapterID];
    if (number > log.nextNumber) {
        log.nextNumber = number;
    }
}

std::vector<RaidEvent> VelmarLib::getEventLog(uint32_t adapterID) const {
    std::lock_guard<port::Mutex> lock(mutex_);
    std::vector<RaidEvent> records;
    auto log = logs_.find(adapterID);
    if (log != logs_.end()) {
        for (const LoggedRecord& logged : log->second.records) {
            records.push_back(logged.record);
        }
    }
    return records;
}

namespace {
using Attribute = VelmarLib::Attribute;
constexpr int kInformational = 1;
constexpr int kWarning = 2;
constexpr int kError = 4;

// The address of a controller's logical drive (channel and device unset) or device.
Addr objectAddr(uint32_t adapterID, uint32_t logicalDriveID, uint32_t channelID,
                uint32_t deviceID) {
    return Addr(adapterID, Addr::kUnset, logicalDriveID, channelID, deviceID, Addr::kUnsetChunk,
                Addr::kUnset, Addr::kUnset);
}

// A set of small values (0 to 63): those listed, or with `except` every other value.
struct Values {
    uint64_t bits;
    bool except;
    constexpr bool has(int value) const {
        return (value >= 0 && value < 64 && ((bits >> value) & 1) != 0) != except;
    }
    constexpr Values operator!() const { return {bits, !except}; }
};
template <class... V>
constexpr Values in(V... values) {
    return {(uint64_t{0} | ... | (uint64_t{1} << static_cast<int>(values))), false};
}
constexpr Values kAny = !in();
constexpr Values kDefunct = in(PD_STATE_DEFUNCT);
constexpr Values kCritical = in(LD_STATE_CRITICAL, LD_STATE_DEGRADED, LD_STATE_CRITICAL_HIDDEN);
constexpr Values kFailedSupply = in(SAFTE_PS_MALFUNCTIONING_ON, SAFTE_PS_MALFUNCTIONING_OFF);
constexpr Values kWorkingSupply =
    in(SAFTE_PS_OPERATIONAL_ON, SAFTE_PS_OPERATIONAL_OFF, SAFTE_PS_PRESENT);
constexpr Values kCharged = in(BATTERY_STATUS_OK, BATTERY_STATUS_FULLY_CHARGED);

// The record a controller logs when an attribute goes from a value in `before` to one in
// `after`: the first row that matches; a value that stays the same logs nothing. fruCode,
// when not 0, is the code logged instead when the object has a FRU number (then named too).
struct RecordRule {
    Attribute attribute;
    Values before;
    Values after;
    int code;
    int fruCode;
    int eventClass;
};
constexpr RecordRule kRecordRules[] = {
    {Attribute::DriveState, !kDefunct, kDefunct, 401, 404, kError},
    {Attribute::DriveState, kDefunct, !kDefunct, 403, 0, kInformational},
    {Attribute::PfaError, in(0), in(1), 402, 405, kWarning},
    {Attribute::DrivePresent, in(1), in(0), 408, 0, kInformational},
    {Attribute::LogicalDriveState, kAny, in(LD_STATE_OFFLINE), 303, 0, kError},
    {Attribute::LogicalDriveState, !kCritical, kCritical, 301, 0, kWarning},
    {Attribute::LogicalDriveState, kAny, in(LD_STATE_OKAY), 345, 0, kInformational},
    {Attribute::LogicalDrivePresent, in(0), in(1), 346, 0, kInformational},
    {Attribute::LogicalDrivePresent, in(1), in(0), 347, 0, kInformational},
    {Attribute::FanStatus, kAny, in(SAFTE_FAN_MALFUNCTIONING), 504, 0, kError},
    {Attribute::FanStatus, kAny, in(SAFTE_FAN_NOT_INSTALLED), 506, 0, kWarning},
    {Attribute::FanStatus, in(SAFTE_FAN_MALFUNCTIONING, SAFTE_FAN_NOT_INSTALLED),
     in(SAFTE_FAN_OPERATIONAL), 503, 0, kInformational},
    {Attribute::PowerSupplyStatus, !kFailedSupply, kFailedSupply, 510, 0, kError},
    {Attribute::PowerSupplyStatus, kAny, in(SAFTE_PS_NOT_PRESENT), 512, 0, kWarning},
    {Attribute::PowerSupplyStatus, kFailedSupply, kWorkingSupply, 509, 0, kInformational},
    {Attribute::PowerSupplyStatus, in(SAFTE_PS_NOT_PRESENT), kWorkingSupply, 511, 0,
     kInformational},
    {Attribute::EnclosureTemperature, in(0), in(1), 508, 0, kError},
    {Attribute::EnclosureTemperature, in(1), in(0), 507, 0, kInformational},
    {Attribute::EnclosurePresent, in(1), in(0), 502, 0, kError},
    {Attribute::BatteryStatus, kAny, in(BATTERY_STATUS_NEW), 203, 0, kError},
    {Attribute::BatteryStatus, kAny, in(BATTERY_STATUS_LOW), 214, 0, kWarning},
    {Attribute::BatteryStatus, !kCharged, kCharged, 217, 0, kInformational},
    {Attribute::BatteryTempWarning, in(0), in(1), 211, 0, kWarning},
    {Attribute::BatteryTempWarning, in(1), in(0), 216, 0, kInformational},
    {Attribute::AdapterStatus, kAny, in(CONTROLLER_STATUS_FAILED), 202, 0, kError},
    {Attribute::AdapterStatus, kAny, kAny, 299, 0, kInformational},
};

const RecordRule* findRecordRule(Attribute attribute, int before, int after) {
    for (const RecordRule& rule : kRecordRules) {
        if (before != after && rule.attribute == attribute && rule.before.has(before) &&
            rule.after.has(after)) {
            return &rule;
        }
    }
    return nullptr;
}

// Which IDs of the object a record names besides the controller's.
enum Names : unsigned { kChannel = 1, kDevice = 2, kLogicalDrive = 4 };

SafteStatus* safteOf(RaidObject& object) {
    return static_cast<Enclosure&>(object).getSafteStatus();
}

// How an attribute is read and written on its object. get answers -1 when the object lacks
// the attribute (an enclosure without SAF-TE status); a presence reads 1 and has no set.
struct AttributeAccess {
    Attribute attribute;
    const char* type;
    unsigned names;
    const char* indexName;  // the record's name for the fan or power supply
    int (*get)(RaidObject& object, unsigned index);
    void (*set)(RaidObject& object, unsigned index, int value);
};
constexpr auto kPresent = [](RaidObject&, unsigned) { return 1; };
constexpr AttributeAccess kAttributes[] = {
    {Attribute::DriveState, "PhysicalDevice", kChannel | kDevice, nullptr,
     [](RaidObject& o, unsigned) -> int { return static_cast<PhysicalDevice&>(o).getState(); },
     [](RaidObject& o, unsigned, int v) {
         static_cast<PhysicalDevice&>(o).setState(static_cast<EnumPhysicalDeviceState>(v));
     }},
    {Attribute::PfaError, "HardDrive", kChannel | kDevice, nullptr,
     [](RaidObject& o, unsigned) -> int { return static_cast<HardDrive&>(o).getPfaError(); },
     [](RaidObject& o, unsigned, int v) { static_cast<HardDrive&>(o).setPfaError(v != 0); }},
    {Attribute::DrivePresent, "HardDrive", kChannel | kDevice, nullptr, kPresent, nullptr},
    {Attribute::LogicalDriveState, "LogicalDrive", kLogicalDrive, nullptr,
     [](RaidObject& o, unsigned) -> int { return static_cast<LogicalDrive&>(o).getState(); },
     [](RaidObject& o, unsigned, int v) {
         static_cast<LogicalDrive&>(o).setState(static_cast<EnumLogicalDeviceState>(v));
     }},
    {Attribute::LogicalDrivePresent, "LogicalDrive", kLogicalDrive, nullptr, kPresent, nullptr},
    {Attribute::FanStatus, "Enclosure", kChannel, "fanID",
     [](RaidObject& o, unsigned i) -> int {
         return safteOf(o) != nullptr ? safteOf(o)->getFanStatus(i) : -1;
     },
     [](RaidObject& o, unsigned i, int v) {
         if (SafteStatus* status = safteOf(o)) {
             status->setFanStatus(i, static_cast<uint8_t>(v));
         }
     }},
    {Attribute::PowerSupplyStatus, "Enclosure", kChannel, "powerSupplyID",
     [](RaidObject& o, unsigned i) -> int {
         return safteOf(o) != nullptr ? safteOf(o)->getPowerSupplyStatus(i) : -1;
     },
     [](RaidObject& o, unsigned i, int v) {
         if (SafteStatus* status = safteOf(o)) {
             status->setPowerSupplyStatus(i, static_cast<uint8_t>(v));
         }
     }},
    {Attribute::EnclosureTemperature, "Enclosure", kChannel, nullptr,
     [](RaidObject& o, unsigned) -> int {
         return safteOf(o) != nullptr ? static_cast<Enclosure&>(o).isTempOutOfRange() : -1;
     },
     [](RaidObject& o, unsigned, int v) {
         if (SafteStatus* status = safteOf(o)) {
             status->setTempFlags1(v != 0 ? 1 : 0);
             status->setTempFlags2(0);
         }
     }},
    {Attribute::EnclosurePresent, "Enclosure", kChannel, nullptr, kPresent, nullptr},
    {Attribute::BatteryStatus, "Adapter", 0, nullptr,
     [](RaidObject& o, unsigned) -> int { return static_cast<Adapter&>(o).getBatStatus(); },
     [](RaidObject& o, unsigned, int v) {
         static_cast<Adapter&>(o).setBatStatus(static_cast<EnumBatteryStatus>(v));
     }},
    {Attribute::BatteryTempWarning, "Adapter", 0, nullptr,
     [](RaidObject& o, unsigned) -> int { return static_cast<Adapter&>(o).IsBatTempWarning(); },
     [](RaidObject& o, unsigned, int v) { static_cast<Adapter&>(o).setBatTempWarning(v != 0); }},
    {Attribute::AdapterStatus, "Adapter", 0, nullptr,
     [](RaidObject& o, unsigned) -> int { return static_cast<Adapter&>(o).getAdapterStatus(); },
     [](RaidObject& o, unsigned, int v) {
         static_cast<Adapter&>(o).setAdapterStatus(static_cast<EnumControllerStatus>(v));
     }},
};

const AttributeAccess& accessOf(Attribute attribute) {
    for (const AttributeAccess& access : kAttributes) {
        if (access.attribute == attribute) {
            return access;
        }
    }
    return kAttributes[0];  // every attribute has a row
}

// The codes a controller logs over the life of a logical drive's task, by the state it
// reaches (kTaskSteps); 0: none logged.
struct TaskCodes {
    EnumTaskType type;
    int codes[4];
};
constexpr std::pair<EnumTaskState, int> kTaskSteps[] = {{TASK_STATE_RUNNING, kInformational},
                                                        {TASK_STATE_COMPLETED, kInformational},
                                                        {TASK_STATE_FAILED, kError},
                                                        {TASK_STATE_STOPPED, kInformational}};
constexpr TaskCodes kTaskCodes[] = {
    {TASK_TYPE_REBUILD, {304, 305, 306, 349}},     {TASK_TYPE_SYNC, {307, 308, 309, 350}},
    {TASK_TYPE_SYNC_NO_FIX, {307, 308, 309, 352}}, {TASK_TYPE_MIGRATION, {310, 311, 312, 0}},
    {TASK_TYPE_COMPRESSION, {313, 314, 315, 0}},   {TASK_TYPE_DECOMPRESSION, {316, 317, 318, 0}},
    {TASK_TYPE_SNAPSHOT, {319, 320, 321, 0}},      {TASK_TYPE_COMPACTION, {332, 333, 334, 0}},
    {TASK_TYPE_EXPANSION, {335, 336, 337, 0}},     {TASK_TYPE_COPY_BACK, {340, 339, 341, 0}},
    {TASK_TYPE_BUILD, {342, 343, 344, 351}},       {TASK_TYPE_QUICK_INIT, {342, 343, 344, 351}},
};

const TaskCodes* findTaskCodes(EnumTaskType type) {
    for (const TaskCodes& codes : kTaskCodes) {
        if (codes.type == type) {
            return &codes;
        }
    }
    return nullptr;
}

// The code and class of the record a controller logs when a task of that type reaches that
// state; code 0: none.
std::pair<int, int> taskRecord(EnumTaskType type, EnumTaskState state) {
    const TaskCodes* codes = findTaskCodes(type);
    for (size_t step = 0; step < std::size(kTaskSteps) && codes != nullptr; ++step) {
        if (kTaskSteps[step].first == state && codes->codes[step] != 0) {
            return {codes->codes[step], kTaskSteps[step].second};
        }
    }
    return {0, 0};
}
}  // namespace

bool VelmarLib::changeAttribute(Attribute attribute, const Addr& addr, unsigned index, int value) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const AttributeAccess& access = accessOf(attribute);
    RaidObject* object = modelObjectLocked(addr, access.type);
    const int before = object != nullptr ? access.get(*object, index) : -1;
    if (before < 0 || (access.set == nullptr && value != 0)) {
        return false;
    }
    logChangeLocked(attribute, *object, index, before, value);
    if (access.set == nullptr) {
        delete object;  // unlinks itself from its parent; shows in the next getNewSystem()
    } else {
        editLocked(addr, [&access, index, value](RaidObject& o) { access.set(o, index, value); });
    }
    return true;
}

bool VelmarLib::setAttribute(RaidObject& object, Attribute attribute, unsigned index, int value) {
    const AttributeAccess& access = accessOf(attribute);
    if (!object.isInstanceOf(access.type) || access.get(object, index) < 0) {
        return false;
    }
    if (access.set == nullptr) {
        return value == 1;  // a presence: the object is there
    }
    access.set(object, index, value);
    return true;
}

void VelmarLib::logChangeLocked(Attribute attribute, const RaidObject& object, unsigned index,
                                int before, int after) {
    const RecordRule* rule = findRecordRule(attribute, before, after);
    if (rule == nullptr) {
        return;
    }
    const AttributeAccess& access = accessOf(attribute);
    const char* fru = object.isInstanceOf("PhysicalDevice")
                          ? static_cast<const PhysicalDevice&>(object).getFruNumber()
                          : "";
    const bool named = rule->fruCode != 0 && fru[0] != '\0';
    RaidEvent record(named ? rule->fruCode : rule->code, rule->eventClass);
    if (named) {
        record.set("FRU", fru);
    }
    const Addr addr = object.getAddr();
    record.set("adapterID", long(addr.getAdapterID()));
    if ((access.names & kChannel) != 0) {
        record.set("channelID", long(addr.getChannelID()));
    }
    if ((access.names & kDevice) != 0) {
        record.set("deviceID", long(addr.getDeviceID()));
    }
    if ((access.names & kLogicalDrive) != 0) {
        record.set("logicalDriveID", long(addr.getLogicalDriveID()));
    }
    if (access.indexName != nullptr) {
        record.set(access.indexName, long(index));
    }
    appendLocked(addr.getAdapterID(), record);
}

bool VelmarLib::setDriveState(uint32_t adapterID, uint32_t channelID, uint32_t deviceID,
                              EnumPhysicalDeviceState state) {
    return changeAttribute(Attribute::DriveState,
                           objectAddr(adapterID, Addr::kUnset, channelID, deviceID), 0, state);
}

bool VelmarLib::setLogicalDriveState(uint32_t adapterID, uint32_t logicalDriveID,
                                     EnumLogicalDeviceState state) {
    return changeAttribute(Attribute::LogicalDriveState,
                           objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset), 0,
                           state);
}

bool VelmarLib::setFanStatus(uint32_t adapterID, uint32_t channelID, uint32_t enclosureDeviceID,
                             unsigned fan, EnumSAFTEFanStatusCodes code) {
    return changeAttribute(Attribute::FanStatus,
                           objectAddr(adapterID, Addr::kUnset, channelID, enclosureDeviceID), fan,
                           code);
}

bool VelmarLib::setPowerSupplyStatus(uint32_t adapterID, uint32_t channelID,
                                     uint32_t enclosureDeviceID, unsigned supply,
                                     EnumSAFTEPowerSupplyStatusCodes code) {
    return changeAttribute(Attribute::PowerSupplyStatus,
                           objectAddr(adapterID, Addr::kUnset, channelID, enclosureDeviceID),
                           supply, code);
}

bool VelmarLib::setTemperatureOutOfRange(uint32_t adapterID, uint32_t channelID,
                                         uint32_t enclosureDeviceID, bool outOfRange) {
    return changeAttribute(Attribute::EnclosureTemperature,
                           objectAddr(adapterID, Addr::kUnset, channelID, enclosureDeviceID), 0,
                           outOfRange);
}

bool VelmarLib::removeEnclosure(uint32_t adapterID, uint32_t channelID,
                                uint32_t enclosureDeviceID) {
    return changeAttribute(Attribute::EnclosurePresent,
                           objectAddr(adapterID, Addr::kUnset, channelID, enclosureDeviceID), 0, 0);
}

bool VelmarLib::removeDrive(uint32_t adapterID, uint32_t channelID, uint32_t deviceID) {
    return changeAttribute(Attribute::DrivePresent,
                           objectAddr(adapterID, Addr::kUnset, channelID, deviceID), 0, 0);
}

bool VelmarLib::setBatteryStatus(uint32_t adapterID, EnumBatteryStatus status) {
    return changeAttribute(Attribute::BatteryStatus,
                           objectAddr(adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset), 0,
                           status);
}

bool VelmarLib::setBatteryTempWarning(uint32_t adapterID, bool warning) {
    return changeAttribute(Attribute::BatteryTempWarning,
                           objectAddr(adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset), 0,
                           warning);
}

bool VelmarLib::setPfaError(uint32_t adapterID, uint32_t channelID, uint32_t deviceID, bool error) {
    return changeAttribute(Attribute::PfaError,
                           objectAddr(adapterID, Addr::kUnset, channelID, deviceID), 0, error);
}

bool VelmarLib::setAdapterStatus(uint32_t adapterID, EnumControllerStatus status) {
    return changeAttribute(Attribute::AdapterStatus,
                           objectAddr(adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset), 0,
                           status);
}

bool VelmarLib::deleteLogicalDrive(uint32_t adapterID, uint32_t logicalDriveID) {
    return changeAttribute(Attribute::LogicalDrivePresent,
                           objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset), 0, 0);
}

bool VelmarLib::addLogicalDrive(uint32_t adapterID, LogicalDrive* drive) {
    std::unique_ptr<LogicalDrive> owned(drive);
    std::lock_guard<port::Mutex> lock(mutex_);
    RaidObject* adapter = modelObjectLocked(
        objectAddr(adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset), "Adapter");
    if (adapter == nullptr || owned == nullptr) {
        return false;
    }
    adapter->addChild(owned.get());
    logChangeLocked(Attribute::LogicalDrivePresent, *owned.release(), 0, 0, 1);
    return true;
}

bool VelmarLib::renumberAdapter(uint32_t from, uint32_t to) {
    std::lock_guard<port::Mutex> lock(mutex_);
    RaidObject* adapter = nullptr;
    for (RaidObject* child : model_->getChildren()) {
        const uint32_t id = child->getAddr2().getAdapterID();
        if (child->isInstanceOf("Adapter") && id == to) {
            return false;
        }
        if (child->isInstanceOf("Adapter") && id == from && adapter == nullptr) {
            adapter = child;
        }
    }
    if (adapter == nullptr) {
        return false;
    }
    std::vector<RaidObject*> nodes{adapter};
    adapter->getChildren(nodes, nullptr, true, true);
    for (RaidObject* node : nodes) {
        if (node->getAddr2().getAdapterID() == from) {
            node->setAdapterID(to);
        }
    }
    return true;
}

namespace {
// Gives the logical drive (or, for an unset logical drive ID, the controller) its task; false
// when the object is neither.
bool setTaskOn(RaidObject& object, uint32_t logicalDriveID, const Progress& task) {
    if (logicalDriveID == Addr::kUnset && object.isInstanceOf("Adapter")) {
        Progress own = task;
        own.setDeviceAddr(object.getAddr());
        static_cast<Adapter&>(object).setProgress(task.getType() == TASK_TYPE_NONE ? Progress()
                                                                                   : own);
        return true;
    }
    if (!object.isInstanceOf("LogicalDrive")) {
        return false;
    }
    static_cast<LogicalDrive&>(object).setProgress(task);
    return true;
}
}  // namespace

bool VelmarLib::setTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type,
                        EnumTaskState state, uint32_t percent) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Progress task(type, state, percent, logicalDriveID);
    const Addr addr = objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset);
    RaidObject* object = model_->getObject(addr);
    if (object == nullptr || !setTaskOn(*object, logicalDriveID, task)) {
        return false;
    }
    if (current_) {
        pending_.push_back(
            {addr, [logicalDriveID, task](RaidObject& o) { setTaskOn(o, logicalDriveID, task); }});
    }
    return true;
}

bool VelmarLib::startTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset);
    if (modelObjectLocked(addr, "LogicalDrive") == nullptr || findTaskCodes(type) == nullptr) {
        return false;
    }
    const Progress task(type, TASK_STATE_RUNNING, 0, logicalDriveID);
    editLocked(addr, [task](RaidObject& o) { static_cast<LogicalDrive&>(o).setProgress(task); });
    logTaskLocked(addr, taskRecord(type, TASK_STATE_RUNNING));
    return true;
}

bool VelmarLib::setTaskProgress(uint32_t adapterID, uint32_t logicalDriveID, uint32_t percent) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset);
    auto* drive = static_cast<LogicalDrive*>(modelObjectLocked(addr, "LogicalDrive"));
    Progress task;
    if (drive == nullptr || (drive->getProgress(task), task.getType() == TASK_TYPE_NONE)) {
        return false;
    }
    task.setPercent(percent);
    editLocked(addr, [task](RaidObject& o) { static_cast<LogicalDrive&>(o).setProgress(task); });
    return true;
}

bool VelmarLib::endTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskState end) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset);
    auto* drive = static_cast<LogicalDrive*>(modelObjectLocked(addr, "LogicalDrive"));
    Progress task;
    if (drive == nullptr || (drive->getProgress(task), task.getType() == TASK_TYPE_NONE)) {
        return false;
    }
    editLocked(addr, [](RaidObject& o) { static_cast<LogicalDrive&>(o).setProgress(Progress()); });
    if (end != TASK_STATE_RUNNING) {
        logTaskLocked(addr, taskRecord(task.getType(), end));
    }
    return true;
}

void VelmarLib::logTaskLocked(const Addr& addr, std::pair<int, int> codeAndClass) {
    if (codeAndClass.first != 0) {
        RaidEvent record(codeAndClass.first, codeAndClass.second);
        record.set("adapterID", long(addr.getAdapterID()))
            .set("logicalDriveID", long(addr.getLogicalDriveID()));
        appendLocked(addr.getAdapterID(), record);
    }
}
