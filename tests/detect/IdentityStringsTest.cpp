// The identity strings, the small texts of the logical-drive events and the SAS drive map,
// with the tagged catalog of DetectTestSupport.
#include <gtest/gtest.h>

#include <functional>

#include "DetectTestSupport.h"

namespace {

// Controller 0 as ModelBuilder describes it: serial "A0", slot unknown.
const std::string A = "C2(1| VELMAR RAID Controller #A0|Unknown)";

// One controller with a drive of every naming form. SATA channels 1, 2, 3 have 4 ports each;
// the enclosures sit on channel 7, the invalid one first.
struct Tree {
    System system;
    ModelBuilder b{&system};
    Adapter* a = b.adapter(0, "A0");
    Adapter* bare = b.adapter(2, "");
    HardDrive* sas = b.drive(b.channel(a, 0, CHANNEL_TYPE_SAS), 0);
    Channel* sata1 = b.sataChannel(a, 1, 4);
    SATAChannel* sata2 = b.sataChannel(a, 2, 4);
    Channel* sata3 = b.sataChannel(a, 3, 4);
    Channel* scsi = b.channel(a, 7, CHANNEL_TYPE_FIBRE);
    Enclosure* invalid = b.enclosure(scsi, 6);
    Enclosure* valid = b.enclosure(scsi, 8);
    HardDrive* inSlot = b.drive(sata1, 4);    // the valid enclosure knows it
    HardDrive* notAsked = b.drive(sata1, 5);  // only the invalid one knows it
    HardDrive* port2 = b.drive(sata3, 0);
    HardDrive* noPort = b.drive(sata3, 1);
    HardDrive* otherSata = b.drive(b.channel(a, 5, CHANNEL_TYPE_SATA), 3);
    HardDrive* parallel = b.drive(scsi, 3);
    LogicalDrive* fifth = b.logicalDrive(a, 4);
    LogicalDrive* basic = b.pellBasicLogicalDrive(a, 0);
    Channel loose;
    LogicalDrive looseLogical;
    HardDrive looseDrive;

