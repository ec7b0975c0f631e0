// Controller event records through the poll loop: the stand-in library logs the record of
// each model change, and the monitor raises its event at the next poll. The loop runs on the
// test's thread under the fake clock; the test acts inside the loop's waits.
#include <gtest/gtest.h>

#include <algorithm>

#include "TranslationTestSupport.h"

namespace {

using Events = std::vector<std::string>;

// Runs the loop for `polls` polls; act(n) runs in the wait after poll n (from 1). Returns
// the events taken after each poll (the first entry holds the start-of-run events too).
std::vector<Events> runPolls(HookedClock& clock, VelmarMonitor& monitor, size_t polls,
                             const std::function<void(size_t)>& act) {
    std::vector<Events> taken;
    clock.onWait = [&] {
        taken.emplace_back();
        for (const TLXEvent& event : monitor.getEvents(0)) {
            taken.back().push_back(summary(event));
        }
        act(taken.size());
        if (taken.size() == polls) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;
    return taken;
}

TEST_F(TranslationTest, RecordsLoggedBetweenPollsBecomeTheirEventsOnceInOrder) {
    const auto polls = runPolls(clock, *monitor, 4, [&](size_t poll) {
        if (poll != 1) {
            return;
        }
        lib.setPfaError(0, 1, 3, true);
        lib.setFanStatus(0, 1, 7, 1, SAFTE_FAN_MALFUNCTIONING);
        lib.setPowerSupplyStatus(0, 1, 7, 0, SAFTE_PS_MALFUNCTIONING_ON);
        lib.setTemperatureOutOfRange(0, 1, 7, true);
        lib.setBatteryStatus(0, BATTERY_STATUS_LOW);
        lib.setAdapterStatus(0, CONTROLLER_STATUS_DEGRADED);
        lib.startTask(0, 0, TASK_TYPE_SYNC);
        lib.setTaskProgress(0, 0, 50);
        lib.endTask(0, 0, TASK_STATE_COMPLETED);
        lib.setLogicalDriveState(0, 1, LD_STATE_CRITICAL);
        lib.setDriveState(0, 1, 0, PD_STATE_DEFUNCT);
        auto* added = new LogicalDrive();
        added->setLogicalDriveID(4);
        lib.addLogicalDrive(3, added);
        lib.deleteLogicalDrive(3, 1);
    });
    ASSERT_EQ(polls.size(), 4u);
    EXPECT_EQ(
        polls[1],
        (Events{
            "402 t2 o5 A0C1D3 hd=SN0-1-3 ser=A0 | agentEventWrnPFADrive(drv(C1,2,3),,fru())",
            "504 t1 o7 A0C1 fan1 fru=EFRU-7 ser=A0 | agentEventErrFanFail(2,ch(C1,2))",
            "510 t1 o8 A0C1 ps0 fru=EFRU-7 ser=A0 | agentEventErrPowerFail(1,ch(C1,2))",
            "508 t1 o2 A0C1 ser=A0 | agentEventErrTempFail(ch(C1,2))",
            "214 t2 o2 A0 ser=A0 | agentEventWrnBatteryLow(ctl(C1))",
            "299 t3 o2 A0 ser=A0 | agentEventInfControllerStateChange(ctl(C1))",
            "307 t3 o4 A0L0 lun0 ser=A0 | agentEventInfSyncDetected(ld(C1,1))",
            "308 t3 o4 A0L0 lun0 ser=A0 | agentEventInfSyncComplete(ld(C1,1))",
            "301 t2 o4 A0L1 lun1 ser=A0 | agentEventWrnLogicalCritical(ld(C1,2))",
            "401 t1 o5 A0C1D0 hd=SN0-1-0 ser=A0 | agentEventErrDefunctDrive(drv(C1,2,0),,fru())",
            // The run's tree predates logical drive 4, so its size and RAID texts are not known.
            "346 t3 o4 A3L4 lun4 ser=A3 | agentEventInfAddLogDrive(ld(C4,5),,,)",
            "347 t3 o4 A3L1 lun1 ser=A3 | agentEventInfDeleteLogDrive(ld(C4,2))"}));
    EXPECT_EQ(polls[2], Events{});
    EXPECT_EQ(polls[3], Events{});
}

TEST_F(TranslationTest, ATaskStartReportedAtTheStartOfTheRunIsDroppedOnce) {
    lib.setTask(0, 0, TASK_TYPE_REBUILD, TASK_STATE_RUNNING, 10);
    const auto polls = runPolls(clock, *monitor, 3, [&](size_t poll) {
        if (poll <= 2) {
            lib.startTask(0, 0, TASK_TYPE_REBUILD);  // the controller's record of the start
        }
    });
    ASSERT_EQ(polls.size(), 3u);
    EXPECT_EQ(std::count_if(polls[0].begin(), polls[0].end(),
                            [](const std::string& e) { return e.rfind("304 ", 0) == 0; }),
              1);  // reported by the start-of-run task check
    EXPECT_EQ(polls[1], Events{});
    EXPECT_EQ(polls[2],
              Events{"304 t3 o4 A0L0 lun0 ser=A0 | agentEventInfRebuildDetected(ld(C1,1))"});
}

TEST_F(TranslationTest, MalformedTextOfOneControllerDoesNotStopTheNextOnesEvents) {
    bool malformed = false;
    lib.rewrite = [&](uint32_t adapterID, const std::string& text) {
        const bool now = adapterID == 0 && malformed;
        malformed = malformed && !now;
        return !now ? text
                    : "<RaidEvent eventNumber='1' eventCode='207' eventType='1' adapterID='0'/>"
                      "<RaidEvent eventNumber='2' eventCode='301' adapterID=0/>";
    };
    const auto polls = runPolls(clock, *monitor, 2, [&](size_t poll) {
        malformed = poll == 1;
        lib.setBatteryStatus(3, BATTERY_STATUS_LOW);
    });
    ASSERT_EQ(polls.size(), 2u);
    EXPECT_EQ(polls[1], (Events{"207 t3 o2 A0 ser=A0 | agentEventInfControllerAdded(ctl(C1))",
                                "214 t2 o2 A3 ser=A3 | agentEventWrnBatteryLow(ctl(C4))"}));
    EXPECT_NE(debugLog().find("]  ERROR: Malformed event text of controller 0: character '0' at "
                              "offset 125\n"),
              std::string::npos);
}

}  // namespace
