// The monitor of the Velmar controller family. The host constructs it on a VelmarLib, calls
// start() on a thread of its own (it returns when monitoring ends) and stop() from any
// other thread; stop() cuts the current wait short and the loop makes no further library
// call. Meanwhile the loop compares the stored snapshot with the hardware once, then polls
// each controller's event records, reloads the settings and rewrites the snapshot every
// fifth poll. Nothing thrown inside the monitor reaches the host.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "monitor/BaseRaidMonitor.h"
#include "port/Export.h"
#include "port/Interrupt.h"
#include "raidlib/Enums.h"
#include "raidlib/ProgressCollection.h"

struct ControllerEventRecord;

class Adapter;
class Enclosure;
class Progress;
class RaidObject;
class System;
class TLXProgress;
class VelmarLib;

class TLX_EXPORT VelmarMonitor : public BaseRaidMonitor {
public:
    // Seconds of polling between two alive lines in the debug log.
    static constexpr int kAliveSeconds = 600;
    // The snapshot is rewritten after every this many polls.
    static constexpr int kPollsPerSnapshot = 5;

    explicit VelmarMonitor(VelmarLib* lib);
    // Logs go to logFilePath + name; logFilePath ends in the path separator.
    VelmarMonitor(VelmarLib* lib, std::string logFilePath);
    // Stops a loop that still runs and waits until it has ended.
    ~VelmarMonitor() override;

    void collectCurrentEvents(int kind, TLXEventCollection& ec) override;
    // Runs the loop unless one is already running; returns when it ends.
    void run() override;
    void stop() override;
    void start() override;
    virtual ProgressCollection enumerateProgress();

    // The loop itself; run() calls it. No exception leaves it: one that ends the loop is
    // logged and switches polling off.
    void monitorEvents();
    // Start-of-run comparison of the stored snapshot with the hardware.
    void vlEventPersistence();
    // Rewrites the snapshot file from the library's current tree.
    void writeXML();
    // Turns the "RaidEvent" records of one controller's event text into events. May modify
    // text; may throw SimpleXmlException on malformed text.
    void GetEventFromXml(char* text, Adapter* adapter);

    // Change-detection cycle lookups (monitor/ChangeDetectionCycle.cpp).
    // The stored controller whose serial number equals current's; null when none.
    Adapter* findStoredAdapter(Adapter* current);
    void CheckMissingAdapter(TLXEventCollection& ec, RaidObject* storedSystem);
    void reportMissingAdapter(TLXEventCollection& ec, Adapter* stored);
    // The controller with this adapter ID in the library's latest (previous) tree; null
    // when there is none.
    Adapter* getCurrentAdapter(int adapterID);
    Adapter* getOldAdapter(int adapterID);

    // Task tracking (monitor/TaskTracking.cpp) and progress events
    // (monitor/ProgressEvents.cpp).
    void setProgress() override;
    void checkProgress(TLXEventCollection& ecIN, Adapter* current);
    void compareProgress(TLXEventCollection& ecIN, Adapter* current, Adapter* stored);
    void compare_LogicalProgress(TLXEventCollection& ecIN, Adapter* current, Adapter* stored);
    TLXProgress GetTLXProgress(Progress task);
    void LDMProgressType(System* storedSystem);
    void AddProgressEvent(TLXEventCollection& ecIN, EnumTaskType type, EnumTaskState state,
                          Adapter* adapter, unsigned long logicalDriveID);
    void logProgressEvent(Adapter* adapter, Progress& task);
    // True, once, when task tracking already reported the task event that controller
    // adapterID's record (eventCode, logical drive ID) announces.
    bool isDuplicateEvent(uint32_t adapterID, int eventCode, int logicalDriveID);

    // The catalog key of a controller event code; sets eventCategory
    // (ctlevents/EventCodeTable.cpp).
    std::string getEventDescription(int eventCode, int eventType, bool hasFru);

protected:
    int eventCategory = 3;
    int pollsSinceSave = 0;
    int secondsSinceAlive = 0;
    RaidObject* storedTaskList = nullptr;
    VelmarLib* velmarLib = nullptr;
    std::vector<Adapter*> storedAdapters;
    std::vector<Adapter*> currentAdapters;

    // ---- Task tracking state (monitor/TaskTracking.cpp, monitor/ProgressEvents.cpp) ----
    // A task start that task tracking reported, or found still running, in this run. The
    // controller's own record of that start is dropped once (isDuplicateEvent). Logical
    // drive IDs are 0-based, as in the controller's records.
    struct ReportedTaskEvent {
        uint32_t adapterID;
        int eventCode;
        uint32_t logicalDriveID;
    };
    // What the percentage report last saw of one controller's running task.
    struct ReportedPercentage {
        EnumTaskType taskType = TASK_TYPE_NONE;
        uint32_t logicalDriveID = Addr::kUnset;
        unsigned percent = 0;
    };

