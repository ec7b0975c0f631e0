// writeXML leaves the file alone only when it still holds exactly what the builder last
// installed; anything else is written as before. writeCopyOf, the monitor's periodic write,
// skips even the copy and the text while the live system holds what the installed text was
// copied from, and otherwise writes what build + writeXML would. A stop request (the abandon
// check) at any moment of a copy or write leaves the old file or the new one, never a cut or
// temporary one.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "port/FileSystem.h"
#include "raidlib/ModelBuilder.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXProgress.h"
#include "snapshot/TLXProgressCollection.h"
#include "snapshot/TLXSystem.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

namespace {

class SnapshotSkipWrite : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        makeTree();
    }
    void makeTree() {
        live_.deleteAllChildren();
        tasks_.deleteAllChildren();
        ModelBuilder tree(&live_);
        adapter_ = tree.adapter(0, "S0");
        channel_ = tree.channel(adapter_, 0);
        drive_ = tree.drive(channel_, 1);
        enclosure_ = tree.enclosure(channel_, 5);
        logical_ = tree.logicalDrive(adapter_, 0);
        task_ = new TLXProgress();
        tasks_.addChild(task_);
    }

    bool write(TLXConfigBuilder& builder, bool copyPath) {
        if (copyPath) {
            return builder.writeCopyOf(&live_, &tasks_);
        }
        builder.build(&live_, &tasks_);
        return builder.writeXML();
    }
    port::FileStat stat() const {
        port::FileStat stat;
        EXPECT_TRUE(port::statFile(path("TLXVLConfig.xml"), stat));
        return stat;
    }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(home())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    System live_;
    TLXProgressCollection tasks_;
    Adapter* adapter_ = nullptr;
    Channel* channel_ = nullptr;
    HardDrive* drive_ = nullptr;
    Enclosure* enclosure_ = nullptr;
    LogicalDrive* logical_ = nullptr;
    TLXProgress* task_ = nullptr;
};

TEST_F(SnapshotSkipWrite, OnlyTheUnchangedFileIsLeftAlone) {
    const std::string file = path("TLXVLConfig.xml");
    const auto sameSizeEdit = [this] {
        std::string text = readFile("TLXVLConfig.xml");
        text[text.find("DISK")] = 'd';
        writeFile("TLXVLConfig.xml", text);
    };
    // One row per kind of value the copy takes, each of them a change of the configuration made
    // between the first write and the second.
    // clang-format off
    struct Row { const char* what; std::function<void()> between; bool skipped; };
    const std::vector<Row> rows = {
        {"nothing changed", [] {}, true},
        {"controller status", [this] { adapter_->setAdapterStatus(CONTROLLER_STATUS_FAILED); }, false},
        {"controller limit", [this] { adapter_->setLimit(LIMIT_MAX_ID, 99); }, false},
        {"controller text", [this] { adapter_->setSerialNumString("S9"); }, false},
        {"channel type", [this] { channel_->setChannelType(CHANNEL_TYPE_SAS); }, false},
        {"drive text", [this] { drive_->setVendor("OTHER"); }, false},
        {"drive size", [this] { drive_->setSize(drive_->getSize() + 1); }, false},
        {"drive PFA", [this] { drive_->setPfaError(true); }, false},
        {"drive added", [this] { ModelBuilder(&live_).drive(channel_, 2); }, false},
        {"drive removed", [this] { delete drive_; }, false},
        {"fan status", [this] { enclosure_->getSafteStatus()->setFanStatus(1, 2); }, false},
        {"fan count", [this] { enclosure_->getSafteConfig()->setFanCount(3); }, false},
        {"SAF-TE data invalid", [this] { enclosure_->setSafteDataValid(false); }, false},
        {"logical drive state", [this] { logical_->setState(LD_STATE_CRITICAL); }, false},
        {"creation time", [this] {
             timestamp_struct_t time = logical_->getCreationTime();
             time.minute += 1;
             logical_->setCreationTime(time); }, false},
        {"secondary logicals", [this] { logical_->setSecondaryLogicals("1,2"); }, false},
        {"task percentage", [this] { task_->setPercentageComplete(50); }, false},
        {"task serial", [this] { task_->setAdapterSerial("S1"); }, false},
        {"task added", [this] { tasks_.addChild(new TLXProgress()); }, false},
        {"file deleted", [&] { fs::remove(file); }, false},
        {"edited in place, same size", sameSizeEdit, false},
        {"edited, size and time kept", [&] {
             const auto time = fs::last_write_time(file);
             sameSizeEdit();
             fs::last_write_time(file, time); }, false},
        {"replaced by the same bytes", [&] {
             writeFile("copy", readFile("TLXVLConfig.xml"));
             fs::rename(path("copy"), file); }, false},
        {"touched", [&] { fs::last_write_time(file, fs::file_time_type::clock::now()); }, false},
    };
    // clang-format on
    for (const bool copyPath : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.what) + (copyPath ? ", writeCopyOf" : ", writeXML"));
            makeTree();
            fs::remove(file);
            TLXConfigBuilder builder(file);
            ASSERT_TRUE(write(builder, copyPath));
            EXPECT_FALSE(builder.wasWriteSkipped());
            const port::FileStat first = stat();
            row.between();
            port::FileStat between;
            port::statFile(file, between);
            ASSERT_TRUE(write(builder, copyPath));
            EXPECT_EQ(builder.wasWriteSkipped(), row.skipped);
            if (row.skipped) {
                EXPECT_EQ(stat(), first);  // not even the modification time moved
            } else {
                EXPECT_NE(stat(), between);  // a new file took its place
            }
            // Whatever happened, the file holds the text of the configuration.
            TLXConfigBuilder fresh(path("expected.xml"));
            ASSERT_TRUE(write(fresh, false));
            EXPECT_EQ(readFile("TLXVLConfig.xml"), readFile("expected.xml"));
            fs::remove(path("expected.xml"));
        }
    }
}

