// The fifth-poll snapshot write through the poll loop: an unchanged configuration leaves the
// file alone (it is not even replaced), a deleted file comes back at the next fifth poll, and
// a changed configuration is written at the next fifth poll.
#include <gtest/gtest.h>

#include <filesystem>

#include "MonitorTestSupport.h"
#include "raidlib/ModelBuilder.h"
#include "support/FaultyFileOps.h"

namespace {

TEST_F(MonitorLoopTest, FifthPollWritesOnlyAChangedOrMissingSnapshot) {
    ModelBuilder tree(lib.getHardwareModel());
    tree.drive(tree.channel(tree.adapter(0, "S0"), 0), 1);
    TestVelmarMonitor monitor(&lib);
    FaultyFileOps ops;
    // The snapshot files put in place by the start and the polls up to each wait (polls write
    // after waits 5, 10, ...); the file is deleted at wait 6 and the drive fails at wait 11.
    std::vector<int> renames;
    clock.onWait = [&](long) {
        renames.push_back(ops.count(FileOp::Rename, "TLXVLConfig.xml.tmp"));
        if (renames.size() == 6) {
            std::filesystem::remove(path("TLXVLConfig.xml"));
        } else if (renames.size() == 11) {
            lib.setDriveState(0, 0, 1, PD_STATE_DEFUNCT);
        } else if (renames.size() == 21) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;
    EXPECT_EQ(renames,
              (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3}));
    EXPECT_NE(readFile("TLXVLConfig.xml").find("state=\"2\""), std::string::npos);
}

}  // namespace
