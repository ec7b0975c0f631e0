#include "raidlib/VelmarLib.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

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
constexpr int kInformational = 1;
constexpr int kWarning = 2;
constexpr int kError = 4;

// The address of a controller's logical drive (channel and device unset) or device.
Addr objectAddr(uint32_t adapterID, uint32_t logicalDriveID, uint32_t channelID,
                uint32_t deviceID) {
    return Addr(adapterID, Addr::kUnset, logicalDriveID, channelID, deviceID, Addr::kUnsetChunk,
                Addr::kUnset, Addr::kUnset);
}

bool isFailedSupply(int code) {
    return code == SAFTE_PS_MALFUNCTIONING_ON || code == SAFTE_PS_MALFUNCTIONING_OFF;
}

bool isWorkingSupply(int code) {
    return code == SAFTE_PS_OPERATIONAL_ON || code == SAFTE_PS_OPERATIONAL_OFF ||
           code == SAFTE_PS_PRESENT;
}

bool isChargedBattery(EnumBatteryStatus status) {
    return status == BATTERY_STATUS_OK || status == BATTERY_STATUS_FULLY_CHARGED;
}

// The codes a controller logs over the life of a logical drive's task; 0: none logged.
struct TaskCodes {
    EnumTaskType type;
    int started;
    int completed;
    int failed;
    int stopped;
};
constexpr TaskCodes kTaskCodes[] = {
    {TASK_TYPE_REBUILD, 304, 305, 306, 349},     {TASK_TYPE_SYNC, 307, 308, 309, 350},
    {TASK_TYPE_SYNC_NO_FIX, 307, 308, 309, 352}, {TASK_TYPE_MIGRATION, 310, 311, 312, 0},
    {TASK_TYPE_COMPRESSION, 313, 314, 315, 0},   {TASK_TYPE_DECOMPRESSION, 316, 317, 318, 0},
    {TASK_TYPE_SNAPSHOT, 319, 320, 321, 0},      {TASK_TYPE_COMPACTION, 332, 333, 334, 0},
    {TASK_TYPE_EXPANSION, 335, 336, 337, 0},     {TASK_TYPE_COPY_BACK, 340, 339, 341, 0},
    {TASK_TYPE_BUILD, 342, 343, 344, 351},       {TASK_TYPE_QUICK_INIT, 342, 343, 344, 351},
};

const TaskCodes* findTaskCodes(EnumTaskType type) {
    for (const TaskCodes& codes : kTaskCodes) {
        if (codes.type == type) {
            return &codes;
        }
    }
    return nullptr;
}

bool isCriticalState(EnumLogicalDeviceState state) {
    return state == LD_STATE_CRITICAL || state == LD_STATE_DEGRADED ||
           state == LD_STATE_CRITICAL_HIDDEN;
}
}  // namespace

bool VelmarLib::setDriveState(uint32_t adapterID, uint32_t channelID, uint32_t deviceID,
                              EnumPhysicalDeviceState state) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, Addr::kUnset, channelID, deviceID);
    auto* drive = static_cast<PhysicalDevice*>(modelObjectLocked(addr, "PhysicalDevice"));
    if (drive == nullptr) {
        return false;
    }
    const EnumPhysicalDeviceState before = drive->getState();
    editLocked(addr, [state](RaidObject& o) { static_cast<PhysicalDevice&>(o).setState(state); });
    RaidEvent record;
    if (state == PD_STATE_DEFUNCT && before != PD_STATE_DEFUNCT) {
        const bool hasFru = drive->getFruNumber()[0] != '\0';
        record = RaidEvent(hasFru ? 404 : 401, kError);
        if (hasFru) {
            record.set("FRU", drive->getFruNumber());
        }
    } else if (state != PD_STATE_DEFUNCT && before == PD_STATE_DEFUNCT) {
        record = RaidEvent(403, kInformational);
    } else {
        return true;
    }
    record.set("adapterID", long(adapterID)).set("channelID", long(channelID));
    record.set("deviceID", long(deviceID));
    appendLocked(adapterID, record);
    return true;
}