    // Emptied when a run starts (LDMProgressType); isDuplicateEvent consumes entries.
    std::vector<ReportedTaskEvent> reportedTaskEvents;
    // Set by LDMProgressType from the stored configuration: a migration (type 7) of the
    // logical drive overrideLogicalDriveID on controller overrideAdapterID is reported as
    // taskTypeOverride when that is not 0. Other drives keep their migration texts.
    int taskTypeOverride = 0;
    bool overrideFound = false;
    uint32_t overrideAdapterID = Addr::kUnset;
    uint32_t overrideLogicalDriveID = Addr::kUnset;
    // Percentage report state by adapter ID, so that controllers do not disturb each other.
    std::map<uint32_t, ReportedPercentage> reportedPercentages;

    // The type under which a task of this controller's logical drive is reported.
    EnumTaskType reportedTaskType(EnumTaskType type, uint32_t adapterID,
                                  uint32_t logicalDriveID) const;
    // Remembers that the start of a task of this type on this controller's logical drive
    // has been accounted for (see ReportedTaskEvent); types without start event are not.
    void rememberTaskStart(uint32_t adapterID, EnumTaskType type, uint32_t logicalDriveID);
    // The logical drive of a stored task: resolved in the latest tree, else its own address's.
    uint32_t storedLogicalDrive(const TLXProgress& stored);

private:
    // The event text that the library fills: a malloc block that it may grow or free.
    struct LibraryText {
        LibraryText();
        ~LibraryText();
        LibraryText(const LibraryText&) = delete;
        LibraryText& operator=(const LibraryText&) = delete;
        char* block;
    };

    void initialise(VelmarLib* lib);
    // The body of monitorEvents(), which keeps its exceptions in the monitor.
    void pollLoop();
    void raiseNoControllerEvent();
    // Asks each controller of the run's tree (listed once per run: the library never changes
    // the shape of a tree it handed out) for its new records, once.
    void pollControllers(const std::vector<Adapter*>& adapters,
                         std::map<uint32_t, unsigned long>& nextEventNumbers, LibraryText& text);
    // Asks one controller from nextEventNumber on and translates what is new.
    void pollController(Adapter& adapter, unsigned long& nextEventNumber, LibraryText& text);
    // Waits ms milliseconds unless polling has been disabled; stop() cuts it short.
    void pause(long ms);
    bool isTimeToSaveSnapshot() const;

    // Controller event translation (ctlevents/ControllerEventTranslation.cpp).
    // Raises the event of one record read from controller adapter's event text.
    void translateEventRecord(const ControllerEventRecord& record, Adapter* adapter);
    // The record names a controller missing from the latest tree: the failure event of the
    // controller in the previous tree, when there is one.
    void raiseFailedControllerEvent(const ControllerEventRecord& record, const std::string& key);
    // adapter's drive at the record's channel and device (null, with an error line, when
    // there is none), and its serial number (empty then).
    HardDrive* findRecordDrive(Adapter* adapter, const ControllerEventRecord& record);
    std::string findRecordDriveSerial(Adapter* adapter, const ControllerEventRecord& record);
    // The identity of the record's channel, as the start-of-run comparisons name it.
    std::string recordChannelIdentity(Adapter* adapter, const ControllerEventRecord& record);
    // adapter's enclosure on the record's channel; null when there is none.
    Enclosure* findRecordEnclosure(Adapter* adapter, const ControllerEventRecord& record);
    // The size, RAID level and quick-initialisation texts of the logical drive the record
    // announces as added; none when the latest tree does not hold it.
    std::vector<std::string> addedLogicalDriveTexts(const ControllerEventRecord& record);

    // Change-detection cycle helpers (monitor/ChangeDetectionCycle.cpp).
    // The stored system of the snapshot file; null on a first run (no file) and for a
    // damaged file, which is moved aside.
    System* readStoredSystem();
    // Appends the controllers of system, in tree order, to adapters; each null one is
    // skipped with nullLine.
    void collectAdapters(System* system, std::vector<Adapter*>& adapters, const char* nullLine);
    // Compares one current controller with its stored twin, or checks it when it is new.
    // False when polling was disabled on the way: the cycle then ends at once.
    bool compareWithStored(Adapter* current, System* storedSystem);
    void raiseControllerRemovedEvent(TLXEventCollection& ec, Adapter* stored);

    // Raised by stop() to end the current wait, cleared when a run starts.
    port::Interrupt stopSignal;
    // Makes stop()'s disabling and raising, and start()'s claiming and clearing, one step each.
    std::mutex lifecycleMutex;
    // True while a loop runs, so that two loops never run at once and the monitor is not
    // destroyed under one.
    std::atomic<bool> loopActive{false};
};
