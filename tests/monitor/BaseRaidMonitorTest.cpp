// The monitor frame: where its files go, the settings file, the debug log and the report
// timers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "monitor/BaseRaidMonitor.h"
#include "port/Clock.h"
#include "port/DebugMask.h"
#include "raidlib/VelmarLib.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

namespace {

class FrameMonitor : public BaseRaidMonitor {
public:
    using BaseRaidMonitor::BaseRaidMonitor;
    void collectCurrentEvents(int, TLXEventCollection&) override {}
    void run() override {}
    void stop() override {}
    void start() override {}

    using BaseRaidMonitor::logError;
    using BaseRaidMonitor::logEventEntry;
    using BaseRaidMonitor::logLifecycle;
    using BaseRaidMonitor::logTrace;
    TLXEventCollection* queue() { return events.get(); }
    void dropQueue() { events.reset(); }
};

class FrameTest : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        writeSmallCatalog();
        writeFile("TLXConfig.ini", "");
    }

    // The debug line prefix for the fake clock's current time.
    std::string stamp() {
        std::string text = port::ctimeText(clock_.now());
        text.pop_back();
        return "[" + text + "]  ";
    }

    VelmarLib lib;
};

TEST_F(FrameTest, LogPathOfTheHostTakesTheLogsAndNoDirectoryIsMade) {
    fs::create_directory(path("logs"));
    FrameMonitor frame(&lib, "d.log", "e.log", "", path("logs/"));
    EXPECT_EQ(frame.getTLXLogPath(), path("logs/"));
    frame.logDebugMsg("x");
    EXPECT_EQ(readFile("logs/d.log"), stamp() + "x");
    EXPECT_TRUE(exists("logs/e.log"));
    EXPECT_FALSE(exists("kvorlogs"));
}

TEST_F(FrameTest, LogDirectoryCases) {
    {
        // Made beside the module; both logs go into it.
        FrameMonitor frame(&lib, "", "", "");
        EXPECT_EQ(frame.getTLXPath(), home());
        EXPECT_EQ(frame.getLogDirStatus(), 0);
        frame.logDebugMsg("made\n");
        DebugMask::set(DebugMask::kEventLog);
        frame.queue()->writeLogEntry(TLXEvent());
        EXPECT_FALSE(readFile("kvorlogs/TLXEvents.log").empty());
    }
    {
        // Already there: used as it is, and the debug log is appended to.
        FrameMonitor frame(&lib, "", "", "");
        EXPECT_EQ(frame.getLogDirStatus(), 0);
        frame.logDebugMsg("existing\n");
        EXPECT_EQ(readFile("kvorlogs/TLXDebug.log"), stamp() + "made\n" + stamp() + "existing\n");
    }
    fs::remove_all(path("kvorlogs"));
    {
        // A plain file of that name: the directory "exists", the logs cannot be opened.
        writeFile("kvorlogs", "not a directory");
        FrameMonitor frame(&lib, "", "", "");
        EXPECT_EQ(frame.getLogDirStatus(), 0);
        frame.logDebugMsg("dropped");
        frame.queue()->add(TLXEvent());
        EXPECT_EQ(readFile("kvorlogs"), "not a directory");
        EXPECT_FALSE(exists("TLXDebug.log"));
    }
    {
        // Creation fails for another reason: the logs go straight into the module's folder.
        ::setenv("TLXVL_HOME", "/proc/self/", 1);
        FrameMonitor frame(&lib, "", "", "");
        EXPECT_NE(frame.getLogDirStatus(), 0);
        EXPECT_EQ(frame.getTLXPath(), "/proc/self/");
        frame.logDebugMsg("nowhere to go");  // must not crash
    }
}

