// The monitor frame: where its files go, the settings file, the debug log, the report timers
// and a message catalog that is missing or empty.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "MonitorTestSupport.h"
#include "detect/DetectTestSupport.h"
#include "port/DebugMask.h"
#include "port/ModuleDirectory.h"
#include "support/FaultyFileOps.h"

namespace fs = std::filesystem;

namespace {

using FrameMonitor = DetectMonitor;
class FrameTest : public MonitorLoopTest {};

TEST_F(FrameTest, WhereTheLogsGo) {
    fs::create_directory(path("logs"));
    {
        // A log path of the host's takes both logs, and no directory is made.
        FrameMonitor frame(&lib, "d.log", "e.log", "", path("logs/"));
        frame.logDebugMsg("x");
        EXPECT_EQ(readFile("logs/d.log"), stamp() + "x");
        EXPECT_TRUE(exists("logs/e.log"));
        EXPECT_FALSE(exists("kvorlogs"));
    }
    for (const char* line : {"made\n", "existing\n"}) {
        // Made beside the module, then found there: both logs go into it, appended to.
        FrameMonitor frame(&lib, "", "", "");
        frame.logDebugMsg("%s", line);
        DebugMask::set(DebugMask::kEventLog);
        frame.queue().writeLogEntry(TLXEvent());
    }
    EXPECT_EQ(readFile("kvorlogs/TLXDebug.log"), stamp() + "made\n" + stamp() + "existing\n");
    EXPECT_FALSE(readFile("kvorlogs/TLXEvents.log").empty());
    // No directory can be had, because its creation fails or a plain file has the name:
    // both logs go straight into the module's folder.
    for (const bool plainFile : {false, true}) {
        for (const char* name : {"kvorlogs", "TLXDebug.log", "TLXEvents.log"}) {
            fs::remove_all(path(name));
        }
        if (plainFile) {
            writeFile("kvorlogs", "not a directory");
        }
        FaultyFileOps refused(
            plainFile ? std::vector<Fault>{}
                      : std::vector<Fault>{{FileOp::MakeDirectory, "kvorlogs", EACCES}});
        FrameMonitor frame(&lib, "", "", "");
        EXPECT_NE(frame.getLogDirStatus(), 0);
        frame.logDebugMsg("beside");
        EXPECT_EQ(readFile("TLXDebug.log"), stamp() + "beside") << plainFile;
        EXPECT_TRUE(exists("TLXEvents.log"));
    }
}

// A missing settings file is created empty, with an error line.
TEST_F(FrameTest, SettingsAreReadWithTheirConversions) {
    fs::remove(path("TLXConfig.ini"));
    { FrameMonitor missing(nullptr, "", "", ""); }
    EXPECT_TRUE(exists("TLXConfig.ini"));
    EXPECT_EQ(counts(readFile("kvorlogs/TLXDebug.log"),
                     {"ERROR: BaseRaidMonitor::readConfig() Config File (" + path("TLXConfig.ini") +
                      ") not found. Creating an empty file.\n"}),
              std::vector<int>{1});
    writeFile("TLXConfig.ini",
              "# settings\ntlx.eventQueueSize=500\ntlx.debugMask=1\nagent.OSLoggingLevel\t=  3\n");
    FrameMonitor frame(&lib, "", "", "");
    EXPECT_EQ(frame.queue().getMaxSize(), 500);
    EXPECT_EQ(DebugMask::get(), 0xFF0000u);
    EXPECT_EQ(frame.getEventLogLevel(), 3);
    const std::pair<const char*, bool> kAlarms[] = {{"on", true},  {"On", true},    {"ON", true},
                                                    {"oN", false}, {"true", false}, {"off", false},
                                                    {"", false}};
    for (const auto& [value, on] : kAlarms) {
        writeFile("TLXConfig.ini", std::string("agent.alarm=") + value + "\n");
        frame.readConfig();
        EXPECT_EQ(frame.isAlarmEnabled(), on) << value;
    }
}

// An unchanged settings file is not read again, and every change to it is seen at the next
// reload, one that keeps its size and modification time included. The file clock runs an hour
// ahead, so the file looks as old as an installed one.
TEST_F(FrameTest, SettingsAreReadAgainWhenTheFileChanged) {
    const fs::path file = path("TLXConfig.ini");
    // clang-format off
    struct Row { const char* what; std::function<void()> change; int mask; };
    const std::vector<Row> rows = {
        {"unchanged", [] {}, 1},
        {"edited, size and time kept", [&] {
             const auto time = fs::last_write_time(file);
             writeFile("TLXConfig.ini", "tlx.debugMask=2\n");
             fs::last_write_time(file, time); }, 2},
        {"replaced by rename", [&] {
             writeFile("new", "tlx.debugMask=2\n");
             fs::rename(path("new"), file); }, 2},
        {"deleted (created empty, the values kept)", [&] { fs::remove(file); }, 1},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeFile("TLXConfig.ini", "tlx.debugMask=1\n");
        FaultyFileOps ops;
        ops.timeAheadNs = int64_t{3600} * 1000000000;
        FrameMonitor frame(&lib, "", "", "");
        ASSERT_EQ(frame.getDebugMask(), 1);
        const int opens = ops.count(FileOp::Open, "TLXConfig.ini");
        frame.readConfig();
        EXPECT_EQ(ops.count(FileOp::Open, "TLXConfig.ini"), opens);
        row.change();
        frame.readConfig();
        EXPECT_EQ(frame.getDebugMask(), row.mask);
    }
}

// The lines each debug level lets through: errors (E), event log entries (V), traces (T) and
// construction lines (L). A level without a mask leaves the mask as it was.
TEST_F(FrameTest, DebugLinesByClassAndCutAtTheBuffer) {
    FrameMonitor frame(&lib, "", "", "");
    const std::pair<const char*, const char*> kLevels[] = {
        {"", "E"}, {"2", "EVTL"}, {"7", "EVTL"}, {"1", "EV"}, {"0", "E"}};
    for (const auto& [level, shown] : kLevels) {
        writeFile("TLXConfig.ini", std::string("tlx.debugMask=") + level + "\n");
        frame.readConfig();
        frame.setDebugFlag(static_cast<EnumDebugTLX>(frame.getDebugMask()));
        const size_t before = readFile("kvorlogs/TLXDebug.log").size();
        frame.logError("E\n");
        frame.logEventEntry("V\n");
        frame.logTrace("T\n");
        frame.logLifecycle("L\n");
        std::istringstream lines(readFile("kvorlogs/TLXDebug.log").substr(before));
        std::string seen;
        for (std::string line; std::getline(lines, line);) {
            seen += line.back();
        }
        EXPECT_EQ(seen, shown) << level;
    }
    const size_t before = readFile("kvorlogs/TLXDebug.log").size();
    frame.logDebugMsg("%s", std::string(3000, 'x').c_str());  // cut at the line buffer
    EXPECT_EQ(readFile("kvorlogs/TLXDebug.log").substr(before),
              stamp() + std::string(BaseRaidMonitor::kDebugLineSize - 1 - stamp().size(), 'x'));
}

// Each timer fires at its first call, which in the second of the start records 0, so that
// the next call fires again; then once per interval.
TEST_F(FrameTest, ReportTimersFireFirstThenOncePerInterval) {
    const std::pair<bool (BaseRaidMonitor::*)(), int> kTimers[] = {
        {&BaseRaidMonitor::isTimeToReportBadStripe, 28800},
        {&BaseRaidMonitor::isTimeToReportUnsupportedDrives, 2592000},
        {&BaseRaidMonitor::isTimeToReportCriticalLogicalDrives, 28800},
        {&BaseRaidMonitor::isTimeToReportSASDriveMap, 86400},
    };
    for (const auto& [timer, interval] : kTimers) {
        FrameMonitor frame(&lib, "", "", "");
        const auto after = [&, timer = timer](int seconds) {
            clock.advanceSeconds(seconds);
            return (frame.*timer)();
        };
        EXPECT_EQ((std::vector<bool>{after(0), after(0), after(1), after(0), after(interval - 1),
                                     after(1), after(0)}),
                  (std::vector<bool>{true, true, true, false, false, true, false}))
            << interval;
    }
}

// A monitor whose message catalog is missing or holds no message says so: one error line per
// catalog file tried (the module directory's, then the one beside the library), each ending
// in a newline, and isCatalogUsable() false; a missing file in the module directory is
// created empty. The catalog beside the library is the test program's directory, which has
// none; tests/CMakeLists.txt runs examples/ through libtlxvl, where one is found there.
class CatalogMissingTest : public TestHome {};

TEST_F(CatalogMissingTest, EachUnusableCatalogGivesItsErrorLineAndTheSignal) {
    const char* kNotFound = ") not found. Creating an empty file.\n";
    const char* kNoMessages = ") holds no messages.\n";
    // The module directory's catalog (null: missing), the error line about it (null: none),
    // whether the monitor can use it; the last catalog is filled after construction.
    // clang-format off
    const struct { const char *content, *homeLine; bool usable; } rows[] = {
        {nullptr, kNotFound, false}, {"", kNoMessages, false},
        {"# agentEventInfNoControllers=x\n \tindented=x\n\r\n\n", kNoMessages, false},
        {"#\nagentEventInfNoControllers=No controller.\n", nullptr, true},
        {"k=v\r\n", nullptr, true}, {"", kNoMessages, true}};
    // clang-format on
    const std::string prefix = "ERROR: BaseRaidMonitor::BaseRaidMonitor() NLS File (";
    const std::string beside = port::libraryDirectory() + "RaidNLS.properties";
    for (const auto& row : rows) {
        const bool filledLater = &row == std::end(rows) - 1;
        SCOPED_TRACE(&row - rows);
        writeFile("TLXConfig.ini", "");
        std::remove(path("kvorlogs/TLXVLDebug.log").c_str());
        if (row.content == nullptr) {
            std::remove(path("RaidNLS.properties").c_str());
        } else {
            writeFile("RaidNLS.properties", row.content);
        }
        std::string stamp = port::ctimeText(clock_.now());  // construction waits a second
        stamp.pop_back();
        VelmarLib lib;
        VelmarMonitor monitor(&lib);
        if (filledLater) {
            writeFile("RaidNLS.properties", "agentEventInfNoControllers=No controller.\n");
        }

        std::string expected;
        if (row.homeLine != nullptr) {
            expected += "[" + stamp + "]  " + prefix + path("RaidNLS.properties") + row.homeLine;
            if (!port::libraryDirectory().empty()) {
                expected += "[" + stamp + "]  " + prefix + beside + ") not found.\n";
            }
        }
        EXPECT_EQ(readFile("kvorlogs/TLXVLDebug.log"), expected);
        EXPECT_EQ(monitor.isCatalogUsable(), row.usable);
        EXPECT_TRUE(exists("RaidNLS.properties"));
    }
}

}  // namespace
