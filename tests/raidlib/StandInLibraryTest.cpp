#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "raidlib/raidlib.h"

namespace {

constexpr uint32_t U = Addr::kUnset;

Addr at(uint32_t adapter, uint32_t logical, uint32_t channel, uint32_t device, uint32_t array = U) {
    return Addr(adapter, array, logical, channel, device, Addr::kUnsetChunk, U, U);
}

// Controller 0's records: "code/class" then the first letter and value of each ID named.
std::string logged(const VelmarLib& lib) {
    std::string text;
    for (const RaidEvent& r : lib.getEventLog(0)) {
        text += (text.empty() ? "" : " ") + r.get("eventCode") + "/" + r.get("eventType");
        for (const char* name : {"FRU", "adapterID", "channelID", "deviceID", "logicalDriveID",
                                 "fanID", "powerSupplyID"}) {
            text += r.get(name).empty() ? "" : " " + (name[0] + r.get(name));
        }
    }
    return text;
}

// The model: controller 0 (Pell) with a SCSI channel 0 (drives 0 and 5, an enclosure 15), a
// SATA channel 1 (drive 0) and logical drives 0 and 1; controller 1 bare.
class StandInLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModelBuilder build(model_);
        adapter_ = build.adapter(0, "S0");
        scsi_ = build.channel(adapter_, 0);
        build.drive(scsi_, 0);
        d5_ = build.drive(scsi_, 5);
        enclosure_ = build.enclosure(scsi_, 15, 4, 2);
        sata_ = build.sataChannel(adapter_, 1, 4);
        sataDrive_ = build.drive(sata_, 0);
        ld0_ = build.logicalDrive(adapter_, 0);
        build.pellBasicLogicalDrive(adapter_, 1);
        build.adapter(1, "S1");
    }

    // The records of a controller from number `from` on, as the poll loop receives them.
    std::string events(uint32_t id, unsigned long from) {
        char* text = static_cast<char*>(std::malloc(1));  // the loop's block from the last call
        EXPECT_EQ(0, lib_.getEvents(at(id, U, U, U), from, &text).getReturnCode());
        const std::string out = text != nullptr ? text : "(null)";
        std::free(text);
        return out;
    }

    VelmarLib lib_;
    System* model_ = lib_.getHardwareModel();
    Adapter* adapter_ = nullptr;
    Channel* scsi_ = nullptr;
    SATAChannel* sata_ = nullptr;
    HardDrive *d5_ = nullptr, *sataDrive_ = nullptr;
    Enclosure* enclosure_ = nullptr;
    LogicalDrive* ld0_ = nullptr;
};

TEST_F(StandInLibraryTest, AddressesResolveThroughTheTree) {
    // An object built outside a tree answers from the links it was given.
    EXPECT_EQ(at(0, U, 1, U), HardDrive(adapter_, sata_).getAddr());

    // getObject: array and channel match anything when not given, the other IDs exactly.
    ld0_->setArrayID(3);
    const std::pair<Addr, RaidObject*> rows[] = {
        {at(0, U, 1, 0), sataDrive_}, {at(0, U, U, 5), d5_},    {at(0, U, 0, U), scsi_},
        {at(0, U, U, U), adapter_},   {at(0, 0, U, U), ld0_},   {at(0, 0, U, U, 3), ld0_},
        {at(0, U, 0, 6), nullptr},    {at(1, U, 0, 5), nullptr}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.second, model_->getObject(row.first)) << "row " << &row - rows;
    }
}

// A child added to another node moves there; an enclosure handed its own SAF-TE child again
// keeps it alive; one without SAF-TE data answers "unknown" instead of reading through null.
TEST_F(StandInLibraryTest, OwnershipOfChildrenChangesHandsWithoutLeaksOrDoubleDeletes) {
    sata_->addChild(d5_);
    EXPECT_EQ(sata_, d5_->getParent());
    EXPECT_EQ(2, scsi_->getChildCount());
    delete d5_;  // leaves its parent, which then does not delete it again
    EXPECT_EQ(1, sata_->getChildCount());
    enclosure_->setSafteStatus(enclosure_->getSafteStatus());
    EXPECT_EQ(SAFTE_FAN_OPERATIONAL, enclosure_->getFanStatus(0));
    Enclosure bare;
    EXPECT_FALSE(bare.isTempOutOfRange());
    EXPECT_EQ(SAFTE_PS_UNKNOWN, bare.getPowerSupplyStatus(0));
}