TEST_F(FrameTest, MissingCatalogAndSettingsAreCreatedEmptyWithErrorLines) {
    fs::remove(path("RaidNLS.properties"));
    fs::remove(path("TLXConfig.ini"));
    FrameMonitor frame(nullptr, "", "", "");
    EXPECT_EQ(frame.getPBrixLib(), nullptr);
    EXPECT_TRUE(exists("RaidNLS.properties"));
    EXPECT_TRUE(exists("TLXConfig.ini"));
    const std::string log = readFile("kvorlogs/TLXDebug.log");
    EXPECT_NE(log.find("ERROR: BaseRaidMonitor::BaseRaidMonitor() NLS File (" +
                       path("RaidNLS.properties") + ") not found. Creating an empty file."),
              std::string::npos);
    EXPECT_NE(log.find("ERROR: BaseRaidMonitor::readConfig() Config File (" +
                       path("TLXConfig.ini") + ") not found. Creating an empty file.\n"),
              std::string::npos);
}

TEST_F(FrameTest, SettingsAreReadWithTheirConversions) {
    writeFile("TLXConfig.ini",
              "# settings\n"
              "tlx.eventQueueSize=500\n"
              "tlx.debugMask=1\n"
              "agent.OSLoggingLevel\t=  3\n"
              "agent.alarm=ON\n");
    FrameMonitor frame(&lib, "", "", "");
    EXPECT_EQ(frame.getEventQueueSize(), 500);
    EXPECT_EQ(frame.queue()->getMaxSize(), 500);
    EXPECT_EQ(frame.getDebugMask(), 1);
    EXPECT_EQ(DebugMask::get(), 0xFF0000u);
    EXPECT_EQ(frame.getEventLogLevel(), 3);
    EXPECT_TRUE(frame.isAlarmEnabled());

    struct AlarmCase {
        const char* value;
        bool on;
    };
    constexpr AlarmCase kAlarms[] = {{"on", true},    {"On", true},   {"ON", true}, {"oN", false},
                                     {"true", false}, {"off", false}, {"", false}};
    for (const AlarmCase& alarm : kAlarms) {
        writeFile("TLXConfig.ini", std::string("agent.alarm=") + alarm.value + "\n");
        frame.readConfig();
        EXPECT_EQ(frame.isAlarmEnabled(), alarm.on) << alarm.value;
    }
    // Keys without values and absent keys read as 0.
    writeFile("TLXConfig.ini", "tlx.eventQueueSize=\n");
    frame.readConfig();
    EXPECT_EQ(frame.getEventQueueSize(), 0);
    EXPECT_EQ(frame.getDebugMask(), 0);
    EXPECT_EQ(frame.getEventLogLevel(), 0);
}

TEST_F(FrameTest, DebugLevelsOpenTheMaskByClass) {
    FrameMonitor frame(&lib, "", "", "");
    EXPECT_EQ(DebugMask::get(), 0xF00000u);
    frame.logTrace("In hidden\n");
    frame.logEventEntry("entry hidden\n");
    frame.logLifecycle("Constructing hidden\n");
    frame.logError("ERROR: shown\n");
    EXPECT_EQ(readFile("kvorlogs/TLXDebug.log"), stamp() + "ERROR: shown\n");

    writeFile("TLXConfig.ini", "tlx.debugMask=2\n");
    frame.readConfig();
    frame.setDebugFlag(static_cast<EnumDebugTLX>(frame.getDebugMask()));
    EXPECT_EQ(DebugMask::get(), 0xFFFFFFu);
    frame.logTrace("In shown\n");
    frame.logLifecycle("Constructing shown\n");
    const std::string log = readFile("kvorlogs/TLXDebug.log");
    EXPECT_NE(log.find("]  In shown\n"), std::string::npos);
    EXPECT_NE(log.find("]  Constructing shown\n"), std::string::npos);

    writeFile("TLXConfig.ini", "tlx.debugMask=7\n");
    frame.readConfig();
    frame.setDebugFlag(static_cast<EnumDebugTLX>(frame.getDebugMask()));
    EXPECT_EQ(DebugMask::get(), 0xFFFFFFu);
    frame.setDebugFlag(TLX_DEBUG_EVENT_LOG);
    EXPECT_EQ(DebugMask::get(), 0xFF0000u);
}

