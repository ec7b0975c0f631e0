// The snapshot file as the builder writes it (exact bytes of a small tree) and as it reads
// back: every attribute of the format survives copying, writing and rebuilding.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "snapshot/SnapshotTrees.h"
#include "snapshot/TLXAdapter.h"
#include "snapshot/TLXChannel.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXEnclosure.h"
#include "snapshot/TLXHardDrive.h"
#include "snapshot/TLXLogicalDrive.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"
#include "support/TestHome.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

template <typename T>
T* childAs(const RaidObject* parent, int index) {
    T* child = parent != nullptr ? dynamic_cast<T*>(parent->getChild(index)) : nullptr;
    EXPECT_NE(child, nullptr) << "child " << index << " of " << parent->serializedName();
    return child;
}

void expectSameDevice(const PhysicalDevice& live, const PhysicalDevice& stored) {
    EXPECT_EQ(stored.getAdapterID(), live.getAdapterID());
    EXPECT_EQ(stored.getChannelID(), live.getChannelID());
    EXPECT_EQ(stored.getDeviceID(), live.getDeviceID());
    EXPECT_EQ(stored.getDeviceType(), live.getDeviceType());
    EXPECT_STREQ(stored.getVendor(), live.getVendor());
    EXPECT_STREQ(stored.getModel(), live.getModel());
    EXPECT_STREQ(stored.getSerialNumber(), live.getSerialNumber());
    EXPECT_STREQ(stored.getFirmwareLevel(), live.getFirmwareLevel());
    EXPECT_STREQ(stored.getFruNumber(), live.getFruNumber());
    EXPECT_STREQ(stored.getWWN(), live.getWWN());
    EXPECT_EQ(stored.getState(), live.getState());
    EXPECT_EQ(stored.getInterfaceType(), live.getInterfaceType());
    EXPECT_EQ(stored.getWWN0(), live.getWWN0());
    EXPECT_EQ(stored.getWWN1(), live.getWWN1());
    EXPECT_EQ(stored.getSataPort(), live.getSataPort());
}

void expectSameDrive(const HardDrive& live, const TLXHardDrive* stored) {
    ASSERT_NE(stored, nullptr);
    expectSameDevice(live, *stored);
    EXPECT_EQ(stored->getSize(), live.getSize());
    EXPECT_EQ(stored->getPfaError(), live.getPfaError());
    EXPECT_EQ(stored->getPfaSupported(), live.getPfaSupported());
    EXPECT_EQ(stored->getOSPartitionInfo(), live.getOSPartitionInfo());
    EXPECT_EQ(stored->getTaskInProgress(), live.getTaskInProgress());
    EXPECT_EQ(stored->getLDPath(), "");
}

void expectSameLogicalDrive(const LogicalDrive& live, const TLXLogicalDrive* stored) {
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->getAdapterID(), live.getAdapterID());
    EXPECT_EQ(stored->getLogicalDriveID(), live.getLogicalDriveID());
    EXPECT_EQ(stored->getState(), live.getState());
    EXPECT_EQ(stored->getRaidLevel(), live.getRaidLevel());
    EXPECT_EQ(stored->getWriteCacheMode(), live.getWriteCacheMode());
    EXPECT_EQ(stored->getBadBlockCount(), live.getBadBlockCount());
    EXPECT_EQ(stored->getSnapshotType(), live.getSnapshotType());
    EXPECT_EQ(stored->getSnapshotPartnerID(), live.getSnapshotPartnerID());
    EXPECT_EQ(stored->getBlockedAccess(), live.getBlockedAccess());
    EXPECT_EQ(stored->getOSPartitionInfo(), live.getOSPartitionInfo());
    EXPECT_EQ(stored->getUniqueID(), live.getUniqueID());
    EXPECT_STREQ(stored->getSecondaryLogicals(), live.getSecondaryLogicals());
    const timestamp_struct_t& a = live.getCreationTime();
    const timestamp_struct_t& b = stored->getCreationTime();
    EXPECT_EQ(b.month, a.month);
    EXPECT_EQ(b.day, a.day);
    EXPECT_EQ(b.year, a.year);
    EXPECT_EQ(b.hour, a.hour);
    EXPECT_EQ(b.minute, a.minute);
    EXPECT_EQ(b.second, a.second);
    EXPECT_EQ(b.millisecond, a.millisecond);
    EXPECT_EQ(stored->getLogicalName(), "");
    EXPECT_FALSE(stored->getBTaskInProgress());
}

