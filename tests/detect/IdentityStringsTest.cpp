// The identity strings and the small texts of the logical-drive events, with the tagged
// catalog of DetectTestSupport: each row builds its own tree and names one object.
#include <gtest/gtest.h>

#include <functional>

#include "DetectTestSupport.h"

namespace {

// The description of controller 0 as TreeBuilder makes it, serial "A0", slot unknown.
const std::string A = "C2(1| VELMAR RAID Controller #A0|Unknown)";

struct Tree {
    System system;
    TreeBuilder build{&system};
    Adapter* adapter = build.adapter(0, "A0");
};

struct IdentityCase {
    const char* name;
    std::function<std::string(DetectMonitor&, Tree&)> text;
    std::string expected;
};

// A SATA drive on SATA channel 2 of three (4 ports each), with device ID 1 and SATA port 2,
// and an enclosure on a further channel that may know its slot.
HardDrive* sataTree(Tree& t, bool enclosureKnowsSlot, bool invalidEnclosureFirst) {
    Channel* scsi = t.build.channel(t.adapter, 7);
    if (invalidEnclosureFirst) {
        Enclosure* invalid = t.build.enclosure(scsi, 6);
        invalid->setSafteDataValid(false);
        invalid->setSlotNumberForDeviceID(1, 9);
    }
    Enclosure* enclosure = t.build.enclosure(scsi, 8);
    if (enclosureKnowsSlot) {
        enclosure->setSlotNumberForDeviceID(1, 5);
    }
    t.build.sataChannel(t.adapter, 0, 4);
    t.build.sataChannel(t.adapter, 1, 4);
    HardDrive* drive = t.build.drive(t.build.sataChannel(t.adapter, 2, 4), 1);
    drive->setSataPort(2);
    return drive;
}

std::string sized(DetectMonitor& m, Tree& t, TreeBuilder::Family family, uint64_t space) {
    Adapter* adapter = t.build.adapter(1, "B", family);
    return m.getSize(t.build.logicalDrive(adapter, 0, LD_STATE_OKAY, RAID_LEVEL_5, space));
}

std::string level(DetectMonitor& m, Tree& t, int raidLevel) {
    LogicalDrive* drive =
        t.build.logicalDrive(t.adapter, 0, LD_STATE_OKAY, static_cast<EnumRaidLevel>(raidLevel));
    char family[16];
    std::snprintf(family, sizeof family, "%lX", m.getRaidFamily(drive));
    return m.getRaidLevel(drive) + "/" + family;
}

const std::vector<IdentityCase> kCases = {
    {"description: vendor and serial only, slot 0",
     [](DetectMonitor& m, Tree& t) {
         t.adapter->setDeviceName("");
         t.adapter->setDeviceVendor("V");
         t.adapter->setSerialNumString("123");
         t.adapter->setPhysicalSlot(0);
         return m.getDetailedAdapterID(t.adapter);
     },
     "C2(1| V #123|0)"},
    {"description: nothing, controller 3 in slot 7",
     [](DetectMonitor& m, Tree& t) {
         Adapter* a = t.build.adapter(2, "");
         a->setDeviceVendor("");
         a->setDeviceName("");
         a->setPhysicalSlot(7);
         return m.getDetailedAdapterID(a);
     },
     "C2(3||7)"},
    {"controller", [](DetectMonitor& m, Tree& t) { return m.getEventID(t.adapter); },
     "CTL(" + A + ")"},
    {"null objects",
     [](DetectMonitor& m, Tree&) {
         return m.getEventID(static_cast<Adapter*>(nullptr)) + m.getDetailedAdapterID(nullptr) +
                m.getEventID(static_cast<Channel*>(nullptr)) +
                m.getEventID(static_cast<HardDrive*>(nullptr)) +
                m.getEventID(static_cast<LogicalDrive*>(nullptr)) + m.getReplacementID(nullptr) +
                m.getRaidLevel(nullptr) + m.getQuickInit(nullptr) + m.getSize(nullptr);
     },
     "0 GB"},
    {"channel 3",
     [](DetectMonitor& m, Tree& t) { return m.getEventID(t.build.channel(t.adapter, 2)); },
     "CH(" + A + "|3)"},
    {"channel without controller",
     [](DetectMonitor& m, Tree&) {
         Channel channel;
         channel.setChannelID(0);
         return m.getEventID(&channel);
     },
     "CH(2147483647|1)"},
    {"logical drive 5",
     [](DetectMonitor& m, Tree& t) { return m.getEventID(t.build.logicalDrive(t.adapter, 4)); },
     "LD(" + A + "|5)"},
    {"basic logical drive: name (empty) and number",
     [](DetectMonitor& m, Tree& t) {
         return m.getEventID(t.build.pellBasicLogicalDrive(t.adapter, 0));
     },
     "LD(" + A + "|LD2(|1))"},
    {"logical drive without controller",
     [](DetectMonitor& m, Tree&) {
         LogicalDrive drive;
         drive.setLogicalDriveID(1);
         return m.getEventID(&drive);
     },
     "LD(2147483647|2)"},
    {"SAS drive: world-wide name, each word from its low byte",
     [](DetectMonitor& m, Tree& t) {
         HardDrive* d = t.build.drive(t.build.channel(t.adapter, 0, CHANNEL_TYPE_SAS), 0);
         d->setWWN0(0x12345678);
         d->setWWN1(0x9ABCDEF0);
         return m.getEventID(d);
     },
     "SAS(" + A + "|78563412F0DEBC9A)"},
    {"SATA: enclosure slot wins over the port",
     [](DetectMonitor& m, Tree& t) { return m.getEventID(sataTree(t, true, false)); },
     "ENC(" + A + "|8|5)"},
    {"SATA: an enclosure with invalid SAF-TE data is never asked",
     [](DetectMonitor& m, Tree& t) { return m.getEventID(sataTree(t, true, true)); },
     "ENC(" + A + "|8|5)"},
    {"SATA: no slot, port 2 after 4 + 4 ports",
     [](DetectMonitor& m, Tree& t) { return m.getEventID(sataTree(t, false, true)); },
     "SATA(" + A + "|10)"},
    {"SATA: port unset, device ID 1 after 4 + 4 ports",
     [](DetectMonitor& m, Tree& t) {
         HardDrive* d = sataTree(t, false, false);
         d->setSataPort(Addr::kUnset);
         return m.getEventID(d);
     },
     "SATA(" + A + "|9)"},
    {"SATA drive on a channel that is no SATA channel of the controller",
     [](DetectMonitor& m, Tree& t) {
         t.build.sataChannel(t.adapter, 0, 4);
         return m.getEventID(t.build.drive(t.build.channel(t.adapter, 5, CHANNEL_TYPE_SATA), 3));
     },
     "SCSI(" + A + "|6|3)"},
    {"parallel SCSI drive",
     [](DetectMonitor& m, Tree& t) {
         return m.getEventID(t.build.drive(t.build.channel(t.adapter, 1, CHANNEL_TYPE_FIBRE), 3));
     },
     "SCSI(" + A + "|2|3)"},
    {"drive without controller and channel",
     [](DetectMonitor& m, Tree&) {
         HardDrive drive;
         drive.setDeviceID(4);
         return m.getEventID(&drive);
     },
     "SCSI(2147483647|2147483647|4)"},
    {"replacement: FRU number wins over vendor and model",
     [](DetectMonitor& m, Tree& t) {
         HardDrive* d = t.build.drive(t.build.channel(t.adapter, 0), 0);
         d->setFruNumber("F1");
         return m.getReplacementID(d);
     },
     "FRU(F1)"},
    {"replacement: vendor and model",
     [](DetectMonitor& m, Tree& t) {
         return m.getReplacementID(t.build.drive(t.build.channel(t.adapter, 0), 0));
     },
     "VM(QEB-LMD|DISK-0)"},
    {"replacement: vendor without model",
     [](DetectMonitor& m, Tree& t) {
         HardDrive* d = t.build.drive(t.build.channel(t.adapter, 0), 0);
         d->setModel("");
         return m.getReplacementID(d);
     },
     ""},
    {"size: Pell 3 x 2^20 blocks",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Pell, 3u << 20); },
     "1.50 GB"},
    {"size: Pell 1.0500002 GB",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Pell, 2202010); },
     "1.05 GB"},
    {"size: Pell 1.999 GB",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Pell, 4192207); },
     "2.00 GB"},
    {"size: Omdi 2600 MB",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Omdi, 2600); },
     "2.54 GB"},
    {"size: Omdi 1075 MB (1.0498 GB)",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Omdi, 1075); },
     "1.05 GB"},
    {"size: Omdi 2047 MB (1.999 GB)",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Omdi, 2047); },
     "2.00 GB"},
    {"size: Omdi 10 MB",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Omdi, 10); },
     "0.01 GB"},
    {"size: Omdi 2^40 MB",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Omdi, 1ull << 40); },
     "1073741824.00 GB"},
    {"size: another family",
     [](DetectMonitor& m, Tree& t) { return sized(m, t, TreeBuilder::Family::Plain, 4096); },
     "0.00 GB"},
    {"size: no controller",
     [](DetectMonitor& m, Tree&) {
         LogicalDrive drive;
         drive.setDataSpace64(4096);
         return m.getSize(&drive);
     },
     "0 GB"},
    {"RAID level 2 from the catalog", [](DetectMonitor& m, Tree& t) { return level(m, t, 2); },
     "1E/F0"},
    {"RAID level 8", [](DetectMonitor& m, Tree& t) { return level(m, t, 8); }, "00/F000000F"},
    {"RAID level 12", [](DetectMonitor& m, Tree& t) { return level(m, t, 12); }, "/F0000F00"},
    {"RAID level 16", [](DetectMonitor& m, Tree& t) { return level(m, t, 16); }, "6/F000"},
    {"RAID level 17", [](DetectMonitor& m, Tree& t) { return level(m, t, 17); }, "60/F000F000"},
    {"RAID level 18", [](DetectMonitor& m, Tree& t) { return level(m, t, 18); }, "/0"},
    {"RAID level unknown",
     [](DetectMonitor& m, Tree& t) { return level(m, t, RAID_LEVEL_UNKNOWN); }, "/0"},
    {"quick initialisation",
     [](DetectMonitor& m, Tree& t) {
         LogicalDrive* quick = t.build.logicalDrive(t.adapter, 0);
         quick->setSubState(LD_SUB_STATE_QUICK_INIT);
         LogicalDrive* verify = t.build.logicalDrive(t.adapter, 1);
         verify->setSubState(LD_SUB_STATE_VERIFY);
         return m.getQuickInit(quick) + "/" + m.getQuickInit(verify);
     },
     ", Method = quick/"},
};

