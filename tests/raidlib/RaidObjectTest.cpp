#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "raidlib/raidlib.h"
#include "support/TreeBuilder.h"

namespace {

constexpr uint32_t U = Addr::kUnset;

// Controller 2 (Pell) with a SCSI channel 0 (drives 0 and 5, an enclosure 15), a SATA
// channel 1 (drive 0) and logical drives 0 and 1.
class RaidObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        TreeBuilder build(&system_);
        adapter_ = build.adapter(2, "S2");
        scsi_ = build.channel(adapter_, 0);
        d0_ = build.drive(scsi_, 0);
        d5_ = build.drive(scsi_, 5);
        enclosure_ = build.enclosure(scsi_, 15, 4, 2);
        sata_ = build.sataChannel(adapter_, 1, 4);
        sataDrive_ = build.drive(sata_, 0);
        ld0_ = build.logicalDrive(adapter_, 0);
        ld1_ = build.pellBasicLogicalDrive(adapter_, 1);
    }

    static std::vector<RaidObject*> filtered(RaidObject* root, const char* type, bool exact) {
        std::unique_ptr<FilterCollection> filter(new FilterCollection(root));
        FilterCollection* narrowed = filter->apply(type, exact);
        EXPECT_EQ(filter.get(), narrowed);
        std::vector<RaidObject*> out;
        for (int i = 0; i < narrowed->size(); ++i) {
            out.push_back(narrowed->elementAt(i));
        }
        EXPECT_EQ(nullptr, narrowed->elementAt(narrowed->size()));
        return out;
    }

    System system_;
    Adapter* adapter_ = nullptr;
    Channel* scsi_ = nullptr;
    SATAChannel* sata_ = nullptr;
    HardDrive* d0_ = nullptr;
    HardDrive* d5_ = nullptr;
    HardDrive* sataDrive_ = nullptr;
    Enclosure* enclosure_ = nullptr;
    LogicalDrive* ld0_ = nullptr;
    LogicalDrive* ld1_ = nullptr;
};

TEST_F(RaidObjectTest, ChildrenTakeTheirParentsIdsAndFollowLinksUp) {
    EXPECT_EQ(2u, d5_->getAdapterID());
    EXPECT_EQ(0u, d5_->getChannelID());
    EXPECT_EQ(1u, sataDrive_->getChannelID());
    EXPECT_EQ(2u, ld1_->getAdapterID());
    EXPECT_EQ(U, ld1_->getChannelID());
    EXPECT_EQ(adapter_, d5_->getAdapter());
    EXPECT_EQ(scsi_, d5_->getChannel());
    EXPECT_EQ(nullptr, ld0_->getChannel());
    EXPECT_EQ(nullptr, adapter_->getAdapter());
    EXPECT_EQ(scsi_, d5_->getParent());

    // An object built outside a tree answers from the links it was given.
    HardDrive loose(adapter_, sata_);
    EXPECT_EQ(2u, loose.getAdapterID());
    EXPECT_EQ(1u, loose.getChannelID());
}

TEST_F(RaidObjectTest, DescendantsOfATypeComeInTreeOrder) {
    const std::vector<RaidObject*> drives = {d0_, d5_, sataDrive_};
    EXPECT_EQ(drives, filtered(&system_, "HardDrive", false));

    std::vector<RaidObject*> listed;
    adapter_->getChildren(listed, "HardDrive", true, true);
    EXPECT_EQ(drives, listed);

    const std::vector<RaidObject*> channels = {scsi_, sata_};
    EXPECT_EQ(channels, filtered(&system_, "Channel", false));
    EXPECT_EQ(std::vector<RaidObject*>{sata_}, filtered(&system_, "SATAChannel", true));
    EXPECT_EQ(std::vector<RaidObject*>{adapter_}, filtered(&system_, "Adapter", false));
    EXPECT_EQ((std::vector<RaidObject*>{ld0_, ld1_}), filtered(adapter_, "LogicalDrive", false));

    // Without recursion only direct children are listed.
    listed.clear();
    adapter_->getChildren(listed, "HardDrive", false, true);
    EXPECT_TRUE(listed.empty());
    // Logical drives grouped in a configuration are found below it.
    auto* config = new Config();
    adapter_->addChild(config);
    TreeBuilder(&system_).logicalDrive(adapter_, 7);
    auto* grouped = new LogicalDrive();
    grouped->setLogicalDriveID(9);
    config->addChild(grouped);
    EXPECT_EQ(4u, filtered(adapter_, "LogicalDrive", false).size());
    EXPECT_EQ(2u, grouped->getAdapterID());
}

TEST_F(RaidObjectTest, GetObjectFindsTheObjectAtAnAddress) {
    EXPECT_EQ(d5_, adapter_->getObject(2, U, U, 0, 5));
    EXPECT_EQ(sataDrive_, adapter_->getObject(2, U, U, 1, 0));
    EXPECT_EQ(enclosure_, system_.getObject(2, U, U, 0, 15));
    EXPECT_EQ(scsi_, adapter_->getObject(2, U, U, 0, U));
    EXPECT_EQ(adapter_, system_.getObject(2, U, U, U, U));
    EXPECT_EQ(ld1_, adapter_->getObject(2, U, 1, U, U));
    // A drive asked for without its channel is found by device ID alone.
    EXPECT_EQ(d5_, adapter_->getObject(2, U, U, U, 5));
    // Logical drives are named without their array.
    ld0_->setArrayID(3);
    EXPECT_EQ(ld0_, adapter_->getObject(2, U, 0, U, U));
    EXPECT_EQ(ld0_, adapter_->getObject(Addr(2, 3, 0, U, U, Addr::kUnsetChunk, U, U)));

    EXPECT_EQ(nullptr, adapter_->getObject(2, U, U, 0, 6));
    EXPECT_EQ(nullptr, adapter_->getObject(1, U, U, 0, 5));
    EXPECT_EQ(nullptr, adapter_->getObject(2, U, 4, U, U));
}

