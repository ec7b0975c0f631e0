// The frame of every concrete RAID monitor: settings, file locations, the debug log, the
// report timers, the event queue with the host's pull interface, the message catalog, the
// snapshot builder and the task snapshot. The host configures the monitor through the
// accessors and pulls events from any thread; the concrete monitor's loop runs on the
// host's monitoring thread. No exported operation lets an exception escape.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "detect/EnumSafteStatusTLX.h"
#include "events/EnumEventType.h"
#include "events/TLXEvent.h"
#include "events/TLXEventCollection.h"
#include "monitor/EnumDebugTLX.h"
#include "nls/NLSParser.h"
#include "port/Export.h"
#include "raidlib/Enums.h"

class Adapter;
class BrixLibPlugin;
class Channel;
class Enclosure;
class HardDrive;
class LogicalDrive;
class PhysicalDevice;
class RaidObject;
class SESElement;
class TLXConfigBuilder;
class TLXProgressCollection;
namespace detect {
enum class EnclosureUnit;
}
namespace port {
class LogFile;
}

#if defined(__GNUC__)
#define TLX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define TLX_PRINTF_FORMAT(fmt, args)
#endif

class TLX_EXPORT BaseRaidMonitor {
public:
    // Size of one formatted debug line, time stamp and terminating NUL included; longer
    // lines are cut.
    static constexpr size_t kDebugLineSize = 1024;

    static constexpr int kUnsupportedDrivesInterval = 2592000;    // 30 days
    static constexpr int kCriticalLogicalDrivesInterval = 28800;  // 8 hours
    static constexpr int kSASDriveMapInterval = 86400;            // 24 hours
    static constexpr int kBadStripeInterval = 28800;              // 8 hours

    // Logs go to the directory "kvorlogs" beside the module. Empty names select the defaults
    // "TLXDebug.log", "TLXEvents.log" and "TLXConfig.xml".
    BaseRaidMonitor(BrixLibPlugin* lib, std::string debugLogName, std::string eventLogName,
                    std::string configName);
    // Logs go to logPath + name (logPath ends in the path separator); no directory is made.
    // An empty logPath keeps them beside the module rather than in the working directory.
    BaseRaidMonitor(BrixLibPlugin* lib, std::string debugLogName, std::string eventLogName,
                    std::string configName, std::string logPath);
    virtual ~BaseRaidMonitor();

    BaseRaidMonitor(const BaseRaidMonitor&) = delete;
    BaseRaidMonitor& operator=(const BaseRaidMonitor&) = delete;

    bool isPollingEnabled() const { return pollingEnabled.load(); }
    void enablePolling() { pollingEnabled.store(true); }
    void disablePolling() { pollingEnabled.store(false); }
    int getPollingRate() const { return pollingRate.load(); }
    void setPollingRate(int seconds) { pollingRate.store(seconds); }
    int64_t getMyStartTime() const { return myStartTime.load(); }
    void setMyStartTime(int64_t seconds) { myStartTime.store(seconds); }
    bool isConfigDirty() const { return configDirty.load(); }
    void setConfigDirty(bool dirty) { configDirty.store(dirty); }
    // The configured debug level (0..2), not the process-wide mask.
    int getDebugMask() const { return debugMask.load(); }
    // Level 0, 1 or 2 sets the process-wide mask to 0xF00000, 0xFF0000 or 0xFFFFFF; any
    // other value leaves it unchanged.
    void setDebugFlag(EnumDebugTLX level);
    int getEventQueueSize() const { return eventQueueSize.load(); }
    int getEventLogLevel() const { return eventLogLevel.load(); }
    bool isAlarmEnabled() const { return alarmEnabled.load(); }
    bool isReportUnsupportedDrives() const { return reportUnsupportedDrives.load(); }
    void setReportUnsupportedDrives(bool report) { reportUnsupportedDrives.store(report); }
    bool isStopped() const { return stopped.load(); }
    void setStopped(bool isStopped) { stopped.store(isStopped); }
    std::string getTLXPath() const { return tlxPath; }
    // Sets tlxPath to the module's directory (or TLXVL_HOME), ending in the separator.
    void setTLXPath();
    std::string getTLXLogPath() const { return tlxLogPath; }
    void setTLXLogPath(std::string logPath) { tlxLogPath = std::move(logPath); }
    BrixLibPlugin* getPBrixLib() const { return library; }
    // Creates tlxPath + "kvorlogs"; logDirStatus becomes 0 when it was made or a directory of
    // that name is already there, otherwise (a plain file of that name included) non-zero.
    void create_directory();
    int getLogDirStatus() const { return logDirStatus; }
    // Reloads the settings file tlxPath + "TLXConfig.ini" (created empty when missing), then
    // gives both logs the bound read and tries once more to open a log that is not open.
    void readConfig();

