// The snapshot file as the builder writes it (exact bytes of a small tree), as it reads back
// (a rebuilt tree writes the same text again) and as a conforming XML parser reads it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "raidlib/raidlib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXProgress.h"
#include "snapshot/TLXProgressCollection.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"
#include "support/TestHome.h"

#if __has_include(<tinyxml2.h>)
#include <tinyxml2.h>
#endif

namespace {

// A small but complete configuration (one controller with a SAS and a SATA channel, drives, a
// SAF-TE enclosure, two logical drives and a running task) with a value off its default in
// nearly every written field.
struct SmallTree {
    System system;
    TLXProgressCollection tasks;
    Adapter* adapter = nullptr;
    HardDrive* sasDrive = nullptr;

    // The serial number and drive model, so a test can put characters to escape in.
    explicit SmallTree(const std::string& serial = "VLM0042", const std::string& model = "DISK-0") {
        ModelBuilder build(&system);
        adapter = build.adapter(0, serial);
        adapter->setAdapterType(3);
        adapter->setPhysicalSlot(2);
        adapter->setAdapterStatus(CONTROLLER_STATUS_DEGRADED);
        adapter->setPCIBus(4);
        adapter->setPciDevice(1);
        adapter->setBatStatus(BATTERY_STATUS_LOW);
        adapter->setBatTempWarning(true);
        adapter->setVersionMatchStatus(CODE_VERSION_MISMATCH);
        for (int limit = LIMIT_MAX_LOGICAL_DRIVES; limit <= LIMIT_MAX_CONTROLLERS; ++limit) {
            adapter->setLimit(limit, 10u * static_cast<uint32_t>(limit));
        }

        Channel* sas = build.channel(adapter, 0, CHANNEL_TYPE_SAS);
        sasDrive = build.drive(sas, 0);
        sasDrive->setModel(model);
        sasDrive->setDeviceType(1);
        sasDrive->setFirmwareLevel("FW12");
        sasDrive->setFruNumber("FRU-77");
        sasDrive->setWWN("5000c500a1b2c3d4");
        sasDrive->setWWN0(0xA1B2C3D4);  // top bit set
        sasDrive->setWWN1(0x5000C500);
        sasDrive->setInterfaceType(2);
        sasDrive->setSize(7814037168ULL);  // 4 TB in blocks: beyond 32 bits
        sasDrive->setPfaSupported(true);
        sasDrive->setOSPartitionInfo(true);
        HardDrive* defunct = build.drive(sas, 1, PD_STATE_DEFUNCT);
        defunct->setPfaError(true);
        defunct->setTaskInProgress(true);
        SafteStatus* status = build.enclosure(sas, 8, 3, 2)->getSafteStatus();
        status->setFanStatus(1, SAFTE_FAN_MALFUNCTIONING);
        status->setPowerSupplyStatus(1, SAFTE_PS_NOT_PRESENT);
        status->setSlotStatus(0, 0x01);
        status->setTempFlags2(0x04);

        HardDrive* sataDrive = build.drive(build.sataChannel(adapter, 1, 4), 2);
        sataDrive->setSataPort(3);
        sataDrive->setSize(976773168ULL);

        LogicalDrive* first = build.logicalDrive(adapter, 0, LD_STATE_CRITICAL, RAID_LEVEL_5);
        first->setWriteCacheMode(1);
        first->setBadBlockCount(2);
        first->setBlockedAccess(true);
        first->setUniqueID(0xDEADBEEF);
        first->setCreationTime({3, 11, 24, 2021, 328, 17, 5, 59, 250});
        LogicalDrive* second = build.logicalDrive(adapter, 1, LD_STATE_OKAY, RAID_LEVEL_10);
        second->setSnapshotType(2);
        second->setSnapshotPartnerID(5);
        second->setOSPartitionInfo(true);
        second->setSecondaryLogicals("2,3");

        auto* task = new TLXProgress();
        task->setTaskID(7);
        task->setTaskType(TASK_TYPE_REBUILD);
        task->setTaskState(TASK_STATE_RUNNING);
        task->setPercentageComplete(40);
        task->setDeviceAddr(Addr(0, Addr::kUnset, 1, Addr::kUnset, Addr::kUnset, Addr::kUnsetChunk,
                                 Addr::kUnset, Addr::kUnset));
        task->setAdapterSerial(serial);
        task->setLDUniqueID(0xDEADBEEF);
        tasks.addChild(task);
    }
};

class SnapshotRoundTrip : public TestHome {
protected:
    std::string write(SmallTree& tree) {
        TLXConfigBuilder builder(path("TLXVLConfig.xml"));
        builder.build(&tree.system, &tree.tasks);
        EXPECT_TRUE(builder.writeXML());
        return readFile("TLXVLConfig.xml");
    }
};

// The reference bytes: escaping, DELIM for control characters, the top bit cleared in the
// controller's serial number, four spaces per level and the element and attribute order.
TEST_F(SnapshotRoundTrip, SmallTreeIsWrittenExactly) {
    SmallTree tree("VLM\xE9&42", "DISK<\"0\">");
    tree.sasDrive->setFirmwareLevel("FW\t12");
    const std::string written = write(tree);
    const std::string golden = testDataPath("snapshot-small.xml");
    if (std::getenv("TLXVL_REGENERATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << written;
    }
    std::ifstream in(golden, std::ios::binary);
    EXPECT_EQ(written, std::string(std::istreambuf_iterator<char>(in), {}));
    // The live tree keeps its own text: only the written copy has the top bit cleared.
    EXPECT_STREQ(tree.adapter->getSerialNumString(), "VLM\xE9&42");
    TLXConfigBuilder empty(path("empty.xml"));
    empty.build(nullptr, nullptr);
    ASSERT_TRUE(empty.writeXML());
    EXPECT_EQ(readFile("empty.xml"), "<System>\n    <ProgressCollection/>\n</System>\n");
}

// Every attribute reads back as written: the rebuilt tree writes the same text again. Also
// texts with entities (undone on reading, so that a serial number holding "&" still pairs
// its controller), a chunk ID beyond 32 bits, logical drives inside a configuration group
// (stored with their controller, or every such drive would be reported removed at the next
// start) and an idle controller's task (the unset marker in every field: a task of type or
// state 0 would be a task that never ran).
TEST_F(SnapshotRoundTrip, RebuiltTreeWritesTheSameText) {
    SmallTree tree("VLM&<0042>", "DISK \"0\" 'A'");
    static_cast<TLXProgress*>(tree.tasks.getChild(0))
        ->setDeviceAddr(Addr(1, 2, 3, 4, 5, 0x123456789ULL, Addr::kUnset, Addr::kUnset));
    auto* idle = new TLXProgress();
    idle->setAdapterSerial("VLM0042");
    tree.tasks.addChild(idle);
    auto* group = new Config();
    tree.adapter->addChild(group);
    auto* grouped = new LogicalDrive(tree.adapter);
    grouped->setLogicalDriveID(7);
    group->addChild(grouped);
    const std::string written = write(tree);
    EXPECT_NE(written.find("<LogicalDrive controllerID=\"0\" logicalDriveID=\"7\""),
              std::string::npos);
    EXPECT_NE(written.find("<Progress taskID=\"2147483647\" taskType=\"2147483647\" "
                           "taskState=\"2147483647\" percentageComplete=\"2147483647\" "
                           "adapterSerial=\"VLM0042\" LDUniqueID=\"0\"/>\n"),
              std::string::npos);

    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    ASSERT_TRUE(builder.readXML());
    char* text = nullptr;
    XMLWriter(&text).writeElement(builder.getSystem());
    EXPECT_EQ(std::string(text), written);
    std::free(text);
}

#if __has_include(<tinyxml2.h>)
// The file is well-formed XML, and a conforming parser undoes its entities as our reader does.
TEST_F(SnapshotRoundTrip, AConformingParserReadsTheFile) {
    SmallTree tree("VLM\xE9&'42'", "DISK<\"0\">");
    tree.sasDrive->setFirmwareLevel("FW\t12\n");
    const std::string text = write(tree);
    tinyxml2::XMLDocument document;
    ASSERT_EQ(document.Parse(text.c_str(), text.size()), tinyxml2::XML_SUCCESS)
        << document.ErrorStr();
    const tinyxml2::XMLElement* adapter =
        document.FirstChildElement("System")->FirstChildElement("Controller");
    const tinyxml2::XMLElement* drive = adapter->FirstChildElement()->FirstChildElement();
    EXPECT_STREQ(adapter->Attribute("controllerSerial"), "VLMi&'42'");
    EXPECT_STREQ(drive->Attribute("model"), "DISK<\"0\">");
    EXPECT_STREQ(drive->Attribute("firmwareLevel"), "FWDELIM12DELIM");
}
#endif

}  // namespace