class SnapshotRoundTrip : public TestHome {
protected:
    // Builds the snapshot of tree, writes it and reads it back.
    const TLXSystem* writeAndRead(SmallTree& tree) {
        builder_.reset(new TLXConfigBuilder(path("TLXVLConfig.xml")));
        builder_->build(&tree.system, &tree.tasks);
        EXPECT_TRUE(builder_->writeXML());
        EXPECT_EQ(builder_->getSystem(), nullptr);
        EXPECT_TRUE(builder_->readXML());
        return builder_->getSystem();
    }

    std::unique_ptr<TLXConfigBuilder> builder_;
};

// The reference bytes: escaping, DELIM-free texts, the top bit cleared in the controller's
// serial number, four spaces per level and the element and attribute order of the format.
TEST_F(SnapshotRoundTrip, SmallTreeIsWrittenExactly) {
    SmallTree tree("VLM\xE9&42", "DISK<\"0\">");
    tree.sasDrive->setFirmwareLevel("FW\t12");
    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    builder.build(&tree.system, &tree.tasks);
    ASSERT_TRUE(builder.writeXML());

    const std::string written = readFile("TLXVLConfig.xml");
    const std::string golden = testDataPath("snapshot-small.xml");
    if (std::getenv("TLXVL_REGENERATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << written;
    }
    EXPECT_EQ(written, readAll(golden));
    // The live tree keeps its own text: only the written copy has the top bit cleared.
    EXPECT_STREQ(tree.adapter->getSerialNumString(), "VLM\xE9&42");
}

TEST_F(SnapshotRoundTrip, EveryAttributeReadsBackAsWritten) {
    SmallTree tree("VLM&<0042>", "DISK \"0\" 'A'");
    const TLXSystem* stored = writeAndRead(tree);
    ASSERT_NE(stored, nullptr);
    ASSERT_EQ(stored->getChildCount(), 2);

    auto* adapter = childAs<TLXAdapter>(stored, 0);
    ASSERT_NE(adapter, nullptr);
    const Adapter& live = *tree.adapter;
    EXPECT_EQ(adapter->getAdapterID(), live.getAdapterID());
    EXPECT_EQ(adapter->getAdapterType(), live.getAdapterType());
    EXPECT_EQ(adapter->getPhysicalSlot(), live.getPhysicalSlot());
    EXPECT_EQ(adapter->getAdapterStatus(), live.getAdapterStatus());
    EXPECT_STREQ(adapter->getDeviceVendor(), live.getDeviceVendor());
    EXPECT_STREQ(adapter->getDeviceName(), live.getDeviceName());
    for (int limit = LIMIT_MAX_LOGICAL_DRIVES; limit <= LIMIT_MAX_CONTROLLERS; ++limit) {
        EXPECT_EQ(adapter->getLimit(limit), live.getLimit(limit)) << "limit " << limit;
    }
    EXPECT_STREQ(adapter->getSerialNumString(), "VLM&<0042>");
    EXPECT_EQ(adapter->getPCIBus(), live.getPCIBus());
    EXPECT_EQ(adapter->getPciDevice(), live.getPciDevice());
    EXPECT_EQ(adapter->getPCIFunction(), live.getPCIFunction());
    EXPECT_EQ(adapter->getBatStatus(), live.getBatStatus());
    EXPECT_TRUE(adapter->IsBatTempWarning());
    EXPECT_EQ(adapter->getVersionMatchStatus(), live.getVersionMatchStatus());
    EXPECT_EQ(adapter->getLDPath(), "");
    ASSERT_EQ(adapter->getChildCount(), 4);

    auto* sas = childAs<TLXChannel>(adapter, 0);
    auto* sata = childAs<TLXChannel>(adapter, 1);
    ASSERT_TRUE(sas != nullptr && sata != nullptr);
    EXPECT_EQ(sas->getChannelID(), 0u);
    EXPECT_EQ(sas->getChannelType(), CHANNEL_TYPE_SAS);
    EXPECT_EQ(sata->getChannelID(), 1u);
    EXPECT_EQ(sata->getChannelType(), CHANNEL_TYPE_SATA);
    EXPECT_EQ(sata->getAdapterID(), 0u);
    ASSERT_EQ(sas->getChildCount(), 3);
    ASSERT_EQ(sata->getChildCount(), 1);
    expectSameDrive(*tree.sasDrive, childAs<TLXHardDrive>(sas, 0));
    expectSameDrive(*static_cast<HardDrive*>(tree.sasDrive->getParent()->getChild(1)),
                    childAs<TLXHardDrive>(sas, 1));
    expectSameDrive(*tree.sataDrive, childAs<TLXHardDrive>(sata, 0));

    auto* enclosure = childAs<TLXEnclosure>(sas, 2);
    ASSERT_NE(enclosure, nullptr);
    expectSameDevice(*tree.enclosure, *enclosure);
    EXPECT_TRUE(enclosure->tlxSafteDataValid);
    EXPECT_EQ(enclosure->getChildCount(), 2);
    EXPECT_EQ(enclosure->getSafteFanCount(), 3);
    EXPECT_EQ(enclosure->getSaftePowerSupplyCount(), 2);
    ASSERT_NE(enclosure->getTLXSafteConfig(), nullptr);
    EXPECT_EQ(enclosure->getTLXSafteConfig()->getSlotCount(), 16);
    const SafteStatus& liveStatus = *tree.enclosure->getSafteStatus();
    const TLXSafteStatus* status = enclosure->getTLXSafteStatus();
    ASSERT_NE(status, nullptr);
    for (unsigned i = 0; i < 32; ++i) {
        EXPECT_EQ(enclosure->getSafteFanStatus(static_cast<int>(i)), liveStatus.getFanStatus(i));
        EXPECT_EQ(enclosure->getSaftePowerSupplyStatus(static_cast<int>(i)),
                  liveStatus.getPowerSupplyStatus(i));
    }
    for (unsigned i = 0; i < 64; ++i) {
        EXPECT_EQ(status->getSlotStatus(i), liveStatus.getSlotStatus(i)) << "slot " << i;
    }
    EXPECT_EQ(status->getTempFlags1(), liveStatus.getTempFlags1());
    EXPECT_EQ(status->getTempFlags2(), liveStatus.getTempFlags2());
    EXPECT_TRUE(enclosure->isTempOutOfRange());

    expectSameLogicalDrive(*tree.first, childAs<TLXLogicalDrive>(adapter, 2));
    expectSameLogicalDrive(*tree.second, childAs<TLXLogicalDrive>(adapter, 3));

    auto* tasks = childAs<TLXProgressCollection>(stored, 1);
    ASSERT_NE(tasks, nullptr);
    ASSERT_EQ(tasks->getChildCount(), 1);
    auto* task = childAs<TLXProgress>(tasks, 0);
    auto* liveTask = static_cast<TLXProgress*>(tree.tasks.getChild(0));
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->getTaskID(), liveTask->getTaskID());
    EXPECT_EQ(task->getTaskType(), liveTask->getTaskType());
    EXPECT_EQ(task->getTaskState(), liveTask->getTaskState());
    EXPECT_EQ(task->getPercentageComplete(), liveTask->getPercentageComplete());
    EXPECT_EQ(task->getDeviceAddr(), liveTask->getDeviceAddr());
    EXPECT_EQ(task->getAdapterSerial(), "VLM&<0042>");
    EXPECT_EQ(task->getLDUniqueID(), liveTask->getLDUniqueID());
}