TEST_F(RaidObjectTest, CopiesAreDeepAndKeepTheirClasses) {
    std::unique_ptr<RaidObject> copy(adapter_->clone());
    ASSERT_TRUE(copy->isInstanceOf("PellAdapter"));
    auto* copiedDrive = static_cast<HardDrive*>(copy->getObject(2, U, U, 0, 5));
    ASSERT_NE(nullptr, copiedDrive);
    EXPECT_NE(d5_, copiedDrive);
    EXPECT_EQ(copy.get(), copiedDrive->getAdapter());
    EXPECT_STREQ("SN2-0-5", copiedDrive->getSerialNumber());
    EXPECT_EQ(nullptr, copy->getParent());

    copiedDrive->setState(PD_STATE_DEFUNCT);
    EXPECT_EQ(PD_STATE_ONLINE, d5_->getState());

    auto* copiedEnclosure = static_cast<Enclosure*>(copy->getObject(2, U, U, 0, 15));
    ASSERT_NE(nullptr, copiedEnclosure);
    EXPECT_NE(enclosure_->getSafteStatus(), copiedEnclosure->getSafteStatus());
    EXPECT_EQ(4, copiedEnclosure->getFanCount());
    EXPECT_TRUE(copy->getObject(2, U, 1, U, U)->isInstanceOf("PellBasicLogicalDrive"));

    // Assignment replaces the children with copies of the other's.
    Channel assigned;
    TreeBuilder(&system_).drive(&assigned, 3);
    assigned = *scsi_;
    EXPECT_EQ(3, assigned.getChildCount());
    EXPECT_EQ(nullptr, assigned.getObject(2, U, U, 0, 3));
}

TEST_F(RaidObjectTest, OwnershipOfChildrenChangesHandsWithoutLeaksOrDoubleDeletes) {
    std::unique_ptr<RaidObject> removed(scsi_->removeChild(d0_));
    ASSERT_EQ(d0_, removed.get());
    EXPECT_EQ(nullptr, removed->getParent());
    EXPECT_EQ(nullptr, scsi_->removeChild(d0_));
    EXPECT_EQ(2, scsi_->getChildCount());
    EXPECT_EQ(nullptr, scsi_->getChild(2));
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

    scsi_->deleteAllChildren();
    EXPECT_EQ(0, scsi_->getChildCount());
}

TEST_F(RaidObjectTest, EnclosureAnswersFromItsSafteData) {
    enclosure_->getSafteStatus()->setFanStatus(2, SAFTE_FAN_MALFUNCTIONING);
    EXPECT_EQ(SAFTE_FAN_MALFUNCTIONING, enclosure_->getFanStatus(2));
    EXPECT_EQ(SAFTE_FAN_OPERATIONAL, enclosure_->getFanStatus(3));
    EXPECT_EQ(SAFTE_FAN_UNKNOWN, enclosure_->getFanStatus(4));
    EXPECT_EQ(SAFTE_FAN_UNKNOWN, enclosure_->getFanStatus(32));
    EXPECT_EQ(SAFTE_FAN_UNKNOWN, enclosure_->getFanStatus(-1));
    EXPECT_EQ(SAFTE_PS_OPERATIONAL_ON, enclosure_->getPowerSupplyStatus(1));
    EXPECT_FALSE(enclosure_->isTempOutOfRange());
    enclosure_->getSafteStatus()->setTempFlags2(0x01);
    EXPECT_TRUE(enclosure_->isTempOutOfRange());

    EXPECT_EQ(U, enclosure_->getSlotNumberFromDeviceID(5));
    enclosure_->setSlotNumberForDeviceID(5, 3);
    EXPECT_EQ(3u, enclosure_->getSlotNumberFromDeviceID(5));

    Enclosure bare;
    EXPECT_EQ(0, bare.getFanCount());
    EXPECT_EQ(SAFTE_PS_UNKNOWN, bare.getPowerSupplyStatus(0));
    EXPECT_FALSE(bare.isTempOutOfRange());
}

TEST_F(RaidObjectTest, ControllerTaskFallsBackToItsLogicalDrives) {
    Progress task;
    EXPECT_EQ(0, adapter_->getProgress(task).getReturnCode());
    EXPECT_EQ(TASK_TYPE_NONE, task.getType());

    TreeBuilder::task(ld1_, TASK_TYPE_REBUILD, TASK_STATE_RUNNING, 40);
    adapter_->getProgress(task);
    EXPECT_EQ(TASK_TYPE_REBUILD, task.getType());
    EXPECT_EQ(40u, task.getPercent());
    EXPECT_EQ(1u, task.getLogicalDrive());
    EXPECT_EQ(1u, task.getDeviceAddr().getLogicalDriveID());
    EXPECT_EQ(2u, task.getDeviceAddr().getAdapterID());

    adapter_->setProgress(Progress(TASK_TYPE_SYNC, TASK_STATE_RUNNING, 10, 0));
    adapter_->setProgressReturnCode(5);
    EXPECT_EQ(5, adapter_->getProgress(task).getReturnCode());
    EXPECT_EQ(TASK_TYPE_SYNC, task.getType());
}

}  // namespace
