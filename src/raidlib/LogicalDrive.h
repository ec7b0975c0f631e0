// A logical drive (array volume) of a controller: state, sub-state, RAID level, data space,
// blocked access, bad blocks, snapshot data, creation time and its current task. Written as
// the element "LogicalDrive".
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "raidlib/Enums.h"
#include "raidlib/Progress.h"
#include "raidlib/RaidObject.h"
#include "raidlib/Ret.h"
#include "raidlib/timestamp_struct_t.h"

class BRIXVL_EXPORT LogicalDrive : public RaidObject {
public:
    explicit LogicalDrive(Adapter* adapter = nullptr) { setAdapterLink(adapter); }
    LogicalDrive(const LogicalDrive& other) = default;

    bool isInstanceOf(const char* name) const override {
        return named(name, "LogicalDrive") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "LogicalDrive"; }
    const char* serializedName() const override { return "LogicalDrive"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new LogicalDrive(*this); }

    EnumLogicalDeviceState getState() const { return state_; }
    void setState(EnumLogicalDeviceState state) { state_ = state; }
    EnumLogicalDeviceSubState getSubState() const { return subState_; }
    void setSubState(EnumLogicalDeviceSubState state) { subState_ = state; }
    EnumRaidLevel getRaidLevel() const { return raidLevel_; }
    void setRaidLevel(EnumRaidLevel level) { raidLevel_ = level; }
    // Data space: 512-byte blocks on Pell controllers, megabytes on Omdi controllers.
    uint64_t getDataSpace64() const { return dataSpace_; }
    void setDataSpace64(uint64_t space) { dataSpace_ = space; }
    bool getBlockedAccess() const { return blockedAccess_; }
    void setBlockedAccess(bool blocked) { blockedAccess_ = blocked; }
    int getBadBlockCount() const { return badBlockCount_; }
    void setBadBlockCount(int count) { badBlockCount_ = count; }
    int getWriteCacheMode() const { return writeCacheMode_; }
    void setWriteCacheMode(int mode) { writeCacheMode_ = mode; }
    bool getOSPartitionInfo() const { return osPartition_; }
    void setOSPartitionInfo(bool hasPartition) { osPartition_ = hasPartition; }
    int getSnapshotType() const { return snapshotType_; }
    void setSnapshotType(int type) { snapshotType_ = type; }
    int getSnapshotPartnerID() const { return snapshotPartnerID_; }
    void setSnapshotPartnerID(int id) { snapshotPartnerID_ = id; }
    uint32_t getUniqueID() const { return uniqueID_; }
    void setUniqueID(uint32_t id) { uniqueID_ = id; }
    // The logical drives this one is made of (spanned levels); empty when none.
    const char* getSecondaryLogicals() const { return secondaryLogicals_.c_str(); }
    void setSecondaryLogicals(const std::string& text) { secondaryLogicals_ = text; }
    const timestamp_struct_t& getCreationTime() const { return creationTime_; }
    void setCreationTime(const timestamp_struct_t& time) { creationTime_ = time; }

    // The logical drive's task; an empty task (type 0) when none was set. A task without
    // logical drive or address gets this drive's. The return code is the one set with
    // setProgressReturnCode (0 by default).
    virtual Ret getProgress(Progress& task) const;
    void setProgress(const Progress& task) { task_ = task; }
    void setProgressReturnCode(int code) { progressReturnCode_ = code; }

    // The text taken over rather than copied, for a caller done with its own string.
    void setSecondaryLogicals(std::string&& text) { secondaryLogicals_ = std::move(text); }

private:
    EnumLogicalDeviceState state_ = LD_STATE_OKAY;
    EnumLogicalDeviceSubState subState_ = LD_SUB_STATE_NONE;
    EnumRaidLevel raidLevel_ = RAID_LEVEL_5;
    uint64_t dataSpace_ = 0;
    bool blockedAccess_ = false;
    int badBlockCount_ = 0;
    int writeCacheMode_ = 0;
    bool osPartition_ = false;
    int snapshotType_ = 0;
    int snapshotPartnerID_ = 0;
    uint32_t uniqueID_ = 0;
    std::string secondaryLogicals_;
    timestamp_struct_t creationTime_;
    Progress task_;
    int progressReturnCode_ = 0;
};