bool VelmarLib::setLogicalDriveState(uint32_t adapterID, uint32_t logicalDriveID,
                                     EnumLogicalDeviceState state) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset);
    auto* drive = static_cast<LogicalDrive*>(modelObjectLocked(addr, "LogicalDrive"));
    if (drive == nullptr) {
        return false;
    }
    const EnumLogicalDeviceState before = drive->getState();
    editLocked(addr, [state](RaidObject& o) { static_cast<LogicalDrive&>(o).setState(state); });
    if (state == before) {
        return true;
    }
    RaidEvent record;
    if (state == LD_STATE_OFFLINE) {
        record = RaidEvent(303, kError);
    } else if (isCriticalState(state) && !isCriticalState(before)) {
        record = RaidEvent(301, kWarning);
    } else if (state == LD_STATE_OKAY) {
        record = RaidEvent(345, kInformational);
    } else {
        return true;
    }
    record.set("adapterID", long(adapterID)).set("logicalDriveID", long(logicalDriveID));
    appendLocked(adapterID, record);
    return true;
}

bool VelmarLib::setFanStatus(uint32_t adapterID, uint32_t channelID, uint32_t enclosureDeviceID,
                             unsigned fan, EnumSAFTEFanStatusCodes code) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, Addr::kUnset, channelID, enclosureDeviceID);
    auto* enclosure = static_cast<Enclosure*>(modelObjectLocked(addr, "Enclosure"));
    SafteStatus* status = enclosure != nullptr ? enclosure->getSafteStatus() : nullptr;
    if (status == nullptr) {
        return false;
    }
    const uint8_t before = status->getFanStatus(fan);
    editLocked(addr, [fan, code](RaidObject& o) {
        if (SafteStatus* s = static_cast<Enclosure&>(o).getSafteStatus()) {
            s->setFanStatus(fan, static_cast<uint8_t>(code));
        }
    });
    RaidEvent record;
    if (code == SAFTE_FAN_MALFUNCTIONING && before != SAFTE_FAN_MALFUNCTIONING) {
        record = RaidEvent(504, kError);
    } else if (code == SAFTE_FAN_NOT_INSTALLED && before != SAFTE_FAN_NOT_INSTALLED) {
        record = RaidEvent(506, kWarning);
    } else if (code == SAFTE_FAN_OPERATIONAL &&
               (before == SAFTE_FAN_MALFUNCTIONING || before == SAFTE_FAN_NOT_INSTALLED)) {
        record = RaidEvent(503, kInformational);
    } else {
        return true;
    }
    record.set("adapterID", long(adapterID)).set("channelID", long(channelID));
    record.set("fanID", long(fan));
    appendLocked(adapterID, record);
    return true;
}

Enclosure* VelmarLib::modelEnclosure(uint32_t adapterID, uint32_t channelID,
                                     uint32_t deviceID) const {
    RaidObject* object =
        model_->getObject(adapterID, Addr::kUnset, Addr::kUnset, channelID, deviceID);
    return object != nullptr && object->isInstanceOf("Enclosure") ? static_cast<Enclosure*>(object)
                                                                  : nullptr;
}

bool VelmarLib::setPowerSupplyStatus(uint32_t adapterID, uint32_t channelID,
                                     uint32_t enclosureDeviceID, unsigned supply,
                                     EnumSAFTEPowerSupplyStatusCodes code) {
    std::lock_guard<port::Mutex> lock(mutex_);
    Enclosure* enclosure = modelEnclosure(adapterID, channelID, enclosureDeviceID);
    SafteStatus* status = enclosure != nullptr ? enclosure->getSafteStatus() : nullptr;
    if (status == nullptr) {
        return false;
    }
    const uint8_t before = status->getPowerSupplyStatus(supply);
    editLocked(enclosure->getAddr(), [supply, code](RaidObject& o) {
        if (SafteStatus* s = static_cast<Enclosure&>(o).getSafteStatus()) {
            s->setPowerSupplyStatus(supply, static_cast<uint8_t>(code));
        }
    });
    RaidEvent record;
    if (isFailedSupply(code) && !isFailedSupply(before)) {
        record = RaidEvent(510, kError);
    } else if (code == SAFTE_PS_NOT_PRESENT && before != SAFTE_PS_NOT_PRESENT) {
        record = RaidEvent(512, kWarning);
    } else if (isWorkingSupply(code) && isFailedSupply(before)) {
        record = RaidEvent(509, kInformational);
    } else if (isWorkingSupply(code) && before == SAFTE_PS_NOT_PRESENT) {
        record = RaidEvent(511, kInformational);
    } else {
        return true;
    }
    record.set("adapterID", long(adapterID)).set("channelID", long(channelID));
    record.set("powerSupplyID", long(supply));
    appendLocked(adapterID, record);
    return true;
}

