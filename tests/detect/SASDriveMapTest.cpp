// The SAS drive map: one event per drive on the SAS channels, in list order.
#include <gtest/gtest.h>

#include <functional>

#include "DetectTestSupport.h"

namespace {

struct DriveMapCase {
    const char* name;
    std::function<Adapter*(TreeBuilder&)> build;
    std::vector<EventView> expected;
};

// Controller 3 (adapter ID 2) as TreeBuilder describes it.
const std::string A = "C2(3| VELMAR RAID Controller #S2|Unknown)";

EventView mapEvent(uint32_t channel, uint32_t device, const std::string& fru,
                   const std::string& text) {
    return {423, 3, "RAID_EVENT", TLX_OBJ_ADAPTER, 2, channel, device, "S2", fru, text};
}

const std::vector<DriveMapCase> kCases = {
    {"two drives on SAS channel 0; other channels skipped",
     [](TreeBuilder& b) {
         Adapter* a = b.adapter(2, "S2");
         b.drive(b.channel(a, 1), 3);
         b.drive(b.sataChannel(a, 2, 4), 0);
         Channel* sas = b.channel(a, 0, CHANNEL_TYPE_SAS);
         HardDrive* first = b.drive(sas, 0);
         first->setFruNumber("F9");
         first->setWWN0(0x01020304);
         b.drive(sas, 5);
         b.enclosure(sas, 8);
         return a;
     },
     {mapEvent(0, 0, "F9", "map(3|1|0|SAS(" + A + "|0403020100000000)|FRU(F9))"),
      mapEvent(0, 5, "", "map(3|1|5|SAS(" + A + "|0000000000000000)|VM(QEB-LMD|DISK-5))")}},
    {"second SAS channel",
     [](TreeBuilder& b) {
         Adapter* a = b.adapter(2, "S2");
         b.channel(a, 0, CHANNEL_TYPE_SAS);
         b.drive(b.channel(a, 6, CHANNEL_TYPE_SAS), 1);
         return a;
     },
     {mapEvent(6, 1, "", "map(3|7|1|SAS(" + A + "|0000000000000000)|VM(QEB-LMD|DISK-1))")}},
    {"no SAS channel",
     [](TreeBuilder& b) {
         Adapter* a = b.adapter(2, "S2");
         b.drive(b.channel(a, 0), 0);
         b.drive(b.channel(a, 1, CHANNEL_TYPE_SATA), 0);
         return a;
     },
     {}},
    {"no controller", [](TreeBuilder&) { return nullptr; }, {}},
};

TEST_F(DetectTest, SASDriveMap) {
    for (const DriveMapCase& c : kCases) {
        System system;
        TreeBuilder build(&system);
        monitor->logSASDriveMap(monitor->queue(), c.build(build));
        EXPECT_EQ(takeEvents(), c.expected) << c.name;
    }
}

}  // namespace
