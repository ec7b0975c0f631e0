// The Velmar controller library over an in-memory hardware model (a System tree) that tests
// and the demo shape, with one event-record log per controller. getNewSystem() makes a deep
// copy of the model the current tree and the current one the old one, freeing older trees.
// The change helpers below (a state, a code, a flag) also reach the current tree, as a real
// library's objects follow the hardware: they are queued and applied inside the next
// getCurrentSystem(), getEvents(), getCurrentObject() or getTasks() call, which only the
// monitor's thread makes while a monitor runs, so the monitor never reads a tree that
// another thread writes. Added or removed objects show only in the next getNewSystem().
// Its operations hold modelMutex(); a host that edits getHardwareModel() while a monitor
// runs holds it too and calls no library operation meanwhile (the lock is not recursive).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "port/Mutex.h"
#include "raidlib/BrixLibPlugin.h"
#include "raidlib/Enums.h"
#include "raidlib/RaidEvent.h"
#include "raidlib/System.h"

class LogicalDrive;

// What VelmarLib's change helpers change: each a value of one object, read as a number
// (a flag as 0 or 1; a presence is 1 while the object is in the model).
enum class EnumModelAttribute : int {
    DriveState,            // a physical device's EnumPhysicalDeviceState
    PfaError,              // a hard drive's predictive-failure flag
    DrivePresent,          // a hard drive
    LogicalDriveState,     // EnumLogicalDeviceState
    LogicalDrivePresent,   // a logical drive
    FanStatus,             // an enclosure's SAF-TE fan `index`: EnumSAFTEFanStatusCodes
    PowerSupplyStatus,     // SAF-TE power supply `index`: EnumSAFTEPowerSupplyStatusCodes
    EnclosureTemperature,  // the SAF-TE temperature out of range
    EnclosurePresent,      // an enclosure
    BatteryStatus,         // a controller's EnumBatteryStatus
    BatteryTempWarning,    // its battery temperature warning
    AdapterStatus,         // its EnumControllerStatus
};

class BRIXVL_EXPORT VelmarLib : public BrixLibPlugin {
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