TEST_F(FrameTest, LongDebugLinesAreCutAtTheBuffer) {
    FrameMonitor frame(&lib, "", "", "");
    const std::string message(3000, 'x');
    frame.logDebugMsg("%s", message.c_str());
    const std::string log = readFile("kvorlogs/TLXDebug.log");
    ASSERT_EQ(log.size(), BaseRaidMonitor::kDebugLineSize - 1);
    EXPECT_EQ(log, stamp() + message.substr(0, log.size() - stamp().size()));
}

TEST_F(FrameTest, ReportTimersFireFirstThenOncePerInterval) {
    FrameMonitor frame(&lib, "", "", "");
    // Called in the second of the start time: records 0, so the next call fires again.
    EXPECT_TRUE(frame.isTimeToReportBadStripe());
    EXPECT_TRUE(frame.isTimeToReportBadStripe());

    clock_.advanceSeconds(1);
    EXPECT_TRUE(frame.isTimeToReportBadStripe());
    clock_.advanceSeconds(1);
    EXPECT_FALSE(frame.isTimeToReportBadStripe());
    clock_.advanceSeconds(28800 - 2);
    EXPECT_FALSE(frame.isTimeToReportBadStripe());
    clock_.advanceSeconds(1);
    EXPECT_TRUE(frame.isTimeToReportBadStripe());
    EXPECT_FALSE(frame.isTimeToReportBadStripe());

    struct TimerCase {
        bool (BaseRaidMonitor::*timer)();
        int interval;
    };
    const TimerCase kTimers[] = {
        {&BaseRaidMonitor::isTimeToReportUnsupportedDrives, 2592000},
        {&BaseRaidMonitor::isTimeToReportCriticalLogicalDrives, 28800},
        {&BaseRaidMonitor::isTimeToReportSASDriveMap, 86400},
    };
    for (const TimerCase& timer : kTimers) {
        FrameMonitor fresh(&lib, "", "", "");
        clock_.advanceSeconds(5);
        EXPECT_TRUE((fresh.*timer.timer)());
        clock_.advanceSeconds(timer.interval - 1);
        EXPECT_FALSE((fresh.*timer.timer)()) << timer.interval;
        clock_.advanceSeconds(1);
        EXPECT_TRUE((fresh.*timer.timer)()) << timer.interval;
    }
}

TEST_F(FrameTest, PullInterfaceAndAMissingQueue) {
    FrameMonitor frame(&lib, "", "", "");
    EXPECT_EQ(frame.getEventTypeLevel(), 5);
    EXPECT_TRUE(frame.setEventTypeLevel(TLX_EVENT_WARNING));
    EXPECT_EQ(frame.getEventTypeLevel(), 2);
    for (int code = 1; code <= 3; ++code) {
        frame.queue()->add(TLXEvent(code, TLX_EVENT_ERROR, "text", ""));
    }
    EXPECT_EQ(frame.getNumberOfEvents(), 3u);
    TLXEvent out[5];
    EXPECT_EQ(frame.getEvents(nullptr, 5), 0);
    EXPECT_EQ(frame.getEvents(out, 0), 0);
    EXPECT_EQ(frame.getEvents(-1).size(), 0u);
    EXPECT_EQ(frame.getEvents(out, 2), 2);
    EXPECT_EQ(out[1].getEventCode(), 2);
    EXPECT_EQ(frame.getEvents(out, 5), 1);
    EXPECT_EQ(out[0].getEventCode(), 3);

    frame.dropQueue();
    EXPECT_EQ(frame.getEventTypeLevel(), 4);
    EXPECT_FALSE(frame.setEventTypeLevel(TLX_EVENT_ERROR));
    EXPECT_EQ(frame.getEvents(out, 5), 0);
    EXPECT_TRUE(frame.getEvents(0).empty());
    EXPECT_EQ(frame.getNumberOfEvents(), 0u);
    const std::string log = readFile("kvorlogs/TLXDebug.log");
    EXPECT_NE(log.find("ERROR: BaseRaidMonitor::getEventTypeLevel() EventCollection is NULL!!\n"),
              std::string::npos);
    EXPECT_NE(log.find("ERROR: BaseRaidMonitor::setEventTypeLevel() EventCollection is NULL!!\n"),
              std::string::npos);
}

}  // namespace
