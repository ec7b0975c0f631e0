#include "raidlib/VelmarLib.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include "raidlib/Adapter.h"
#include "raidlib/Enclosure.h"
#include "raidlib/LogicalDrive.h"
#include "raidlib/PhysicalDevice.h"
#include "raidlib/ProgressCollection.h"

VelmarLib::VelmarLib() : model_(new System()) {}

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
    return current_.get();
}

Ret VelmarLib::getEvents(const Addr& adapter, unsigned long from, char** buffer) {
    if (buffer == nullptr) {
        return Ret(Ret::kInvalidArgument);
    }
    std::lock_guard<port::Mutex> lock(mutex_);
    std::string text;
    try {
        auto log = logs_.find(adapter.getAdapterID());
        if (log != logs_.end()) {
            for (const RaidEvent& record : log->second.records) {
                if (record.getEventNumber() >= from) {
                    text += record.toXml();
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
    log.records.push_back(std::move(record));
    return log.records.back().getEventNumber();
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
    auto log = logs_.find(adapterID);
    return log != logs_.end() ? log->second.records : std::vector<RaidEvent>();
}

namespace {
constexpr int kInformational = 1;
constexpr int kWarning = 2;
constexpr int kError = 4;

bool isCriticalState(EnumLogicalDeviceState state) {
    return state == LD_STATE_CRITICAL || state == LD_STATE_DEGRADED ||
           state == LD_STATE_CRITICAL_HIDDEN;
}
}  // namespace

bool VelmarLib::setDriveState(uint32_t adapterID, uint32_t channelID, uint32_t deviceID,
                              EnumPhysicalDeviceState state) {
    std::lock_guard<port::Mutex> lock(mutex_);
    RaidObject* object =
        model_->getObject(adapterID, Addr::kUnset, Addr::kUnset, channelID, deviceID);
    if (object == nullptr || !object->isInstanceOf("PhysicalDevice")) {
        return false;
    }
    auto* drive = static_cast<PhysicalDevice*>(object);
    const EnumPhysicalDeviceState before = drive->getState();
    drive->setState(state);
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
    RaidObject* object =
        model_->getObject(adapterID, Addr::kUnset, logicalDriveID, Addr::kUnset, Addr::kUnset);
    if (object == nullptr || !object->isInstanceOf("LogicalDrive")) {
        return false;
    }
    auto* drive = static_cast<LogicalDrive*>(object);
    const EnumLogicalDeviceState before = drive->getState();
    drive->setState(state);
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
    RaidObject* object =
        model_->getObject(adapterID, Addr::kUnset, Addr::kUnset, channelID, enclosureDeviceID);
    if (object == nullptr || !object->isInstanceOf("Enclosure")) {
        return false;
    }
    auto* enclosure = static_cast<Enclosure*>(object);
    SafteStatus* status = enclosure->getSafteStatus();
    if (status == nullptr) {
        return false;
    }
    const uint8_t before = status->getFanStatus(fan);
    status->setFanStatus(fan, static_cast<uint8_t>(code));
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

namespace {
// Sets the task of the object at the address below root; false when there is none.
bool setTaskIn(RaidObject* root, uint32_t adapterID, uint32_t logicalDriveID,
               const Progress& task) {
    RaidObject* object =
        root->getObject(adapterID, Addr::kUnset, logicalDriveID, Addr::kUnset, Addr::kUnset);
    if (object == nullptr) {
        return false;
    }
    if (logicalDriveID == Addr::kUnset && object->isInstanceOf("Adapter")) {
        Progress own = task;
        own.setDeviceAddr(object->getAddr());
        static_cast<Adapter*>(object)->setProgress(task.getType() == TASK_TYPE_NONE ? Progress()
                                                                                    : own);
        return true;
    }
    if (!object->isInstanceOf("LogicalDrive")) {
        return false;
    }
    static_cast<LogicalDrive*>(object)->setProgress(task);
    return true;
}
}  // namespace

bool VelmarLib::setTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type,
                        EnumTaskState state, uint32_t percent) {
    std::lock_guard<port::Mutex> lock(mutex_);
    const Progress task(type, state, percent, logicalDriveID);
    if (!setTaskIn(model_.get(), adapterID, logicalDriveID, task)) {
        return false;
    }
    if (current_) {
        setTaskIn(current_.get(), adapterID, logicalDriveID, task);
    }
    return true;
}