    // getEvents returns only records logged at or after this time (seconds since 1970), as a
    // real controller library does, so a new run does not relay an earlier run's records.
    virtual void SetTLXStartTime(int64_t seconds);
    int64_t getTLXStartTime() const;
    // The clock that stamps each record as it is logged; the system clock by default. A
    // test whose monitor runs on a fake clock hands the same clock here.
    void setClock(std::function<int64_t()> clock);

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
    // when logicalDriveID is 0x7FFFFFFF) a task in the model; type 0 ends it. Like the other
    // changes it reaches the current tree at the monitor's next library call. Returns false,
    // changing nothing, when the model has no such object. Logs no record.
    bool setTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type,
                 EnumTaskState state, uint32_t percent);

    // Enclosure changes. A SAF-TE power-supply code: malfunctioning logs 510, not present
    // 512, working again 509 after a failure and 511 after being absent.
    bool setPowerSupplyStatus(uint32_t adapterID, uint32_t channelID, uint32_t enclosureDeviceID,
                              unsigned supply, EnumSAFTEPowerSupplyStatusCodes code);
    // Sets or clears the SAF-TE temperature flags: out of range logs 508, back in range 507.
    bool setTemperatureOutOfRange(uint32_t adapterID, uint32_t channelID,
                                  uint32_t enclosureDeviceID, bool outOfRange);
    // Takes the enclosure out of the model, as when it is switched off or unplugged; logs 502.
    bool removeEnclosure(uint32_t adapterID, uint32_t channelID, uint32_t enclosureDeviceID);
    // Takes the hard drive out of the model, as when it is pulled; logs 408.
    bool removeDrive(uint32_t adapterID, uint32_t channelID, uint32_t deviceID);
    // Gives controller `from` the ID `to`, and every object below it that carries the old ID
    // the new one, as when a controller is found in another order; logs nothing. False when
    // there is no controller `from` or already one `to`.
    bool renumberAdapter(uint32_t from, uint32_t to);
    // Battery status new logs 203, low 214, okay or fully charged from another status 217.
    bool setBatteryStatus(uint32_t adapterID, EnumBatteryStatus status);
    // The battery temperature warning switched on logs 211, off 216.
    bool setBatteryTempWarning(uint32_t adapterID, bool warning);
    // A drive's predictive-failure flag newly set logs 405 with the drive's FRU number, 402
    // when it has none; clearing it logs nothing.
    bool setPfaError(uint32_t adapterID, uint32_t channelID, uint32_t deviceID, bool error);
    // The controller's status: failed logs 202, any other change 299.
    bool setAdapterStatus(uint32_t adapterID, EnumControllerStatus status);
    // A task of a logical drive as the controller reports it: starting one logs its start
    // code (304 for a rebuild, ...); its progress logs nothing; ending it as completed,
    // failed or stopped logs the code of that end (stopped: an abort code where the task
    // has one) and leaves the logical drive without task. False for a task type without
    // codes, or (progress and end) when the logical drive runs no task.
    bool startTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type);
    bool setTaskProgress(uint32_t adapterID, uint32_t logicalDriveID, uint32_t percent);
    bool endTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskState end);
    // Adds drive (taking ownership; deleted when the controller is missing) below the
    // controller and logs 346 for its logical drive ID; deleting one logs 347. Like every
    // added or removed object they show in the next getNewSystem().
    bool addLogicalDrive(uint32_t adapterID, LogicalDrive* drive);
    bool deleteLogicalDrive(uint32_t adapterID, uint32_t logicalDriveID);

    // What the change helpers above change (see EnumModelAttribute).
    using Attribute = EnumModelAttribute;
    // Gives the object at addr that value of the attribute (index: the fan or power supply)
    // as the helpers above do: in the model now, in the current tree at the monitor's next
    // library call, and logs the record a controller logs for that change (a presence only
    // goes to 0 here: the object leaves the model). False, changing nothing, when the model
    // has no such object or the object lacks the attribute.
    bool changeAttribute(Attribute attribute, const Addr& addr, unsigned index, int value);
    // The same on any object (of a model or not), without logging or locking; false when
    // the object lacks the attribute (a presence here is only ever 1).
    static bool setAttribute(RaidObject& object, Attribute attribute, unsigned index, int value);

private:
    struct TLX_LOCAL LoggedRecord {
        RaidEvent record;
        int64_t loggedAt;
    };
    struct TLX_LOCAL EventLog {
        unsigned long nextNumber = 1;
        std::vector<LoggedRecord> records;
    };

    unsigned long appendLocked(uint32_t adapterID, RaidEvent record);
    // The object of that type at addr in the model; null when there is none.
    RaidObject* modelObjectLocked(const Addr& addr, const char* type) const;
    // Applies edit to the model's object at addr now and queues it for the current tree.
    void editLocked(const Addr& addr, const std::function<void(RaidObject&)>& edit);
    void applyPendingLocked();

    struct TLX_LOCAL PendingEdit {
        Addr addr;
        std::function<void(RaidObject&)> edit;
    };
    // Logs the record (if any) that the controller logs when object's attribute goes from
    // before to after; index names the fan or power supply.
    // Logs the record of that code and class (code 0: none) for the logical drive at addr.
    void logTaskLocked(const Addr& addr, std::pair<int, int> codeAndClass);
    void logChangeLocked(Attribute attribute, const RaidObject& object, unsigned index, int before,
                         int after);

    mutable port::Mutex mutex_;
    std::unique_ptr<System> model_;
    std::unique_ptr<System> current_;
    std::unique_ptr<System> old_;
    bool discoveryFails_ = false;
    int64_t startTime_ = 0;
    std::map<uint32_t, EventLog> logs_;
    std::vector<PendingEdit> pending_;
    std::function<int64_t()> clock_;
};