// A rebuilt tree writes the same text again: nothing is lost or reordered on the way
// through the file.
TEST_F(SnapshotRoundTrip, RebuiltTreeWritesTheSameText) {
    SmallTree tree;
    TLXSystem* stored = const_cast<TLXSystem*>(writeAndRead(tree));
    ASSERT_NE(stored, nullptr);
    char* text = nullptr;
    {
        XMLWriter writer(&text);
        writer.writeElement(*stored);
    }
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), readFile("TLXVLConfig.xml"));
    std::free(text);
}

TEST_F(SnapshotRoundTrip, TaskAddressWithLargeChunkReadsBack) {
    SmallTree tree;
    auto* task = static_cast<TLXProgress*>(tree.tasks.getChild(0));
    task->setDeviceAddr(Addr(1, 2, 3, 4, 5, 0x123456789ULL, 6, 7));
    const TLXSystem* stored = writeAndRead(tree);
    ASSERT_NE(stored, nullptr);
    auto* tasks = childAs<TLXProgressCollection>(stored, 1);
    ASSERT_NE(tasks, nullptr);
    auto* read = childAs<TLXProgress>(tasks, 0);
    ASSERT_NE(read, nullptr);
    // Item and phy IDs are not read back.
    EXPECT_EQ(read->getDeviceAddr(),
              Addr(1, 2, 3, 4, 5, 0x123456789ULL, Addr::kUnset, Addr::kUnset));
}