// Each controller numbers its records from 1; getEvents returns those from a number on that
// were logged at or after the run's start time, or releases the block when there are none.
TEST_F(StandInLibraryTest, RecordsAreNumberedPerControllerAndFilteredByNumberAndTime) {
    int64_t now = 1000;
    lib_.setClock([&now] { return now; });
    EXPECT_EQ(1u, lib_.appendEvent(0, RaidEvent(401, 4).set("FRU", "A\"<&")));  // at 1000
    now = 1005;
    lib_.appendEvent(0, RaidEvent(403, 1));
    EXPECT_EQ(1u, lib_.appendEvent(1, RaidEvent(215, 2)));
    const std::string second = "<RaidEvent eventNumber=\"2\" eventType=\"1\" eventCode=\"403\"/>\n";
    EXPECT_EQ(events(0, 1),
              "<RaidEvent eventNumber=\"1\" eventType=\"4\" eventCode=\"401\" "
              "FRU=\"A&quot;&lt;&amp;\"/>\n" +
                  second);
    EXPECT_EQ(events(0, 3), "(null)");
    EXPECT_EQ(events(1, 1), "<RaidEvent eventNumber=\"1\" eventType=\"2\" eventCode=\"215\"/>\n");
    EXPECT_EQ(events(5, 1), "(null)");
    lib_.SetTLXStartTime(1005);
    EXPECT_EQ(events(0, 1), second);
}

// A change helper logs the controller's record and changes the model; a change made while a
// monitor holds the current tree reaches that tree at its next library call (so the snapshot
// it writes shows the change); an added object waits for the next tree.
TEST_F(StandInLibraryTest, ModelChangesLogTheirRecordAndReachTheCurrentTree) {
    EXPECT_EQ(nullptr, lib_.getCurrentSystem());
    System* current = lib_.getNewSystem();
    ASSERT_TRUE(lib_.setDriveState(0, 0, 5, PD_STATE_DEFUNCT));
    ASSERT_TRUE(lib_.setLogicalDriveState(0, 0, LD_STATE_CRITICAL));
    ASSERT_TRUE(lib_.setFanStatus(0, 0, 15, 1, SAFTE_FAN_MALFUNCTIONING));
    EXPECT_FALSE(lib_.setDriveState(0, 0, 9, PD_STATE_DEFUNCT));
    ModelBuilder(model_).drive(scsi_, 7);

    EXPECT_EQ(logged(lib_), "401/4 a0 c0 d5 301/2 a0 l0 504/4 a0 c0 f1");
    auto* drive = static_cast<HardDrive*>(current->getObject(at(0, U, 0, 5)));
    EXPECT_EQ(PD_STATE_ONLINE, drive->getState());  // not before the monitor's next call
    ASSERT_EQ(current, lib_.getCurrentSystem());
    EXPECT_EQ(PD_STATE_DEFUNCT, drive->getState());
    EXPECT_EQ(SAFTE_FAN_MALFUNCTIONING,
              static_cast<Enclosure*>(current->getObject(at(0, U, 0, 15)))->getFanStatus(1));
    Addr ld0 = at(0, 0, U, U);
    EXPECT_EQ(current->getObject(ld0), lib_.getCurrentObject(ld0));
    EXPECT_EQ(LD_STATE_CRITICAL, static_cast<LogicalDrive*>(current->getObject(ld0))->getState());
    EXPECT_EQ(nullptr, current->getObject(at(0, U, 0, 7)));
    System* next = lib_.getNewSystem();
    EXPECT_NE(nullptr, next->getObject(at(0, U, 0, 7)));
    EXPECT_TRUE(next->getObject(at(0, 1, U, U))->isInstanceOf("PellBasicLogicalDrive"));
    EXPECT_EQ(current, lib_.getOldSystem());  // the previous tree stays alive as the old one
}