    Tree() {
        bare->setDeviceVendor("");
        bare->setDeviceName("");
        bare->setPhysicalSlot(7);
        b.wwn(sas, "78563412F0DEBC9A");
        invalid->setSafteDataValid(false);
        invalid->setSlotNumberForDeviceID(5, 9);
        valid->setSlotNumberForDeviceID(4, 5);
        port2->setSataPort(2);
        parallel->setFruNumber("F1");
        otherSata->setModel("");
        loose.setChannelID(0);
        looseLogical.setLogicalDriveID(1);
        looseDrive.setDeviceID(4);
    }
};

using M = DetectMonitor;
// clang-format off
struct NameCase { const char* name; std::function<std::string(M&, Tree&)> text; std::string expected; };
const std::vector<NameCase> kNames = {
    {"no vendor, name, serial", [](M& m, Tree& t) { return m.getDetailedAdapterID(t.bare); }, "C2(3||7)"},
    {"controller",       [](M& m, Tree& t) { return m.getEventID(t.a); },             "CTL(" + A + ")"},
    {"channel",          [](M& m, Tree& t) { return m.getEventID(t.sata2); },         "CH(" + A + "|3)"},
    {"channel alone",    [](M& m, Tree& t) { return m.getEventID(&t.loose); },        "CH(2147483647|1)"},
    {"logical drive",    [](M& m, Tree& t) { return m.getEventID(t.fifth); },         "LD(" + A + "|5)"},
    {"basic logical",    [](M& m, Tree& t) { return m.getEventID(t.basic); },         "LD(" + A + "|LD2(|1))"},
    {"logical alone",    [](M& m, Tree& t) { return m.getEventID(&t.looseLogical); }, "LD(2147483647|2)"},
    {"SAS: WWN words from the low byte", [](M& m, Tree& t) { return m.getEventID(t.sas); }, "SAS(" + A + "|78563412F0DEBC9A)"},
    {"SATA: slot wins",  [](M& m, Tree& t) { return m.getEventID(t.inSlot); },        "ENC(" + A + "|8|5)"},
    {"SATA: invalid enclosure not asked, port = device 5", [](M& m, Tree& t) { return m.getEventID(t.notAsked); }, "SATA(" + A + "|5)"},
    {"SATA: port 2 after 4 + 4", [](M& m, Tree& t) { return m.getEventID(t.port2); }, "SATA(" + A + "|10)"},
    {"SATA: device 1 after 4 + 4", [](M& m, Tree& t) { return m.getEventID(t.noPort); }, "SATA(" + A + "|9)"},
    {"SATA type, no SATA channel", [](M& m, Tree& t) { return m.getEventID(t.otherSata); }, "SCSI(" + A + "|6|3)"},
    {"parallel",         [](M& m, Tree& t) { return m.getEventID(t.parallel); },      "SCSI(" + A + "|8|3)"},
    {"drive alone",      [](M& m, Tree& t) { return m.getEventID(&t.looseDrive); },   "SCSI(2147483647|2147483647|4)"},
    {"FRU wins",         [](M& m, Tree& t) { return m.getReplacementID(t.parallel); }, "FRU(F1)"},
    {"vendor and model", [](M& m, Tree& t) { return m.getReplacementID(t.sas); },     "VM(QEB-LMD|DISK-0)"},
    {"no model",         [](M& m, Tree& t) { return m.getReplacementID(t.otherSata); }, ""},
    {"nulls", [](M& m, Tree&) { return m.getEventID(static_cast<Adapter*>(nullptr)) + m.getEventID(static_cast<HardDrive*>(nullptr)) + m.getRaidLevel(nullptr) + m.getSize(nullptr); }, "0 GB"},
};
// clang-format on

TEST_F(DetectTest, Names) {
    Tree tree;
    for (const NameCase& c : kNames) {
        EXPECT_EQ(c.text(*monitor, tree), c.expected) << c.name;
    }
    tree.a->setDeviceName("");
    tree.a->setDeviceVendor("V");
    tree.a->setSerialNumString("123");
    tree.a->setPhysicalSlot(0);
    EXPECT_EQ(monitor->getDetailedAdapterID(tree.a), "C2(1| V #123|0)");
}

TEST_F(DetectTest, SizesAndLevels) {
    using F = ModelBuilder::Family;
    // clang-format off
    const struct { F family; uint64_t space; const char* expected; } kSizes[] = {
        {F::Pell, 3u << 20, "1.50 GB"}, {F::Pell, 2202010, "1.05 GB"}, {F::Pell, 4192207, "2.00 GB"}, {F::Omdi, 2600, "2.54 GB"},
        {F::Omdi, 10, "0.01 GB"}, {F::Omdi, 1ull << 40, "1073741824.00 GB"}, {F::Plain, 4096, "0.00 GB"}};
    // clang-format on
    System system;
    ModelBuilder build(&system);
    for (const auto& c : kSizes) {
        Adapter* adapter = build.adapter(1, "", c.family);
        EXPECT_EQ(
            monitor->getSize(build.logicalDrive(adapter, 0, LD_STATE_OKAY, RAID_LEVEL_5, c.space)),
            c.expected)
            << c.space;
    }
    LogicalDrive alone;

    // clang-format off
    const struct { int level; const char* text; unsigned long family; } kLevels[] = {
        {1, "1", 0xF0}, {2, "1E", 0xF0}, {12, "", 0xF0000F00}, {16, "6", 0xF000}, {17, "60", 0xF000F000}, {18, "", 0}};
    // clang-format on
    for (const auto& c : kLevels) {
        alone.setRaidLevel(static_cast<EnumRaidLevel>(c.level));
        EXPECT_EQ(monitor->getRaidLevel(&alone), c.text) << c.level;
        EXPECT_EQ(monitor->getRaidFamily(&alone), c.family) << c.level;
    }
    EXPECT_EQ(monitor->getRaidFamily(nullptr), 0ul);
}

// The library is asked for the tasks at the object's address; a drive only in state 0.
TEST_F(DetectTest, TaskQueries) {
    ModelBuilder build(lib.getHardwareModel());
    Adapter* adapter = build.adapter(1, "A1");
    Channel* channel = build.channel(adapter, 0);
    const Progress clear(TASK_TYPE_CLEAR, TASK_STATE_RUNNING, 5, Addr::kUnset);
    build.drive(channel, 0, PD_STATE_READY)->setProgress(clear);
    build.drive(channel, 1, PD_STATE_ONLINE)->setProgress(clear);
    build.drive(channel, 2, PD_STATE_READY);
    build.task(build.logicalDrive(adapter, 0), TASK_TYPE_VERIFY, TASK_STATE_RUNNING);
    build.logicalDrive(adapter, 1);
    std::vector<RaidObject*> list;
    lib.getNewSystem()->getChildren(list, nullptr, true, true);
    std::vector<bool> running;
    for (RaidObject* object : list) {
        if (auto* drive = dynamic_cast<HardDrive*>(object)) {
            running.push_back(monitor->isTaskRunning(drive));
        } else if (auto* logical = dynamic_cast<LogicalDrive*>(object)) {
            running.push_back(monitor->isTaskRunning(logical));
        }
    }
    EXPECT_EQ(running, (std::vector<bool>{true, false, false, true, false}));
}

// One event per drive on the SAS channels, in list order.
TEST_F(DetectTest, SASDriveMap) {
    System system;
    ModelBuilder b(&system);
    Adapter* mixed = b.adapter(2, "S2");  // controller number 3
    b.drive(b.channel(mixed, 1), 3);
    b.drive(b.sataChannel(mixed, 2, 4), 0);
    Channel* sas = b.channel(mixed, 0, CHANNEL_TYPE_SAS);
    HardDrive* first = b.drive(sas, 0);
    b.fru(first, "F9");
    b.wwn(first, "0403020100000000");
    b.drive(sas, 5);
    b.enclosure(sas, 8);
    b.drive(b.channel(mixed, 6, CHANNEL_TYPE_SAS), 1);
    b.drive(b.channel(mixed, 7, CHANNEL_TYPE_SATA), 0);

    const std::string sasID = "|SAS(C2(3| VELMAR RAID Controller #S2|Unknown)|";
    monitor->logSASDriveMap(monitor->queue(), mixed);
    monitor->logSASDriveMap(monitor->queue(), nullptr);
    EXPECT_EQ(monitor->take(),
              (std::vector<std::string>{"423 t3 o2 A2C0D0 ser=S2 fru=F9 id=RAID_EVENT | map(3|1|0" +
                                            sasID + "0403020100000000)|FRU(F9))",
                                        "423 t3 o2 A2C0D5 ser=S2 id=RAID_EVENT | map(3|1|5" +
                                            sasID + "0000000000000000)|VM(QEB-LMD|DISK-5))",
                                        "423 t3 o2 A2C6D1 ser=S2 id=RAID_EVENT | map(3|7|1" +
                                            sasID + "0000000000000000)|VM(QEB-LMD|DISK-1))"}));
}

}  // namespace
