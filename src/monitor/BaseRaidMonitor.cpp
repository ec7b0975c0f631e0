#include "monitor/BaseRaidMonitor.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "port/Clock.h"
#include "port/DebugMask.h"
#include "port/FileSystem.h"
#include "port/LogFile.h"
#include "port/ModuleDirectory.h"
#include "port/ReadOnlyFile.h"
#include "raidlib/BrixLibPlugin.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXProgressCollection.h"

namespace {

constexpr const char* kLogDirectoryName = "kvorlogs";
constexpr const char* kDefaultDebugLogName = "TLXDebug.log";
constexpr const char* kDefaultEventLogName = "TLXEvents.log";
constexpr const char* kDefaultConfigName = "TLXConfig.xml";
constexpr const char* kCatalogName = "RaidNLS.properties";
constexpr const char* kSettingsName = "TLXConfig.ini";

// The process-wide mask that each debug level selects, indexed by the level.
constexpr uint32_t kMaskOfLevel[] = {
    0xF00000,  // 0: errors
    0xFF0000,  // 1: errors and the event log
    0xFFFFFF,  // 2: everything, traces and construction lines included
};

// A whole decimal number in [low, high]; false for anything else ("700junk", "0x10", "-1",
// a number past the range).
bool parseSetting(const std::string& text, long low, long high, int& value) {
    long parsed = 0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || read.ec != std::errc() || read.ptr != text.data() + text.size() ||
        parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

// The only spellings of "agent.alarm" that switch the alarm on.
constexpr const char* kAlarmOnValues[] = {"on", "On", "ON"};

std::string orDefault(const std::string& name, const char* fallback) {
    return name.empty() ? std::string(fallback) : name;
}

bool canRead(const std::string& path) {
    return port::ReadOnlyFile().open(path);
}

enum class CatalogState { Missing, Empty, Usable };

// Usable when the file holds an entry line: one that begins with neither "#" nor a blank
// (a line with blanks before its key never matches a lookup).
CatalogState inspectCatalog(const std::string& path) {
    port::ReadOnlyFile file;
    if (!file.open(path)) {
        return CatalogState::Missing;
    }
    std::string text;
    file.readAll(text);  // a read error leaves what was read, judged as it stands
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && c != '#' && c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            return CatalogState::Usable;
        }
        lineStart = c == '\n';
    }
    return CatalogState::Empty;
}

}  // namespace

BaseRaidMonitor::BaseRaidMonitor(BrixLibPlugin* lib, std::string debugLogName,
                                 std::string eventLogName, std::string configName) {
    construct(lib, debugLogName, eventLogName, configName, nullptr);
}

BaseRaidMonitor::BaseRaidMonitor(BrixLibPlugin* lib, std::string debugLogName,
                                 std::string eventLogName, std::string configName,
                                 std::string logPath) {
    construct(lib, debugLogName, eventLogName, configName, &logPath);
}

void BaseRaidMonitor::construct(BrixLibPlugin* lib, const std::string& debugLogName,
                                const std::string& eventLogName, const std::string& configName,
                                const std::string* logPath) {
    setTLXPath();
    if (logPath != nullptr) {
        tlxLogPath = *logPath;
    } else {
        logDirStatus = -1;
        create_directory();
    }

    debugLog = std::make_unique<port::LogFile>();
    debugLog->open(logDirectory() + orDefault(debugLogName, kDefaultDebugLogName));

    if (lib == nullptr) {
        logError(
            "ERROR: BaseRaidMonitor::BaseRaidMonitor Error constructing. BrixLibPlugin "
            "handle is NULL!!");
    } else {
        library = lib;
    }

    setDebugFlag(TLX_DEBUG_ERRORS);

    openCatalog();

    readConfig();

    events = std::make_unique<TLXEventCollection>(
        logDirectory() + orDefault(eventLogName, kDefaultEventLogName), getEventQueueSize(), 5);
    events->setLogMaxBytes(logBound());
    configBuilder =
        std::make_unique<TLXConfigBuilder>(tlxPath + orDefault(configName, kDefaultConfigName));
    progress = std::make_unique<TLXProgressCollection>();

    setDebugFlag(static_cast<EnumDebugTLX>(getDebugMask()));
    pollingRate = 5;
    pollingEnabled = false;
    stopped = true;
    myStartTime = port::Clock::current().now();
    unsupportedDrivesTimer = {kUnsupportedDrivesInterval, 0};
    criticalLogicalDrivesTimer = {kCriticalLogicalDrivesInterval, 0};
    sasDriveMapTimer = {kSASDriveMapInterval, 0};
    badStripeTimer = {kBadStripeInterval, 0};
    configDirty = true;
    reportUnsupportedDrives = true;
}