// Every rule of the records a controller logs for a change: each row changes one attribute
// of a fresh model from `before` to `after` and names the record logged ("" for none).
TEST(ModelChangeRecords, EachChangeLogsItsControllersRecord) {
    using A = EnumModelAttribute;
    // clang-format off
    struct Row { A attribute; int before, after; const char *fru, *record; };  // code/class, IDs
    const Row kRows[] = {
        {A::DriveState, PD_STATE_ONLINE, PD_STATE_DEFUNCT, "", "401/4 a0 c0 d5"},
        {A::DriveState, PD_STATE_READY, PD_STATE_DEFUNCT, "77", "404/4 F77 a0 c0 d5"},
        {A::DriveState, PD_STATE_DEFUNCT, PD_STATE_REBUILDING, "77", "403/1 a0 c0 d5"},
        {A::DriveState, PD_STATE_DEFUNCT, PD_STATE_DEFUNCT, "", ""},
        {A::DriveState, PD_STATE_ONLINE, PD_STATE_HOT_SPARE, "", ""},
        {A::PfaError, 0, 1, "", "402/2 a0 c0 d5"}, {A::PfaError, 0, 1, "77", "405/2 F77 a0 c0 d5"},
        {A::PfaError, 1, 0, "77", ""}, {A::DrivePresent, 1, 0, "77", "408/1 a0 c0 d5"},
        {A::LogicalDriveState, LD_STATE_OKAY, LD_STATE_OFFLINE, "", "303/4 a0 l0"},
        {A::LogicalDriveState, LD_STATE_CRITICAL, LD_STATE_OFFLINE, "", "303/4 a0 l0"},
        {A::LogicalDriveState, LD_STATE_OKAY, LD_STATE_CRITICAL_HIDDEN, "", "301/2 a0 l0"},
        {A::LogicalDriveState, LD_STATE_CRITICAL, LD_STATE_DEGRADED, "", ""},
        {A::LogicalDriveState, LD_STATE_DEGRADED, LD_STATE_OKAY, "", "345/1 a0 l0"},
        {A::LogicalDriveState, LD_STATE_OKAY, LD_STATE_RECOVERING, "", ""},
        {A::LogicalDrivePresent, 1, 0, "", "347/1 a0 l0"}, {A::LogicalDrivePresent, 0, 1, "", "346/1 a0 l1"},
        {A::FanStatus, SAFTE_FAN_OPERATIONAL, SAFTE_FAN_MALFUNCTIONING, "", "504/4 a0 c0 f1"},
        {A::FanStatus, SAFTE_FAN_NOT_INSTALLED, SAFTE_FAN_MALFUNCTIONING, "", "504/4 a0 c0 f1"},
        {A::FanStatus, SAFTE_FAN_MALFUNCTIONING, SAFTE_FAN_NOT_INSTALLED, "", "506/2 a0 c0 f1"},
        {A::FanStatus, SAFTE_FAN_MALFUNCTIONING, SAFTE_FAN_OPERATIONAL, "", "503/1 a0 c0 f1"},
        {A::FanStatus, SAFTE_FAN_NOT_INSTALLED, SAFTE_FAN_OPERATIONAL, "", "503/1 a0 c0 f1"},
        {A::FanStatus, SAFTE_FAN_UNKNOWN, SAFTE_FAN_OPERATIONAL, "", ""},
        {A::PowerSupplyStatus, SAFTE_PS_OPERATIONAL_ON, SAFTE_PS_MALFUNCTIONING_OFF, "", "510/4 a0 c0 p1"},
        {A::PowerSupplyStatus, SAFTE_PS_MALFUNCTIONING_ON, SAFTE_PS_MALFUNCTIONING_OFF, "", ""},
        {A::PowerSupplyStatus, SAFTE_PS_MALFUNCTIONING_ON, SAFTE_PS_NOT_PRESENT, "", "512/2 a0 c0 p1"},
        {A::PowerSupplyStatus, SAFTE_PS_MALFUNCTIONING_ON, SAFTE_PS_PRESENT, "", "509/1 a0 c0 p1"},
        {A::PowerSupplyStatus, SAFTE_PS_NOT_PRESENT, SAFTE_PS_OPERATIONAL_OFF, "", "511/1 a0 c0 p1"},
        {A::PowerSupplyStatus, SAFTE_PS_OPERATIONAL_ON, SAFTE_PS_OPERATIONAL_OFF, "", ""},
        {A::EnclosureTemperature, 0, 1, "", "508/4 a0 c0"}, {A::EnclosureTemperature, 1, 0, "", "507/1 a0 c0"},
        {A::EnclosurePresent, 1, 0, "", "502/4 a0 c0"},
        {A::BatteryStatus, BATTERY_STATUS_OK, BATTERY_STATUS_NEW, "", "203/4 a0"},
        {A::BatteryStatus, BATTERY_STATUS_OK, BATTERY_STATUS_LOW, "", "214/2 a0"},
        {A::BatteryStatus, BATTERY_STATUS_LOW, BATTERY_STATUS_FULLY_CHARGED, "", "217/1 a0"},
        {A::BatteryStatus, BATTERY_STATUS_OK, BATTERY_STATUS_FULLY_CHARGED, "", ""},
        {A::BatteryStatus, BATTERY_STATUS_OK, BATTERY_STATUS_CHARGING, "", ""},
        {A::BatteryTempWarning, 0, 1, "", "211/2 a0"}, {A::BatteryTempWarning, 1, 0, "", "216/1 a0"},
        {A::AdapterStatus, CONTROLLER_STATUS_OKAY, CONTROLLER_STATUS_FAILED, "", "202/4 a0"},
        {A::AdapterStatus, CONTROLLER_STATUS_FAILED, CONTROLLER_STATUS_DEGRADED, "", "299/1 a0"},
        {A::AdapterStatus, CONTROLLER_STATUS_FAILED, CONTROLLER_STATUS_FAILED, "", ""},
    };
    // clang-format on
    for (const Row& row : kRows) {
        VelmarLib lib;
        ModelBuilder build(lib.getHardwareModel());
        Adapter* adapter = build.adapter(0);
        Channel* channel = build.channel(adapter, 0);
        HardDrive* drive = build.drive(channel, 5);
        build.fru(drive, row.fru);
        RaidObject* objects[] = {drive, build.enclosure(channel, 15),
                                 build.logicalDrive(adapter, 0), adapter};
        if (row.attribute == A::LogicalDrivePresent && row.after == 1) {
            ModelBuilder(lib).add(adapter, build.logicalDrive(nullptr, 1));
        } else {  // the first object with the attribute, given its value before
            auto* object = std::find_if(std::begin(objects), std::end(objects), [&](auto* o) {
                return VelmarLib::setAttribute(*o, row.attribute, 1, row.before);
            });
            ASSERT_NE(object, std::end(objects)) << row.record;
            EXPECT_TRUE(lib.changeAttribute(row.attribute, (*object)->getAddr(), 1, row.after));
        }
        EXPECT_EQ(logged(lib), row.record)
            << static_cast<int>(row.attribute) << ": " << row.before << " -> " << row.after;
    }
}

