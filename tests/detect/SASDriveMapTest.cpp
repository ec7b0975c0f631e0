// The SAS drive map: one event per drive on the SAS channels, in list order.
#include <gtest/gtest.h>

#include "DetectTestSupport.h"

namespace {

TEST_F(DetectTest, SASDriveMap) {
    System system;
    TreeBuilder b(&system);
    Adapter* mixed = b.adapter(2, "S2");  // controller number 3
    b.drive(b.channel(mixed, 1), 3);
    b.drive(b.sataChannel(mixed, 2, 4), 0);
    Channel* sas = b.channel(mixed, 0, CHANNEL_TYPE_SAS);
    HardDrive* first = b.drive(sas, 0);
    first->setFruNumber("F9");
    first->setWWN0(0x01020304);
    b.drive(sas, 5);
    b.enclosure(sas, 8);
    b.drive(b.channel(mixed, 6, CHANNEL_TYPE_SAS), 1);
    Adapter* noSas = b.adapter(3, "S3");
    b.drive(b.channel(noSas, 0, CHANNEL_TYPE_SATA), 0);
    b.drive(b.channel(noSas, 1), 0);

    const std::string A = "SAS(C2(3| VELMAR RAID Controller #S2|Unknown)|";
    const std::string map = "423/3/RAID_EVENT/2/A2 C";
    monitor->logSASDriveMap(monitor->queue(), mixed);
    EXPECT_EQ(takeEvents(),
              (std::vector<std::string>{
                  map + "0 D0/S2/F9/map(3|1|0|" + A + "0403020100000000)|FRU(F9))",
                  map + "0 D5/S2//map(3|1|5|" + A + "0000000000000000)|VM(QEB-LMD|DISK-5))",
                  map + "6 D1/S2//map(3|7|1|" + A + "0000000000000000)|VM(QEB-LMD|DISK-1))"}));
    monitor->logSASDriveMap(monitor->queue(), noSas);
    monitor->logSASDriveMap(monitor->queue(), nullptr);
    EXPECT_TRUE(takeEvents().empty());
}

}  // namespace