BaseRaidMonitor::~BaseRaidMonitor() {
    events.reset();
    configBuilder.reset();
    progress.reset();
}

void BaseRaidMonitor::setTLXPath() {
    tlxPath = port::moduleDirectory();
}

void BaseRaidMonitor::create_directory() {
    const std::string path = tlxPath + kLogDirectoryName;
    port::FileStat stat;
    switch (port::makeDirectory(path)) {
        case port::MakeDirectoryResult::Created:
            logDirStatus = 0;
            break;
        case port::MakeDirectoryResult::AlreadyExists:
            // A plain file of that name cannot hold the logs: they take the fallback too.
            logDirStatus = port::statFile(path, stat) && stat.directory ? 0 : -1;
            break;
        case port::MakeDirectoryResult::Failed:
            logDirStatus = -1;
            break;
    }
}

std::string BaseRaidMonitor::logDirectory() const {
    if (!tlxLogPath.empty()) {
        return tlxLogPath;
    }
    if (logDirStatus == 0) {
        return tlxPath + kLogDirectoryName + port::kPathSeparator;
    }
    return tlxPath;
}

void BaseRaidMonitor::openCatalog() {
    // The monitor's own directory may be a fresh TLXVL_HOME that holds settings, snapshot
    // and logs only; the catalog installed beside the library then serves.
    std::vector<std::string> candidates{catalogFilePath()};
    const std::string libraryDirectory = port::libraryDirectory();
    if (!libraryDirectory.empty() && libraryDirectory + kCatalogName != candidates.front()) {
        candidates.push_back(libraryDirectory + kCatalogName);
    }
    std::vector<CatalogState> states;
    for (const std::string& path : candidates) {
        states.push_back(inspectCatalog(path));
        if (states.back() == CatalogState::Usable) {
            catalogInUse = path;
            nls.resetParser(catalogInUse);
            return;
        }
    }
    for (size_t i = 0; i < candidates.size(); ++i) {
        const char* path = candidates[i].c_str();
        if (states[i] == CatalogState::Empty) {
            logError("ERROR: BaseRaidMonitor::BaseRaidMonitor() NLS File (%s) holds no messages.\n",
                     path);
        } else if (i == 0) {
            logError(
                "ERROR: BaseRaidMonitor::BaseRaidMonitor() NLS File (%s) not found. Creating "
                "an empty file.\n",
                path);
            port::createEmptyFile(candidates[i]);
        } else {
            logError("ERROR: BaseRaidMonitor::BaseRaidMonitor() NLS File (%s) not found.\n", path);
        }
    }
    catalogInUse = candidates.front();
    nls.resetParser(catalogInUse);
}

bool BaseRaidMonitor::isCatalogUsable() const {
    return inspectCatalog(catalogInUse) == CatalogState::Usable;
}

std::string BaseRaidMonitor::configFilePath() const {
    return tlxPath + kSettingsName;
}

std::string BaseRaidMonitor::catalogFilePath() const {
    return tlxPath + kCatalogName;
}

void BaseRaidMonitor::setDebugFlag(EnumDebugTLX level) {
    const int index = static_cast<int>(level);
    if (index >= 0 && index < static_cast<int>(std::size(kMaskOfLevel))) {
        DebugMask::set(kMaskOfLevel[index]);
    }
}

const BaseRaidMonitor::NumberSetting BaseRaidMonitor::kNumberSettings[] = {
    {"tlx.eventQueueSize", 0, 1000000, &BaseRaidMonitor::eventQueueSize},
    {"tlx.debugMask", 0, 2, &BaseRaidMonitor::debugMask},
    {"agent.OSLoggingLevel", 0, 7, &BaseRaidMonitor::eventLogLevel},
    // Below a page a log would rotate at almost every line.
    {"tlx.logMaxBytes", 4096, 2147483647, &BaseRaidMonitor::logMaxBytes},
};

