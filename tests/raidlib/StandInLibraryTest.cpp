#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "raidlib/raidlib.h"

namespace {

constexpr uint32_t U = Addr::kUnset;

Addr at(uint32_t adapter, uint32_t logical, uint32_t channel, uint32_t device, uint32_t array = U) {
    return Addr(adapter, array, logical, channel, device, Addr::kUnsetChunk, U, U);
}

// The model: controller 0 (Pell) with a SCSI channel 0 (drives 0 and 5, an enclosure 15), a
// SATA channel 1 (drive 0) and logical drives 0 and 1; controller 1 bare.
class StandInLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModelBuilder build(model_);
        adapter_ = build.adapter(0, "S0");
        scsi_ = build.channel(adapter_, 0);
        d0_ = build.drive(scsi_, 0);
        d5_ = build.drive(scsi_, 5);
        enclosure_ = build.enclosure(scsi_, 15, 4, 2);
        sata_ = build.sataChannel(adapter_, 1, 4);
        sataDrive_ = build.drive(sata_, 0);
        ld0_ = build.logicalDrive(adapter_, 0);
        ld1_ = build.pellBasicLogicalDrive(adapter_, 1);
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
    HardDrive *d0_ = nullptr, *d5_ = nullptr, *sataDrive_ = nullptr;
    Enclosure* enclosure_ = nullptr;
    LogicalDrive *ld0_ = nullptr, *ld1_ = nullptr;
};