    // Each timer fires on its first call and then once per interval of the time since
    // myStartTime.
    bool isTimeToReportUnsupportedDrives();
    bool isTimeToReportCriticalLogicalDrives();
    bool isTimeToReportSASDriveMap();
    bool isTimeToReportBadStripe();

    // The severity filter of the event queue; 4 and false when there is no queue.
    int getEventTypeLevel();
    bool setEventTypeLevel(EnumEventType level);

    // Pull interface. Taking events removes them from the queue.
    // Copies up to n events into out[0..]; returns how many. 0 for a null out or n <= 0.
    int getEvents(TLXEvent* out, int n);
    // Every queued event when n is 0, else up to n of them (none for n < 0).
    std::vector<TLXEvent> getEvents(int n);
    unsigned getNumberOfEvents();
    void getCurrentEvents(TLXEventCollection& ec);

    // Writes one line "[time]  message" whatever the debug mask; callers test their class
    // of line first (see the helpers below).
    void logDebugMsg(const char* format, ...) TLX_PRINTF_FORMAT(2, 3);

    virtual bool compareRelativeChanges(LogicalDrive* newDrive, LogicalDrive* oldDrive);
    virtual bool compareRelativeChanges(HardDrive* newDrive, HardDrive* oldDrive);
    virtual bool compareRelativeChanges(Adapter* newAdapter, Adapter* oldAdapter);
    // The drive (logical drive) of adapter at the address of the given one; null when none.
    virtual HardDrive* findPD(HardDrive* drive, Adapter* adapter);
    virtual LogicalDrive* findLD(LogicalDrive* logicalDrive, Adapter* adapter);
    virtual void setProgress();
    virtual void collectCurrentEvents(int kind, TLXEventCollection& ec) = 0;
    virtual void run() = 0;
    virtual void stop() = 0;
    virtual void start() = 0;
    virtual std::string getLogicalName(LogicalDrive* logicalDrive);

    // Identity strings that name objects inside event texts (detect/IdentityStrings.cpp).
    // Null objects are allowed; none changes the object.
    std::string getDetailedAdapterID(Adapter* adapter);
    std::string getEventID(Adapter* adapter);
    std::string getEventID(HardDrive* drive);
    std::string getEventID(LogicalDrive* logicalDrive);
    std::string getEventID(Channel* channel);
    std::string getReplacementID(PhysicalDevice* device);
    std::string getSize(LogicalDrive* logicalDrive);
    std::string getRaidLevel(LogicalDrive* logicalDrive);
    std::string getQuickInit(LogicalDrive* logicalDrive);
    unsigned long getRaidFamily(LogicalDrive* logicalDrive);
    bool isTaskRunning(PhysicalDevice* device);
    bool isTaskRunning(LogicalDrive* logicalDrive);
    std::string trim(std::string& text);

    // Controller comparison (detect/AdapterComparison.cpp). compareAdapter returns 10 to 13.
    int compareAdapter(TLXEventCollection& ecIN, Adapter* newAdapter, Adapter* oldAdapter);
    void checkAdapter(TLXEventCollection& ecIN, Adapter* adapter);
    bool isBatteryCacheInstalled(Adapter* adapter);
    bool batteryStatusChangedToNormal(EnumBatteryStatus newStatus, EnumBatteryStatus oldStatus);
    bool checkBadStripes(Adapter* adapter);
    bool isAdapterOverTemparature(Adapter* adapter);