TEST_F(SnapshotSkipWrite, StopAtAnyMomentLeavesTheOldOrTheNewFile) {
    // Large enough that the file is written in several pieces, each after a look at the
    // stop request: 2 controllers of 900 drives, over 600 KiB.
    System big;
    ModelBuilder tree(&big);
    for (uint32_t a = 0; a < 2; ++a) {
        Channel* channel = tree.channel(tree.adapter(a, "S" + std::to_string(a)), 0);
        for (uint32_t d = 0; d < 900; ++d) {
            tree.drive(channel, d);
        }
    }
    const auto attempt = [&](int allowed, int& asked) {
        writeFile("TLXVLConfig.xml", "old\n");
        TLXConfigBuilder builder(path("TLXVLConfig.xml"));
        asked = 0;
        builder.setAbandonCheck([&] { return ++asked > allowed; });
        builder.build(&big, nullptr);
        return builder.writeXML();
    };
    int checks = 0;
    ASSERT_TRUE(attempt(1 << 30, checks));
    const std::string whole = readFile("TLXVLConfig.xml");
    ASSERT_GT(whole.size(), 600u * 1024);
    // Stops in the copy (one look per controller), the text (one per element), the file's
    // pieces and right before its sync. The last look comes after the rename, which then
    // stands (only the directory's sync is left out); the last row lets everything finish.
    for (int allowed :
         {0, 1, 2, 3, checks / 2, checks - 4, checks - 3, checks - 2, checks - 1, checks}) {
        SCOPED_TRACE(allowed);
        int asked = 0;
        const bool written = attempt(allowed, asked);
        EXPECT_EQ(written, allowed >= checks - 1);
        EXPECT_EQ(readFile("TLXVLConfig.xml"), written ? whole : "old\n");
        EXPECT_EQ(files(), std::vector<std::string>{"TLXVLConfig.xml"});
    }
    // A read given up part way fails like an unreadable file (empty tree), so that it is
    // never taken for a damaged one; the last row: allowed to finish.
    for (int allowed : {0, 1, 2, 1 << 30}) {
        SCOPED_TRACE(allowed);
        TLXConfigBuilder reader(path("TLXVLConfig.xml"));
        int asked = 0;
        reader.setAbandonCheck([&] { return ++asked > allowed; });
        const bool whole = allowed > 2;
        EXPECT_EQ(reader.readXML(), whole);
        EXPECT_EQ(reader.wasReadWhole(), whole);
        EXPECT_EQ(reader.getSystem()->getChildCount(), whole ? 3 : 0);
    }
}

}  // namespace