bool VelmarLib::setTemperatureOutOfRange(uint32_t adapterID, uint32_t channelID,
                                         uint32_t enclosureDeviceID, bool outOfRange) {
    std::lock_guard<port::Mutex> lock(mutex_);
    Enclosure* enclosure = modelEnclosure(adapterID, channelID, enclosureDeviceID);
    SafteStatus* status = enclosure != nullptr ? enclosure->getSafteStatus() : nullptr;
    if (status == nullptr) {
        return false;
    }
    const bool before = enclosure->isTempOutOfRange();
    editLocked(enclosure->getAddr(), [outOfRange](RaidObject& o) {
        if (SafteStatus* s = static_cast<Enclosure&>(o).getSafteStatus()) {
            s->setTempFlags1(outOfRange ? 1 : 0);
            s->setTempFlags2(0);
        }
    });
    if (before != outOfRange) {
        RaidEvent record(outOfRange ? 508 : 507, outOfRange ? kError : kInformational);
        record.set("adapterID", long(adapterID)).set("channelID", long(channelID));
        appendLocked(adapterID, record);
    }
    return true;
}

bool VelmarLib::removeEnclosure(uint32_t adapterID, uint32_t channelID,
                                uint32_t enclosureDeviceID) {
    std::lock_guard<port::Mutex> lock(mutex_);
    Enclosure* enclosure = modelEnclosure(adapterID, channelID, enclosureDeviceID);
    if (enclosure == nullptr) {
        return false;
    }
    delete enclosure;  // unlinks itself from its channel
    RaidEvent record(502, kError);
    record.set("adapterID", long(adapterID)).set("channelID", long(channelID));
    appendLocked(adapterID, record);
    return true;
}

bool VelmarLib::removeDrive(uint32_t adapterID, uint32_t channelID, uint32_t deviceID) {
    std::lock_guard<port::Mutex> lock(mutex_);
    RaidObject* drive =
        modelObjectLocked(objectAddr(adapterID, Addr::kUnset, channelID, deviceID), "HardDrive");
    if (drive == nullptr) {
        return false;
    }
    delete drive;  // unlinks itself from its channel
    RaidEvent record(408, kInformational);
    record.set("adapterID", long(adapterID)).set("channelID", long(channelID));
    record.set("deviceID", long(deviceID));
    appendLocked(adapterID, record);
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

bool VelmarLib::setBatteryStatus(uint32_t adapterID, EnumBatteryStatus status) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset);
    auto* adapter = static_cast<Adapter*>(modelObjectLocked(addr, "Adapter"));
    if (adapter == nullptr) {
        return false;
    }
    const EnumBatteryStatus before = adapter->getBatStatus();
    editLocked(addr, [status](RaidObject& o) { static_cast<Adapter&>(o).setBatStatus(status); });
    RaidEvent record;
    if (status == before) {
        return true;
    } else if (status == BATTERY_STATUS_NEW) {
        record = RaidEvent(203, kError);
    } else if (status == BATTERY_STATUS_LOW) {
        record = RaidEvent(214, kWarning);
    } else if (isChargedBattery(status) && !isChargedBattery(before)) {
        record = RaidEvent(217, kInformational);
    } else {
        return true;
    }
    record.set("adapterID", long(adapterID));
    appendLocked(adapterID, record);
    return true;
}

bool VelmarLib::setBatteryTempWarning(uint32_t adapterID, bool warning) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset);
    auto* adapter = static_cast<Adapter*>(modelObjectLocked(addr, "Adapter"));
    if (adapter == nullptr) {
        return false;
    }
    const bool before = adapter->IsBatTempWarning();
    editLocked(addr,
               [warning](RaidObject& o) { static_cast<Adapter&>(o).setBatTempWarning(warning); });
    if (warning != before) {
        RaidEvent record = warning ? RaidEvent(211, kWarning) : RaidEvent(216, kInformational);
        record.set("adapterID", long(adapterID));
        appendLocked(adapterID, record);
    }
    return true;
}