TEST_F(DetectTest, IdentityStrings) {
    for (const IdentityCase& c : kCases) {
        Tree tree;
        EXPECT_EQ(c.text(*monitor, tree), c.expected) << c.name;
    }
}

// The library is asked for the tasks at the object's address; a drive only in state 0.
TEST_F(DetectTest, TaskQueries) {
    TreeBuilder build(lib.getHardwareModel());
    Adapter* adapter = build.adapter(1, "A1");
    Channel* channel = build.channel(adapter, 0);
    build.drive(channel, 0, PD_STATE_READY)
        ->setProgress(Progress(TASK_TYPE_CLEAR, TASK_STATE_RUNNING, 5, Addr::kUnset));
    build.drive(channel, 1, PD_STATE_ONLINE)
        ->setProgress(Progress(TASK_TYPE_CLEAR, TASK_STATE_RUNNING, 5, Addr::kUnset));
    build.drive(channel, 2, PD_STATE_READY);
    TreeBuilder::task(build.logicalDrive(adapter, 0), TASK_TYPE_VERIFY, TASK_STATE_RUNNING);
    build.logicalDrive(adapter, 1);
    System* current = lib.getNewSystem();
    const auto drive = [&](uint32_t id) {
        return monitor->isTaskRunning(
            static_cast<PhysicalDevice*>(current->getObject(1, Addr::kUnset, Addr::kUnset, 0, id)));
    };
    const auto logical = [&](uint32_t id) {
        return monitor->isTaskRunning(static_cast<LogicalDrive*>(
            current->getObject(1, Addr::kUnset, id, Addr::kUnset, Addr::kUnset)));
    };
    EXPECT_EQ((std::vector<bool>{drive(0), drive(1), drive(2), logical(0), logical(1)}),
              (std::vector<bool>{true, false, false, true, false}));
}

}  // namespace
