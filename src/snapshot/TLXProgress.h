// The snapshot form of one controller task: task ID, type, state and percentage (0x7FFFFFFF
// until set), the task's address, the controller's serial text and the logical drive's
// unique ID. Written as the element "Progress"; it answers isInstanceOf only for "Progress".
// A value type as well: the monitor builds one per controller and copies stored ones.
#pragma once

#include <cstdint>
#include <string>

#include "port/Export.h"
#include "raidlib/Addr.h"
#include "raidlib/RaidObject.h"
#include "snapshot/SnapshotElement.h"

class Progress;
class SimpleXmlParser;

class TLX_EXPORT TLXProgress : public RaidObject {
public:
    TLXProgress() = default;
    TLXProgress(const TLXProgress& other) = default;
    TLXProgress& operator=(const TLXProgress& other) = default;
    ~TLXProgress() override = default;

    bool isInstanceOf(const char* name) const override;
    const char* typeName() const override { return "Progress"; }
    const char* serializedName() const override { return "Progress"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new TLXProgress(*this); }

    // From a library task: ID, type, state, percentage and address; the serial text and the
    // unique ID keep their values.
    void copyFrom(const Progress& live);
    // From another snapshot task: every field.
    void copyFrom(const TLXProgress& stored);
    // Either of the above, by the object's class; other objects are ignored.
    void copyFrom(const RaidObject& object);
    // True when this copy holds every field that a fresh copy of object would.
    bool matches(const RaidObject& object) const;
    void buildFromXml(SimpleXmlParser& parser);

    uint32_t getTaskID() const { return taskID_; }
    void setTaskID(uint32_t id) { taskID_ = id; }
    uint32_t getTaskType() const { return taskType_; }
    void setTaskType(uint32_t type) { taskType_ = type; }
    uint32_t getTaskState() const { return taskState_; }
    void setTaskState(uint32_t state) { taskState_ = state; }
    uint32_t getPercentageComplete() const { return percentageComplete_; }
    void setPercentageComplete(uint32_t percent) { percentageComplete_ = percent; }
    // The task's address (the library task's getDeviceAddr()).
    const Addr& getDeviceAddr() const { return deviceAddr_; }
    void setDeviceAddr(const Addr& addr) { deviceAddr_ = addr; }
    const std::string& getAdapterSerial() const { return adapterSerial_; }
    void setAdapterSerial(const std::string& serial) { adapterSerial_ = serial; }
    uint32_t getLDUniqueID() const { return ldUniqueID_; }
    void setLDUniqueID(uint32_t id) { ldUniqueID_ = id; }

private:
    void readAddressAttribute(const char* name);

    SnapshotElement element_;
    uint32_t taskID_ = Addr::kUnset;
    uint32_t taskType_ = Addr::kUnset;
    uint32_t taskState_ = Addr::kUnset;
    uint32_t percentageComplete_ = Addr::kUnset;
    Addr deviceAddr_;
    std::string adapterSerial_;
    uint32_t ldUniqueID_ = 0;
};