bool VelmarLib::setPfaError(uint32_t adapterID, uint32_t channelID, uint32_t deviceID, bool error) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, Addr::kUnset, channelID, deviceID);
    auto* drive = static_cast<HardDrive*>(modelObjectLocked(addr, "HardDrive"));
    if (drive == nullptr) {
        return false;
    }
    const bool before = drive->getPfaError();
    editLocked(addr, [error](RaidObject& o) { static_cast<HardDrive&>(o).setPfaError(error); });
    if (!error || before) {
        return true;
    }
    const bool hasFru = drive->getFruNumber()[0] != '\0';
    RaidEvent record(hasFru ? 405 : 402, kWarning);
    if (hasFru) {
        record.set("FRU", drive->getFruNumber());
    }
    record.set("adapterID", long(adapterID)).set("channelID", long(channelID));
    record.set("deviceID", long(deviceID));
    appendLocked(adapterID, record);
    return true;
}

bool VelmarLib::setAdapterStatus(uint32_t adapterID, EnumControllerStatus status) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset);
    auto* adapter = static_cast<Adapter*>(modelObjectLocked(addr, "Adapter"));
    if (adapter == nullptr) {
        return false;
    }
    const EnumControllerStatus before = adapter->getAdapterStatus();
    editLocked(addr,
               [status](RaidObject& o) { static_cast<Adapter&>(o).setAdapterStatus(status); });
    if (status != before) {
        RaidEvent record = status == CONTROLLER_STATUS_FAILED ? RaidEvent(202, kError)
                                                              : RaidEvent(299, kInformational);
        record.set("adapterID", long(adapterID));
        appendLocked(adapterID, record);
    }
    return true;
}

bool VelmarLib::startTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Addr addr = objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset);
    const TaskCodes* codes = findTaskCodes(type);
    if (modelObjectLocked(addr, "LogicalDrive") == nullptr || codes == nullptr) {
        return false;
    }
    const Progress task(type, TASK_STATE_RUNNING, 0, logicalDriveID);
    editLocked(addr, [task](RaidObject& o) { static_cast<LogicalDrive&>(o).setProgress(task); });
    RaidEvent record(codes->started, kInformational);
    record.set("adapterID", long(adapterID)).set("logicalDriveID", long(logicalDriveID));
    appendLocked(adapterID, record);
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
    const TaskCodes* codes = findTaskCodes(task.getType());
    RaidEvent record;
    if (codes == nullptr) {
        return true;
    } else if (end == TASK_STATE_COMPLETED) {
        record = RaidEvent(codes->completed, kInformational);
    } else if (end == TASK_STATE_FAILED) {
        record = RaidEvent(codes->failed, kError);
    } else if (end == TASK_STATE_STOPPED && codes->stopped != 0) {
        record = RaidEvent(codes->stopped, kInformational);
    } else {
        return true;
    }
    record.set("adapterID", long(adapterID)).set("logicalDriveID", long(logicalDriveID));
    appendLocked(adapterID, record);
    return true;
}

bool VelmarLib::addLogicalDrive(uint32_t adapterID, LogicalDrive* drive) {
    std::unique_ptr<LogicalDrive> owned(drive);
    std::lock_guard<port::Mutex> lock(mutex_);
    RaidObject* adapter = modelObjectLocked(
        objectAddr(adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset), "Adapter");
    if (adapter == nullptr || owned == nullptr) {
        return false;
    }
    const uint32_t logicalDriveID = owned->getLogicalDriveID();
    adapter->addChild(owned.release());
    RaidEvent record(346, kInformational);
    record.set("adapterID", long(adapterID)).set("logicalDriveID", long(logicalDriveID));
    appendLocked(adapterID, record);
    return true;
}

bool VelmarLib::deleteLogicalDrive(uint32_t adapterID, uint32_t logicalDriveID) {
    std::lock_guard<port::Mutex> lock(mutex_);
    RaidObject* drive = modelObjectLocked(
        objectAddr(adapterID, logicalDriveID, Addr::kUnset, Addr::kUnset), "LogicalDrive");
    if (drive == nullptr) {
        return false;
    }
    delete drive;  // unlinks itself from its parent
    RaidEvent record(347, kInformational);
    record.set("adapterID", long(adapterID)).set("logicalDriveID", long(logicalDriveID));
    appendLocked(adapterID, record);
    return true;
}
