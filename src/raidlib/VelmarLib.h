// The Velmar controller library over an in-memory hardware model (a System tree) that tests
// and the demo shape, with one event-record log per controller. getNewSystem() makes a deep
// copy of the model the current tree and the current one the old one, freeing older trees.
// Its operations hold modelMutex(); a host that edits getHardwareModel() while a monitor
// runs holds it too and calls no library operation meanwhile (the lock is not recursive).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "port/Mutex.h"
#include "raidlib/BrixLibPlugin.h"
#include "raidlib/Enums.h"
#include "raidlib/RaidEvent.h"
#include "raidlib/System.h"

class TLX_EXPORT VelmarLib : public BrixLibPlugin {
public:
    VelmarLib();
    ~VelmarLib() override;

    // The hardware model; never null. Changes show in the next getNewSystem().
    System* getHardwareModel() const { return model_.get(); }
    // Replaces the model (taking ownership; null installs an empty one).
    void setHardwareModel(System* model);
    port::Mutex& modelMutex() { return mutex_; }
    // While set, getNewSystem() finds nothing and returns null (no rotation).
    void setDiscoveryFails(bool fails);

    System* getNewSystem() override;
    System* getCurrentSystem() override;
    System* getOldSystem() override;
    Ret getEvents(const Addr& adapter, unsigned long from, char** buffer) override;
    RaidObject* getCurrentObject(Addr& addr) override;
    // Every task (of a logical drive or a physical device in the latest tree) whose object
    // lies at addr: each ID set in addr must equal the object's.
    Ret getTasks(const Addr& addr, ProgressCollection& tasks) override;

    virtual void SetTLXStartTime(int64_t seconds);
    int64_t getTLXStartTime() const;

    // Appends a record to the log of the controller adapterID and returns its event number
    // (1 for the first record of a controller, then increasing).
    unsigned long appendEvent(uint32_t adapterID, RaidEvent record);
    // The number the next record of that controller gets; raising it skips numbers.
    unsigned long getNextEventNumber(uint32_t adapterID) const;
    void setNextEventNumber(uint32_t adapterID, unsigned long number);
    // Model changes that log the record the controller would log for them (the record's
    // eventType is the controller's class: 1 informational, 2 warning, 4 error). Each
    // returns false, changing nothing, when the model has no such object.
    // A drive becoming defunct logs 404 (401 without FRU number); leaving defunct logs 403.
    bool setDriveState(uint32_t adapterID, uint32_t channelID, uint32_t deviceID,
                       EnumPhysicalDeviceState state);
    // Offline logs 303, a critical state (3, 6, 7) 301, back to okay from another state 345.
    bool setLogicalDriveState(uint32_t adapterID, uint32_t logicalDriveID,
                              EnumLogicalDeviceState state);
    // A SAF-TE fan code: malfunctioning logs 504, not installed 506, operational again 503.
    bool setFanStatus(uint32_t adapterID, uint32_t channelID, uint32_t enclosureDeviceID,
                      unsigned fan, EnumSAFTEFanStatusCodes code);

    // A copy of the records of a controller's log, oldest first.
    std::vector<RaidEvent> getEventLog(uint32_t adapterID) const;
    // Gives the logical drive logicalDriveID of controller adapterID (the controller itself
    // when logicalDriveID is 0x7FFFFFFF) a task in the model; type 0 ends it. A task is live
    // hardware state, so the latest tree's object (when it has one) answers getProgress with
    // it too; that tree is read without the lock, so call this on the monitor's thread (a
    // clock hook) or while no monitor runs. Returns false, changing nothing, when the model
    // has no such object. Logs no record.
    bool setTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type,
                 EnumTaskState state, uint32_t percent);

private:
    struct EventLog {
        unsigned long nextNumber = 1;
        std::vector<RaidEvent> records;
    };

    unsigned long appendLocked(uint32_t adapterID, RaidEvent record);

    mutable port::Mutex mutex_;
    std::unique_ptr<System> model_;
    std::unique_ptr<System> current_;
    std::unique_ptr<System> old_;
    bool discoveryFails_ = false;
    int64_t startTime_ = 0;
    std::map<uint32_t, EventLog> logs_;
};