// A missing key (empty text) and 0 read as 0, the default. A value that is not a whole number in
// range keeps the current value, with one error line for each new wrong text, not one per
// reload.
void BaseRaidMonitor::readNumberSetting(NLSParser& settings, const NumberSetting& setting) {
    const std::string text = settings.get(setting.key);
    std::string& reported = rejectedSettings[setting.key];
    int value = 0;
    if (text.empty()) {
        (this->*setting.field).store(0);
        reported.clear();
    } else if (parseSetting(text, setting.low, setting.high, value) ||
               parseSetting(text, 0, 0, value)) {
        (this->*setting.field).store(value);
        reported.clear();
    } else if (reported != text) {
        reported = text;
        logError(
            "ERROR: BaseRaidMonitor::readConfig() %s=%s is not a whole number from %ld to "
            "%ld; keeping %d\n",
            setting.key, text.c_str(), setting.low, setting.high, (this->*setting.field).load());
    }
}

void BaseRaidMonitor::readConfig() {
    readSettings();
    maintainLogs();
}

uint64_t BaseRaidMonitor::logBound() const {
    const int bound = logMaxBytes.load();
    return bound > 0 ? static_cast<uint64_t>(bound) : port::LogFile::kDefaultMaxBytes;
}

// Runs at every reload, so it must stay cheap: one flag per log, and one open attempt for a
// log that is not open, which heals a log whose directory or disk failed for a while.
void BaseRaidMonitor::maintainLogs() {
    const uint64_t bound = logBound();
    if (debugLog) {
        debugLog->setMaxBytes(bound);
        debugLog->reopen();
    }
    if (events) {
        events->setLogMaxBytes(bound);
        events->reopenLog();
    }
}

bool BaseRaidMonitor::isDebugLogWritten() const {
    return debugLog && debugLog->isWriting();
}

bool BaseRaidMonitor::settingsUnchanged(const port::FileStat& now) const {
    return settingsRead && now == *settingsRead && !port::isRecentlyChanged(now, settingsReadAt);
}

void BaseRaidMonitor::readSettings() {
    const std::string path = configFilePath();
    port::FileStat now;
    const bool known = port::statFile(path, now);
    if (known && settingsUnchanged(now)) {
        return;
    }
    settingsRead.reset();
    if (!canRead(path)) {
        logError(
            "ERROR: BaseRaidMonitor::readConfig() Config File (%s) not found. Creating an "
            "empty file.\n",
            path.c_str());
        port::createEmptyFile(path);
        return;
    }
    // Taken before reading: a change made while the file is read leaves it recent.
    settingsReadAt = port::fileTimeNow();
    try {
        NLSParser settings(path);
        for (const NumberSetting& setting : kNumberSettings) {
            readNumberSetting(settings, setting);
        }
        const std::string alarm = settings.get("agent.alarm");
        alarmEnabled = std::any_of(std::begin(kAlarmOnValues), std::end(kAlarmOnValues),
                                   [&](const char* on) { return alarm == on; });
        if (known) {
            settingsRead = now;
        }
    } catch (const std::exception&) {
        logError("ERROR: BaseRaidMonitor::readConfig() Cannot create NLSParser.\n");
    }
}

bool BaseRaidMonitor::isTimeToReport(ReportTimer& timer) {
    const int64_t elapsed = port::Clock::current().now() - myStartTime.load();
    if (timer.lastReport == 0) {
        timer.lastReport = elapsed;
        return true;
    }
    if (elapsed >= timer.interval && elapsed - timer.lastReport >= timer.interval) {
        timer.lastReport = elapsed;
        return true;
    }
    return false;
}

bool BaseRaidMonitor::isTimeToReportUnsupportedDrives() {
    return isTimeToReport(unsupportedDrivesTimer);
}

bool BaseRaidMonitor::isTimeToReportCriticalLogicalDrives() {
    return isTimeToReport(criticalLogicalDrivesTimer);
}

bool BaseRaidMonitor::isTimeToReportSASDriveMap() {
    return isTimeToReport(sasDriveMapTimer);
}

bool BaseRaidMonitor::isTimeToReportBadStripe() {
    return isTimeToReport(badStripeTimer);
}