    // Physical drives (detect/PhysicalDriveComparison.cpp).
    void comparePhysicalDrives(TLXEventCollection& ecIN, Adapter* newAdapter, Adapter* oldAdapter);
    void checkPhysicalDrives(TLXEventCollection& ecIN, Adapter* adapter);
    void checkPhysicalDrive(TLXEventCollection& ecIN, Adapter* adapter, HardDrive* drive);
    bool isValidPhysicalDrive(Adapter* adapter, HardDrive* drive);
    bool isVendorSupported(RaidObject* object);

    // Logical drives (detect/LogicalDriveComparison.cpp).
    void compareLogicalDrives(TLXEventCollection& ecIN, Adapter* newAdapter, Adapter* oldAdapter);
    void checkLogicalDrives(TLXEventCollection& ecIN, Adapter* adapter);
    void checkLogicalDrive(TLXEventCollection& ecIN, Adapter* adapter, LogicalDrive* logicalDrive);
    bool isValidLogicalDrive(Adapter* adapter, LogicalDrive* logicalDrive);

    // SAF-TE enclosures (detect/EnclosureComparison.cpp).
    void compareSafte(TLXEventCollection& ecIN, Adapter* current, Adapter* stored);
    void checkSafte(TLXEventCollection& ecIN, Adapter* adapter);
    void checkSafte(TLXEventCollection& ecIN, Adapter* adapter, Enclosure* enclosure);
    bool isSafteDataValid(Enclosure* enclosure);
    int getFanCount(Enclosure* enclosure);
    int getPowerSupplyCount(Enclosure* enclosure);
    EnumSafteStatusTLX getFanStatus(Enclosure* enclosure, int index);
    EnumSafteStatusTLX getPowerSupplyStatus(Enclosure* enclosure, int index);
    EnumSafteStatusTLX getFanStatus(EnumSESStatusCodes code);
    EnumSafteStatusTLX getPowerSupplyStatus(EnumSESStatusCodes code);
    SESElement* getSESElement(std::vector<RaidObject*> elements, SESElement* element);

    // One informational event per drive on the controller's SAS channels
    // (detect/SASDriveMap.cpp). A host thread may call it while the loop runs.
    void logSASDriveMap(TLXEventCollection& ecIN, Adapter* adapter);

    // ---- Message catalog state (monitor/BaseRaidMonitor.cpp) ----
    // True when the catalog that the monitor reads holds at least one message. False means
    // every event text will be empty: the constructor found no catalog with messages in
    // the module directory nor beside the library, and wrote an error line for each.
    // Reads the file on every call; any thread may call it.
    bool isCatalogUsable() const;

    // ---- Logs (monitor/BaseRaidMonitor.cpp) ----
    // True while debug lines reach the debug log: it is open and its last line went in
    // whole. False after a failed open (tried again at each settings reload) or a failed
    // write (tried again with the next line). Any thread may call it.
    bool isDebugLogWritten() const;

protected:
    struct ReportTimer {
        int interval;
        int64_t lastReport;
    };

    // One helper per class of debug line; each tests the process-wide mask before it
    // formats anything.
    void logError(const char* format, ...) TLX_PRINTF_FORMAT(2, 3);
    void logEventEntry(const char* format, ...) TLX_PRINTF_FORMAT(2, 3);
    void logTrace(const char* format, ...) TLX_PRINTF_FORMAT(2, 3);
    void logLifecycle(const char* format, ...) TLX_PRINTF_FORMAT(2, 3);

    // The settings file and the catalog paths.
    std::string configFilePath() const;
    std::string catalogFilePath() const;