TEST_F(StandInLibraryTest, AddressesResolveThroughTheTree) {
    EXPECT_EQ(adapter_, d5_->getAdapter());
    EXPECT_EQ(scsi_, d5_->getChannel());
    EXPECT_EQ(nullptr, ld0_->getChannel());
    EXPECT_EQ(U, ld1_->getChannelID());
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

TEST_F(StandInLibraryTest, CopiesAreDeepAndKeepTheirClasses) {
    std::unique_ptr<RaidObject> copy(adapter_->clone());
    ASSERT_TRUE(copy->isInstanceOf("PellAdapter"));
    auto* copiedDrive = static_cast<HardDrive*>(copy->getObject(at(0, U, 0, 5)));
    ASSERT_NE(nullptr, copiedDrive);
    EXPECT_EQ(copy.get(), copiedDrive->getAdapter());
    EXPECT_STREQ("SN0-0-5", copiedDrive->getSerialNumber());
    copiedDrive->setState(PD_STATE_DEFUNCT);
    EXPECT_EQ(PD_STATE_ONLINE, d5_->getState());
    auto* copiedEnclosure = static_cast<Enclosure*>(copy->getObject(at(0, U, 0, 15)));
    ASSERT_NE(nullptr, copiedEnclosure);
    EXPECT_EQ(4, copiedEnclosure->getFanCount());
    EXPECT_TRUE(copy->getObject(at(0, 1, U, U))->isInstanceOf("PellBasicLogicalDrive"));
}

TEST_F(StandInLibraryTest, OwnershipOfChildrenChangesHandsWithoutLeaksOrDoubleDeletes) {
    std::unique_ptr<RaidObject> removed(scsi_->removeChild(d0_));
    ASSERT_EQ(d0_, removed.get());
    EXPECT_EQ(nullptr, removed->getParent());
    EXPECT_EQ(nullptr, scsi_->removeChild(d0_));
    scsi_->addChild(removed.release(), 0);
    EXPECT_EQ(d0_, scsi_->getChild(0));
    // Adding a child of another node moves it.
    sata_->addChild(d5_);
    EXPECT_EQ(sata_, d5_->getParent());
    EXPECT_EQ(2, scsi_->getChildCount());
    // A node deleted directly leaves its parent, which then does not delete it again.
    delete d5_;
    EXPECT_EQ(1, sata_->getChildCount());
    // A node never holds itself or an ancestor (the tree would own itself).
    scsi_->addChild(scsi_);
    d0_->addChild(adapter_);
    EXPECT_EQ(adapter_, scsi_->getParent());
    EXPECT_EQ(0, d0_->getChildCount());
    // Handing an enclosure its own SAF-TE child again keeps that child alive.
    enclosure_->setSafteStatus(enclosure_->getSafteStatus());
    EXPECT_EQ(SAFTE_FAN_OPERATIONAL, enclosure_->getFanStatus(0));
    EXPECT_FALSE(ld1_->isInstanceOf(nullptr));
    // An enclosure without SAF-TE data answers "unknown" instead of reading through null.
    Enclosure bare;
    EXPECT_FALSE(bare.isTempOutOfRange());
    EXPECT_EQ(SAFTE_PS_UNKNOWN, bare.getPowerSupplyStatus(0));
}

// Each new tree is a copy of the model at that moment; the previous one becomes the old tree.
TEST_F(StandInLibraryTest, NewSystemIsACopyAndRotatesCurrentToOld) {
    EXPECT_EQ(nullptr, lib_.getCurrentSystem());
    System* first = lib_.getNewSystem();
    adapter_->setAdapterStatus(CONTROLLER_STATUS_FAILED);
    System* second = lib_.getNewSystem();
    EXPECT_EQ(first, lib_.getOldSystem());
    EXPECT_EQ(second, lib_.getCurrentSystem());
    EXPECT_EQ(CONTROLLER_STATUS_OKAY,
              static_cast<Adapter*>(first->getObject(at(0, U, U, U)))->getAdapterStatus());
    EXPECT_EQ(CONTROLLER_STATUS_FAILED,
              static_cast<Adapter*>(second->getObject(at(0, U, U, U)))->getAdapterStatus());
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
    ModelBuilder(model_).task(ld0_, TASK_TYPE_REBUILD, TASK_STATE_RUNNING, 30);
    System* current = lib_.getNewSystem();
    for (auto state : {PD_STATE_DEFUNCT, PD_STATE_DEFUNCT, PD_STATE_ONLINE, PD_STATE_DEFUNCT}) {
        ASSERT_TRUE(lib_.setDriveState(0, 0, 5, state));  // the second changes nothing
    }
    ASSERT_TRUE(lib_.setLogicalDriveState(0, 0, LD_STATE_CRITICAL));
    ASSERT_TRUE(lib_.setFanStatus(0, 0, 15, 1, SAFTE_FAN_MALFUNCTIONING));
    EXPECT_FALSE(lib_.setDriveState(0, 0, 9, PD_STATE_DEFUNCT));
    ModelBuilder(model_).drive(scsi_, 7);

    // Number, code and object ID of each record.
    std::string log;
    for (const RaidEvent& r : lib_.getEventLog(0)) {
        log += std::to_string(r.getEventNumber()) + ":" + r.get("eventCode") + "@" +
               r.get("deviceID") + r.get("logicalDriveID") + r.get("fanID") + " ";
    }
    EXPECT_EQ(log, "1:401@5 2:403@5 3:401@5 4:301@0 5:504@1 ");
    auto* drive = static_cast<HardDrive*>(current->getObject(at(0, U, 0, 5)));
    EXPECT_EQ(PD_STATE_ONLINE, drive->getState());  // not before the monitor's next call
    ASSERT_EQ(current, lib_.getCurrentSystem());
    EXPECT_EQ(PD_STATE_DEFUNCT, drive->getState());
    EXPECT_EQ(SAFTE_FAN_MALFUNCTIONING,
              static_cast<Enclosure*>(current->getObject(at(0, U, 0, 15)))->getFanStatus(1));
    Addr ld0 = at(0, 0, U, U);
    EXPECT_EQ(current->getObject(ld0), lib_.getCurrentObject(ld0));
    EXPECT_EQ(LD_STATE_CRITICAL, static_cast<LogicalDrive*>(current->getObject(ld0))->getState());
    ProgressCollection tasks, none;
    lib_.getTasks(ld0, tasks);
    lib_.getTasks(at(0, U, 0, 5), none);
    ASSERT_EQ(1, tasks.getProgressCount());
    EXPECT_EQ(0, none.getProgressCount());
    EXPECT_EQ(nullptr, current->getObject(at(0, U, 0, 7)));
    EXPECT_NE(nullptr, lib_.getNewSystem()->getObject(at(0, U, 0, 7)));
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
