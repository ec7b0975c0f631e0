// The fifth-poll snapshot write through the poll loop: an unchanged configuration leaves the
// file as it is (not even its modification time moves), a deleted file comes back at the
// next fifth poll, and a changed configuration is written at the next fifth poll.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "MonitorTestSupport.h"
#include "port/FileSystem.h"
#include "raidlib/ModelBuilder.h"

namespace {

TEST_F(MonitorLoopTest, FifthPollWritesOnlyAChangedOrMissingSnapshot) {
    ModelBuilder tree(lib.getHardwareModel());
    tree.drive(tree.channel(tree.adapter(0, "S0"), 0), 1);
    TestVelmarMonitor monitor(&lib);
    const std::string file = path("TLXVLConfig.xml");

    enum class Expect { Same, Missing, Written };
    // The loop's wait at which the row is checked (polls write after 5, 10, ...), what the
    // file is then, and the change made after the check.
    // clang-format off
    struct Row { int wait; Expect expect; std::function<void()> then; };
    const std::vector<Row> rows = {
        {5, Expect::Same, [] {}}, {6, Expect::Same, [&] { std::filesystem::remove(file); }},
        {10, Expect::Missing, [] {}},
        {11, Expect::Written, [&] { lib.setDriveState(0, 0, 1, PD_STATE_DEFUNCT); }},
        {15, Expect::Same, [] {}}, {16, Expect::Written, [] {}}};
    // clang-format on
    port::FileStat last;
    ASSERT_FALSE(port::statFile(file, last));
    std::string lastText;
    size_t next = 0;
    int waits = 0;
    clock.onWait = [&](long) {
        ++waits;
        if (next == rows.size() || rows[next].wait != waits) {
            return;
        }
        const Row& row = rows[next++];
        SCOPED_TRACE(row.wait);
        port::FileStat now;
        const bool present = port::statFile(file, now);
        EXPECT_EQ(present, row.expect != Expect::Missing);
        if (row.expect == Expect::Same && waits > 5) {
            EXPECT_EQ(now, last);
        }
        if (row.expect == Expect::Written) {
            EXPECT_NE(readFile("TLXVLConfig.xml"), lastText);
        }
        last = now;
        lastText = present ? readFile("TLXVLConfig.xml") : "";
        row.then();
        if (next == rows.size()) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;
    EXPECT_EQ(next, rows.size());
    // The snapshot holds the drive's new state.
    EXPECT_NE(lastText.find("state=\"2\""), std::string::npos);
}

}  // namespace