    BrixLibPlugin* library = nullptr;
    // Written by stop() and the host's accessors, read by the loop.
    std::atomic<bool> pollingEnabled{false};
    std::atomic<bool> stopped{true};
    std::string tlxPath;
    std::string tlxLogPath;
    std::unique_ptr<port::LogFile> debugLog;
    std::atomic<int> pollingRate{5};
    std::atomic<int64_t> myStartTime{0};
    std::atomic<bool> configDirty{true};
    ReportTimer unsupportedDrivesTimer{kUnsupportedDrivesInterval, 0};
    ReportTimer criticalLogicalDrivesTimer{kCriticalLogicalDrivesInterval, 0};
    ReportTimer sasDriveMapTimer{kSASDriveMapInterval, 0};
    ReportTimer badStripeTimer{kBadStripeInterval, 0};
    std::atomic<bool> reportUnsupportedDrives{true};
    // Settings: rewritten by readConfig on the loop's thread, read by the host.
    std::atomic<int> eventQueueSize{0};
    std::atomic<int> debugMask{0};
    std::atomic<int> eventLogLevel{0};
    std::atomic<bool> alarmEnabled{false};
    int logDirStatus = -1;
    std::unique_ptr<TLXEventCollection> events;
    NLSParser nls;
    std::unique_ptr<TLXConfigBuilder> configBuilder;
    std::unique_ptr<TLXProgressCollection> progress;

private:
    // A numeric setting of the settings file: its key, its range and the member it sets.
    struct NumberSetting {
        const char* key;
        long low;
        long high;
        std::atomic<int> BaseRaidMonitor::*field;
    };
    static const NumberSetting kNumberSettings[];
    void readNumberSetting(NLSParser& settings, const NumberSetting& setting);
    // The wrong text last reported per key, so that a wrong value is reported once.
    std::map<std::string, std::string> rejectedSettings;

    // ---- Log upkeep (monitor/BaseRaidMonitor.cpp) ----
    // "tlx.logMaxBytes": the size bound of each log; 0 (missing) selects 16 MB.
    std::atomic<int> logMaxBytes{0};
    uint64_t logBound() const;
    // The settings file read into the settings members, unless it is the file read last time,
    // unchanged (the same file, size, times and link count, and changed long enough before
    // that reading that a later change would have moved its times).
    void readSettings();
    bool settingsUnchanged(const port::FileStat& now) const;
    // The state of the settings file when it was last read whole (none: not read since it
    // last changed), and when that reading began (file clock).
    std::optional<port::FileStat> settingsRead;
    int64_t settingsReadAt = 0;
    // Gives both logs the bound and tries once to open a log that is not open.
    void maintainLogs();

    void construct(BrixLibPlugin* lib, const std::string& debugLogName,
                   const std::string& eventLogName, const std::string& configName,
                   const std::string* logPath);
    // The directory that receives the logs: the host's log path, tlxPath + "kvorlogs/", or
    // tlxPath when that directory could not be made.
    std::string logDirectory() const;
    void writeDebugLine(const char* format, va_list args);
    bool isTimeToReport(ReportTimer& timer);

    // ---- Enclosure comparison helpers (detect/EnclosureComparison.cpp) ----
    // Raises the event of the enclosure-event row for unit going from state before to state
    // after (detect/EnclosureEventTable.h) about enclosure of adapter; nothing when there is
    // no such row. index is the fan or power-supply index, from 0.
    void raiseEnclosureEvent(TLXEventCollection& ecIN, detect::EnclosureUnit unit, int before,
                             int after, Adapter* adapter, Enclosure* enclosure, int index);
    // The fan (or power-supply) events between a stored and a current enclosure.
    void compareSafteUnits(TLXEventCollection& ecIN, detect::EnclosureUnit unit, Adapter* adapter,
                           Enclosure* current, Enclosure* stored);

    // ---- Message catalog lookup (monitor/BaseRaidMonitor.cpp) ----
    // Opens nls on the first catalog with messages: tlxPath's, then the one beside the
    // library. With none, writes one error line per file tried and opens tlxPath's,
    // created empty when missing.
    void openCatalog();
    // The catalog file that nls reads.
    std::string catalogInUse;
};