// A task's start and end records by its type and the state it ends in.
TEST(ModelChangeRecords, ATaskLogsItsStartAndEnd) {
    const std::tuple<EnumTaskType, EnumTaskState, const char*> kRows[] = {
        {TASK_TYPE_REBUILD, TASK_STATE_STOPPED, "304/1 a0 l2 349/1 a0 l2"},
        {TASK_TYPE_MIGRATION, TASK_STATE_STOPPED, "310/1 a0 l2"},
        {TASK_TYPE_COPY_BACK, TASK_STATE_COMPLETED, "340/1 a0 l2 339/1 a0 l2"},
        {TASK_TYPE_QUICK_INIT, TASK_STATE_FAILED, "342/1 a0 l2 344/4 a0 l2"},
        {TASK_TYPE_SYNC_NO_FIX, TASK_STATE_PAUSED, "307/1 a0 l2"},
        {TASK_TYPE_MEDIA_SCAN, TASK_STATE_COMPLETED, ""},  // no codes: no task started
    };
    for (const auto& [type, end, records] : kRows) {
        VelmarLib lib;
        ModelBuilder build(lib.getHardwareModel());
        build.logicalDrive(build.adapter(0), 2);
        const bool started = lib.startTask(0, 2, type);
        EXPECT_EQ(started, lib.endTask(0, 2, end)) << records;
        EXPECT_EQ(logged(lib), records);
    }
}

// A replacement takes the old object's place among its siblings; a WWN is 16 hex digits.
TEST(ModelBuilderTest, ReplacementsKeepTheirPlaceAndWWNsAreHex) {
    System system;
    ModelBuilder build(&system);
    Channel* channel = build.channel(build.adapter(0, "S0"), 0);
    HardDrive* d0 = build.drive(channel, 0);
    Enclosure* enclosure = build.enclosure(channel, 15, 3);
    HardDrive* fresh = build.replace(d0, build.drive(channel, 0));
    EXPECT_EQ(nullptr, build.replace(&system, new HardDrive()));  // no parent
    EXPECT_EQ(fresh, channel->getChild(0));
    EXPECT_EQ(enclosure, channel->getChild(1));
    EXPECT_FALSE(build.wwn(fresh, "5000C5001234567G"));
    EXPECT_TRUE(build.wwn(fresh, "5000C50012345670"));
    EXPECT_EQ(0x00C50050u, fresh->getWWN0());
    EXPECT_EQ(0x70563412u, fresh->getWWN1());
}

// A host thread changes the model (logging a record each time) while the monitor's thread
// copies trees and reads records; ThreadSanitizer reports a copy that is not locked out.
TEST_F(StandInLibraryTest, AHostMayChangeTheModelWhileAMonitorPolls) {
    std::thread host([this] {
        for (int i = 0; i < 200; ++i) {
            lib_.setDriveState(0, 0, 5, i % 2 == 0 ? PD_STATE_DEFUNCT : PD_STATE_ONLINE);
        }
    });
    char* text = nullptr;
    ProgressCollection tasks;
    for (int i = 0; i < 200; ++i) {
        EXPECT_NE(nullptr, lib_.getNewSystem());
        lib_.getEvents(at(0, U, U, U), 1, &text);
        lib_.getTasks(at(0, 0, U, U), tasks);
        EXPECT_NE(nullptr, lib_.getCurrentSystem());
    }
    host.join();
    std::free(text);
    EXPECT_EQ(200u, lib_.getEventLog(0).size());
}

}  // namespace