// Logical drives that a controller holds inside a configuration group are stored as its
// own: without them every such drive would be reported removed at the next start.
TEST_F(SnapshotRoundTrip, LogicalDrivesInsideAConfigGroupAreStored) {
    SmallTree tree;
    auto* group = new Config();
    tree.adapter->addChild(group);
    auto* grouped = new LogicalDrive(tree.adapter);
    grouped->setLogicalDriveID(7);
    grouped->setRaidLevel(RAID_LEVEL_1);
    group->addChild(grouped);
    const TLXSystem* stored = writeAndRead(tree);
    ASSERT_NE(stored, nullptr);
    const RaidObject* adapter = stored->getChild(0);
    ASSERT_EQ(adapter->getChildCount(), 5);
    expectSameLogicalDrive(*grouped, childAs<TLXLogicalDrive>(adapter, 4));
}

// A controller without a task is stored with the unset marker in every task field, and
// reads back so: a task of type or state 0 would be a task that never ran.
TEST_F(SnapshotRoundTrip, IdleControllerTaskKeepsTheUnsetMarkers) {
    SmallTree tree;
    tree.tasks.deleteAllChildren();
    auto* idle = new TLXProgress();
    idle->setAdapterSerial("VLM0042");
    tree.tasks.addChild(idle);
    const TLXSystem* stored = writeAndRead(tree);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(readFile("TLXVLConfig.xml")
                  .find("<Progress taskID=\"2147483647\" taskType=\"2147483647\" "
                        "taskState=\"2147483647\" percentageComplete=\"2147483647\" "
                        "adapterSerial=\"VLM0042\" LDUniqueID=\"0\"/>\n"),
              std::string::npos);
    auto* tasks = childAs<TLXProgressCollection>(stored, 1);
    ASSERT_NE(tasks, nullptr);
    auto* task = childAs<TLXProgress>(tasks, 0);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->getTaskID(), Addr::kUnset);
    EXPECT_EQ(task->getTaskType(), Addr::kUnset);
    EXPECT_EQ(task->getTaskState(), Addr::kUnset);
    EXPECT_EQ(task->getPercentageComplete(), Addr::kUnset);
    EXPECT_EQ(task->getDeviceAddr(), Addr());
}

}  // namespace