int BaseRaidMonitor::getEventTypeLevel() {
    if (!events) {
        logError("ERROR: BaseRaidMonitor::getEventTypeLevel() EventCollection is NULL!!\n");
        return 4;
    }
    return events->getEventTypeLevel();
}

bool BaseRaidMonitor::setEventTypeLevel(EnumEventType level) {
    if (!events) {
        logError("ERROR: BaseRaidMonitor::setEventTypeLevel() EventCollection is NULL!!\n");
        return false;
    }
    return events->setEventTypeLevel(static_cast<int>(level));
}

int BaseRaidMonitor::getEvents(TLXEvent* out, int n) {
    if (out == nullptr || n <= 0 || !events) {
        return 0;
    }
    try {
        const std::vector<TLXEvent> taken = events->take(n);
        std::copy(taken.begin(), taken.end(), out);
        return static_cast<int>(taken.size());
    } catch (const std::exception& e) {
        logError("ERROR: BaseRaidMonitor::getEvents() %s\n", e.what());
        return 0;
    }
}

std::vector<TLXEvent> BaseRaidMonitor::getEvents(int n) {
    if (!events) {
        return {};
    }
    try {
        return n == 0 ? events->takeAll() : events->take(n);
    } catch (const std::exception& e) {
        logError("ERROR: BaseRaidMonitor::getEvents() %s\n", e.what());
        return {};
    }
}

unsigned BaseRaidMonitor::getNumberOfEvents() {
    return events ? static_cast<unsigned>(events->size()) : 0u;
}

void BaseRaidMonitor::getCurrentEvents(TLXEventCollection& ec) {
    try {
        collectCurrentEvents(0, ec);
    } catch (const std::exception& e) {
        logError("ERROR: BaseRaidMonitor::getCurrentEvents() %s\n", e.what());
    }
}

bool BaseRaidMonitor::compareRelativeChanges(LogicalDrive*, LogicalDrive*) {
    return false;
}

bool BaseRaidMonitor::compareRelativeChanges(HardDrive*, HardDrive*) {
    return false;
}

bool BaseRaidMonitor::compareRelativeChanges(Adapter*, Adapter*) {
    return false;
}

void BaseRaidMonitor::setProgress() {}

std::string BaseRaidMonitor::getLogicalName(LogicalDrive*) {
    return std::string();
}

void BaseRaidMonitor::writeDebugLine(const char* format, va_list args) {
    if (!debugLog || !debugLog->isOpen()) {
        return;
    }
    std::string stamp = port::ctimeText(port::Clock::current().now());
    if (!stamp.empty()) {
        stamp.pop_back();  // the newline of the ctime text
    }
    char line[kDebugLineSize];
    const int head = std::snprintf(line, sizeof line, "[%s]  ", stamp.c_str());
    if (head < 0) {
        return;
    }
    const size_t used = std::min(static_cast<size_t>(head), sizeof line - 1);
    // vsnprintf never writes past the buffer: a longer message is cut.
    std::vsnprintf(line + used, sizeof line - used, format, args);
    debugLog->append(line, std::strlen(line));
}

void BaseRaidMonitor::logDebugMsg(const char* format, ...) {
    va_list args;
    va_start(args, format);
    writeDebugLine(format, args);
    va_end(args);
}

void BaseRaidMonitor::logError(const char* format, ...) {
    if (!DebugMask::enabled(DebugMask::kErrors)) {
        return;
    }
    va_list args;
    va_start(args, format);
    writeDebugLine(format, args);
    va_end(args);
}

void BaseRaidMonitor::logEventEntry(const char* format, ...) {
    if (!DebugMask::enabled(DebugMask::kEventLog)) {
        return;
    }
    va_list args;
    va_start(args, format);
    writeDebugLine(format, args);
    va_end(args);
}

void BaseRaidMonitor::logTrace(const char* format, ...) {
    if (!DebugMask::enabled(DebugMask::kTrace)) {
        return;
    }
    va_list args;
    va_start(args, format);
    writeDebugLine(format, args);
    va_end(args);
}

void BaseRaidMonitor::logLifecycle(const char* format, ...) {
    if (!DebugMask::enabled(DebugMask::kLifecycle)) {
        return;
    }
    va_list args;
    va_start(args, format);
    writeDebugLine(format, args);
    va_end(args);
}
