// One background task of a controller (rebuild, synchronisation, migration, ...): its type,
// state, percentage, the logical drive it works on and the address of the device it runs
// on. A value type as well as a tree node (a ProgressCollection holds them as children).
#pragma once

#include <cstdint>

#include "raidlib/Enums.h"
#include "raidlib/RaidObject.h"

class BRIXVL_EXPORT Progress : public RaidObject {
public:
    Progress() = default;
    Progress(EnumTaskType type, EnumTaskState status, uint32_t percent, uint32_t logicalDrive)
        : type_(type), status_(status), percent_(percent), logicalDrive_(logicalDrive) {}
    ~Progress() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "Progress") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "Progress"; }
    const char* serializedName() const override { return "Progress"; }
    RaidObject* clone() const override { return new Progress(*this); }

    EnumTaskType getType() const { return type_; }
    void setType(EnumTaskType type) { type_ = type; }
    EnumTaskState getStatus() const { return status_; }
    void setStatus(EnumTaskState status) { status_ = status; }
    uint32_t getPercent() const { return percent_; }
    void setPercent(uint32_t percent) { percent_ = percent; }
    // ID of the logical drive the task works on (0-based); 0x7FFFFFFF when none.
    uint32_t getLogicalDrive() const { return logicalDrive_; }
    void setLogicalDrive(uint32_t id) { logicalDrive_ = id; }
    uint32_t getTaskID() const { return taskID_; }
    void setTaskID(uint32_t id) { taskID_ = id; }
    const Addr& getDeviceAddr() const { return deviceAddr_; }
    void setDeviceAddr(const Addr& addr) { deviceAddr_ = addr; }

private:
    EnumTaskType type_ = TASK_TYPE_NONE;
    EnumTaskState status_ = TASK_STATE_NOT_RUNNING;
    uint32_t percent_ = 0;
    uint32_t logicalDrive_ = Addr::kUnset;
    uint32_t taskID_ = Addr::kUnset;
    Addr deviceAddr_;
};
