#include "raidlib/VelmarLib.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "raidlib/LogicalDrive.h"
#include "raidlib/PhysicalDevice.h"
#include "raidlib/ProgressCollection.h"

VelmarLib::VelmarLib() : model_(new System()) {}

VelmarLib::~VelmarLib() = default;

void VelmarLib::setHardwareModel(System* model) {
    model_.reset(model != nullptr ? model : new System());
}

System* VelmarLib::getNewSystem() {
    if (discoveryFails_) {
        return nullptr;
    }
    std::unique_ptr<System> fresh(static_cast<System*>(model_->clone()));
    old_ = std::move(current_);  // the tree before the old one is freed here
    current_ = std::move(fresh);
    return current_.get();
}

Ret VelmarLib::getEvents(const Addr& adapter, unsigned long from, char** buffer) {
    if (buffer == nullptr) {
        return Ret(Ret::kInvalidArgument);
    }
    std::string text;
    auto log = logs_.find(adapter.getAdapterID());
    if (log != logs_.end()) {
        for (const RaidEvent& record : log->second.records) {
            if (record.getEventNumber() >= from) {
                text += record.toXml();
            }
        }
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
    EventLog& log = logs_[adapterID];
    record.setEventNumber(log.nextNumber++);
    log.records.push_back(std::move(record));
    return log.records.back().getEventNumber();
}

unsigned long VelmarLib::getNextEventNumber(uint32_t adapterID) const {
    auto log = logs_.find(adapterID);
    return log != logs_.end() ? log->second.nextNumber : 1;
}

void VelmarLib::setNextEventNumber(uint32_t adapterID, unsigned long number) {
    EventLog& log = logs_[adapterID];
    if (number > log.nextNumber) {
        log.nextNumber = number;
    }
}

const std::vector<RaidEvent>& VelmarLib::getEventLog(uint32_t adapterID) {
    return logs_[adapterID].records;
}

void VelmarLib::clearEventLog(uint32_t adapterID) {
    logs_[adapterID].records.clear();
}
