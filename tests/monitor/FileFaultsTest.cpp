// The monitor's files under injected failures: a snapshot write that fails at any step
// leaves the previous snapshot whole and no temporary file; the temporary files of dead
// writers are removed when a run starts, a live writer's kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "monitor/MonitorTestSupport.h"
#include "raidlib/ModelBuilder.h"
#include "support/FaultyFileOps.h"

namespace fs = std::filesystem;

namespace {

class FileFaultsTest : public MonitorLoopTest {};

// Each failure in the monitor's first write: the old snapshot stays byte for byte, no
// temporary file is left and the monitor logs it once. Without a failure the file's data
// reaches the disk before the rename puts it in place, and the rename before the
// directory's sync.
TEST_F(FileFaultsTest, InjectedWriteFailuresKeepTheOldSnapshot) {
    const std::string kOld = "<System>\n    <Controller controllerID=\"7\"/>\n</System>\n";
    ModelBuilder(lib.getHardwareModel()).adapter(0, "A0");
    const std::string tmp = "TLXVLConfig.xml.tmp";
    // clang-format off
    const struct { const char* name; std::vector<Fault> faults; } kCases[] = {
        {"none", {}},
        {"ENOSPC on write", {{FileOp::Write, tmp, ENOSPC}}},
        {"a write that writes nothing", {{FileOp::Write, tmp, 0}}},
        {"EACCES on create", {{FileOp::Open, tmp, EACCES}}},
        {"short write, then ENOSPC", {{FileOp::Write, tmp, 0, 1, 9}, {FileOp::Write, tmp, ENOSPC, 2}}},
        {"rename refused", {{FileOp::Rename, tmp, EACCES}}},
        {"fsync fails", {{FileOp::Sync, tmp, EIO}}},
        {"waiting for a range fails", {{FileOp::SyncRange, tmp, EIO}}},
    };
    // clang-format on
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const bool fails = !c.faults.empty();
        writeFile("TLXVLConfig.xml", kOld);
        fs::remove(path("kvorlogs/TLXVLDebug.log"));
        {
            FaultyFileOps ops(c.faults);
            TestVelmarMonitor monitor(&lib);
            runWaits(monitor, 1);  // stopped in the first wait after the start's write
            const int sync = ops.firstCall(FileOp::Sync, tmp);
            const int rename = ops.firstCall(FileOp::Rename, tmp);
            EXPECT_TRUE(fails || (sync >= 0 && sync < rename)) << sync << " " << rename;
            EXPECT_TRUE(fails || rename < ops.firstCall(FileOp::SyncDirectory, ""));
        }
        EXPECT_EQ(readFile("TLXVLConfig.xml") == kOld, fails);
        for (const auto& entry : fs::directory_iterator(home())) {
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
        }
        EXPECT_EQ(counts(debugLog(), {"]  ERROR: Cannot write the snapshot file " +
                                      path("TLXVLConfig.xml") + "\n"}),
                  std::vector<int>{fails ? 1 : 0});
    }
}

// At the start of a run the temporary files of the snapshot that no writer holds are
// removed; a file locked by a live writer and every other file stay.
TEST_F(FileFaultsTest, StaleTemporaryFilesAreRemovedAtStart) {
    // clang-format off
    const struct { const char* name; bool locked; bool kept; } kCases[] = {
        {"TLXVLConfig.xml.tmp1796558400-0", false, false},
        {"TLXVLConfig.xml.tmp", false, false},
        {"TLXVLConfig.xml.tmp12-3", true, true},
        {"TLXVLConfig.xml.bad", false, true},
        {"TLXVLConfig.xmltmp", false, true},
        {"Other.xml.tmp1-0", false, true},
        {"TLXVLConfig.tmp1-0", false, true},
    };
    // clang-format on
    std::vector<port::FileHandle> held;
    port::FileOps& system = port::FileOps::system();
    for (const auto& c : kCases) {
        writeFile(c.name, "<System><Contr");
        if (c.locked) {
            held.push_back(port::kNoFile);
            ASSERT_EQ(system.open(path(c.name), port::OpenMode::Read, held.back()), 0);
            ASSERT_EQ(system.tryLock(held.back()), 0);
        }
    }
    TestVelmarMonitor monitor(&lib);
    runWaits(monitor, 1);
    for (const auto& c : kCases) {
        EXPECT_EQ(exists(c.name), c.kept) << c.name;
    }
    EXPECT_EQ(counts(debugLog(), {"]  Removed 2 stale temporary file(s) of the snapshot " +
                                      path("TLXVLConfig.xml") + "\n",
                                  "stale"}),
              (std::vector<int>{1, 1}));
    for (port::FileHandle file : held) {
        system.close(file);
    }
}

}  // namespace
