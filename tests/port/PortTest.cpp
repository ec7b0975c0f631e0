// The platform layer: atomic file replacement (also while someone reads the file), the
// module directory, names outside ASCII, the clock's interruptible wait and the bounded log.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <thread>
#include <vector>

#include "port/Clock.h"
#include "port/Environment.h"
#include "port/FileSystem.h"
#include "port/Interrupt.h"
#include "port/LogFile.h"
#include "port/ModuleDirectory.h"
#include "port/ReadOnlyFile.h"
#include "support/FaultyFileOps.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

class PortTest : public TestHome {};

// Replacing: every byte, and (POSIX) the permissions of a file fopen would create, not those
// of a private temporary. The failures of each step are injected in
// tests/monitor/FileFaultsTest.cpp.
TEST_F(PortTest, ReplaceFileAtomically) {
    writeFile("snap.xml", "old contents");
    const std::string text("new\0bytes", 9);
#if defined(_WIN32)
    ASSERT_TRUE(port::replaceFileAtomically(path("snap.xml"), text.data(), text.size()));
#else
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(port::replaceFileAtomically(path("snap.xml"), text.data(), text.size()));
    ::umask(mask);
    struct stat st;
    ASSERT_EQ(::stat(path("snap.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
#endif
    EXPECT_EQ(readFile("snap.xml"), text);
}

TEST(PortClock, CtimeTextAndAnInterruptedRealWait) {
    port::setEnvironmentVariable("TZ", "UTC");
    EXPECT_EQ(port::ctimeText(0), "Thu Jan  1 00:00:00 1970\n");
    port::Interrupt stop;
    const auto begin = std::chrono::steady_clock::now();
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop.raise();
    });
    EXPECT_TRUE(port::Clock::current().wait(30000, &stop));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    stop.clear();
    EXPECT_FALSE(port::Clock::current().wait(1, &stop));
}

// A line that would take a non-empty log past its bound first moves the log to ".1",
// replacing an older one; what was there before the log was opened counts.
TEST_F(PortTest, LogFileRotatesBeforeALineThatWouldPassTheBound) {
    // existing: the log and its ".1" before the log is opened; rotated: null for no ".1".
    // clang-format off
    const struct { uint64_t bound; const char *existing, *existingRotated; std::vector<const char*> lines;
                   const char *log, *rotated; } cases[] = {
        {100, "", nullptr, {"a\n", "b\n"}, "a\nb\n", nullptr},
        {8, "", "stale\n", {"aaa\n", "bbb\n", "ccc\n"}, "ccc\n", "aaa\nbbb\n"},
        {7, "", nullptr, {"aaa\n", "bbb\n", "ccc\n"}, "ccc\n", "bbb\n"},
        {12, "old-line\n", nullptr, {"aaa\n", "bbb\n"}, "aaa\nbbb\n", "old-line\n"},
        {4, "", nullptr, {"toolong\n", "x\n"}, "x\n", "toolong\n"},
        {4, "", nullptr, {"x\n", "toolong\n"}, "toolong\n", "x\n"}};
    // clang-format on
    int row = 0;
    for (const auto& c : cases) {
        const std::string name = "r" + std::to_string(row++) + ".log";
        SCOPED_TRACE(name);
        writeFile(name, c.existing);
        if (c.existingRotated != nullptr) {
            writeFile(name + ".1", c.existingRotated);
        }
        port::LogFile log(c.bound);
        ASSERT_TRUE(log.open(path(name)));
        for (const char* line : c.lines) {
            EXPECT_TRUE(log.append(line));
        }
        EXPECT_EQ(readFile(name), c.log);
        EXPECT_EQ(exists(name + ".1"), c.rotated != nullptr);
        EXPECT_EQ(readFile(name + ".1"), c.rotated != nullptr ? c.rotated : "");
    }
}

// Lines from four threads at once, across one rotation: each lands whole, exactly once, in
// the log or its ".1".
TEST_F(PortTest, LogFileLosesNoLineAcrossARotation) {
    constexpr int kThreads = 4, kLines = 400;  // lines per thread, 40 bytes each
    constexpr uint64_t kBound = kLines * kThreads * 40 * 3 / 4;
    port::LogFile log(kBound);
    ASSERT_TRUE(log.open(path("t.log")));
    std::vector<std::string> expected;
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kLines; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "thread %d line %04d %018d\n", t, i, i);
            expected.push_back(line);
        }
    }
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&log, &expected, t] {
            for (int i = 0; i < kLines; ++i) {
                log.append(expected[static_cast<size_t>(t * kLines + i)]);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const std::string rotated = readFile("t.log.1");
    EXPECT_LE(rotated.size(), kBound);
    std::istringstream both(rotated + readFile("t.log"));
    std::vector<std::string> found;
    for (std::string line; std::getline(both, line);) {
        found.push_back(line + "\n");
    }
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

// A failed open, write or rename leaves the log usable. Each row: "aaa" is written, then
// "bbbbb", which passes the bound of 8 (a rotation), then the log is reopened and "c"
// written; the row's fault hits the call that "bbbbb" makes, or the open itself.
TEST_F(PortTest, LogFileFailuresLeaveItUsable) {
    // faults: on the log's path; writing: after "bbbbb"; rotated: null for no ".1".
    // clang-format off
    const struct { const char* name; std::vector<Fault> faults; bool writing; const char *log, *rotated; } cases[] = {
        {"none", {}, true, "bbbbb\nc\n", "aaa\n"},
        {"short", {{FileOp::Write, "short", 0, 2, 2}}, true, "bbbbb\nc\n", "aaa\n"},
        {"open", {{FileOp::Open, "open", EACCES, 1}}, false, "c\n", nullptr},
        {"reopen", {{FileOp::Open, "reopen", EACCES, 2}}, false, "c\n", "aaa\n"},
        {"write", {{FileOp::Write, "write", ENOSPC, 2}}, false, "c\n", "aaa\n"},
        {"rename", {{FileOp::Rename, "rename", EACCES, 1}}, true, "c\n", "aaa\nbbbbb\n"}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string(c.name) + ".log";
        FaultyFileOps ops(c.faults);
        port::LogFile log(8);
        log.open(path(name));
        log.append("aaa\n");
        EXPECT_EQ(log.append("bbbbb\n"), c.writing);
        EXPECT_EQ(log.isWriting(), c.writing);
        EXPECT_TRUE(log.reopen());
        EXPECT_TRUE(log.append("c\n"));
        EXPECT_TRUE(log.isWriting());
        EXPECT_EQ(readFile(name), c.log);
        EXPECT_EQ(exists(name + ".1"), c.rotated != nullptr);
        EXPECT_EQ(readFile(name + ".1"), c.rotated != nullptr ? c.rotated : "");
    }
}

TEST_F(PortTest, ModuleDirectoryIsTheLibrarysOwnWhereverTheHostRuns) {
    EXPECT_EQ(port::moduleDirectory(), home());  // TLXVL_HOME wins while it is set
    // The library's code is linked into this program, so its directory is the program's.
    ASSERT_EQ(port::makeDirectory(path("\xC3\xA9")), port::MakeDirectoryResult::Created);
    const fs::path before = fs::current_path();
    for (const std::string& cwd : {home(), path("\xC3\xA9"), before.parent_path().u8string()}) {
        fs::current_path(fs::u8path(cwd));
        port::setModuleDirectory("");
        const std::string dir = port::moduleDirectory();
        ASSERT_FALSE(dir.empty()) << cwd;
        EXPECT_EQ(dir.back(), port::kPathSeparator) << cwd;
        // Without the separator: the Windows C runtime cannot look at "dir\".
        EXPECT_TRUE(fs::equivalent(fs::u8path(dir).parent_path(), TLXVL_TEST_PROGRAM_DIR)) << dir;
    }
    fs::current_path(before);
}

TEST_F(PortTest, DirectoriesAndFilesNamedOutsideAscii) {
    for (const std::string name : {"plain", "caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC"}) {
        const std::string dir = path(name);
        EXPECT_EQ(port::makeDirectory(dir), port::MakeDirectoryResult::Created) << name;
        EXPECT_EQ(port::makeDirectory(dir), port::MakeDirectoryResult::AlreadyExists) << name;
        EXPECT_EQ(port::makeDirectory(dir + "/none/child"), port::MakeDirectoryResult::Failed);
        const std::string file = dir + port::kPathSeparator + "TLXVLConfig.xml";
        ASSERT_TRUE(port::replaceFileAtomically(file, name.data(), name.size())) << name;
        std::string text;
        EXPECT_TRUE(port::readWholeFile(file, text) && text == name) << name;
        port::FileStat stat;
        EXPECT_TRUE(port::statFile(file, stat) && stat.size == name.size()) << name;
        port::setModuleDirectory(dir);
        EXPECT_EQ(port::moduleDirectory(), dir + port::kPathSeparator) << name;
        const std::string temporary = port::makeTemporaryDirectory("tlxvl-" + name + "-");
        EXPECT_TRUE(!temporary.empty() && fs::is_directory(fs::u8path(temporary))) << name;
        fs::remove(fs::u8path(temporary));
    }
}

TEST_F(PortTest, ReplacingAFileThatIsOpenForReading) {
    // POSIX systems replace the name whoever reads the old file. Windows refuses the rename
    // while a reader without delete sharing (the C runtime's) has the file open, and may for
    // one with it (ours; Wine does): then the old file stays whole, no temporary is left
    // behind, and the replacement goes through once the reader has closed.
#if defined(_WIN32)
    constexpr bool kWindows = true;
#else
    constexpr bool kWindows = false;
#endif
    for (const bool ours : {true, false}) {
        SCOPED_TRACE(ours ? "ReadOnlyFile" : "std::ifstream");
        writeFile("snap.xml", "old");
        {
            port::ReadOnlyFile reader;
            std::ifstream stream;
            if (ours) {
                ASSERT_TRUE(reader.open(path("snap.xml")));
            } else {
                stream.open(fs::u8path(path("snap.xml")));
                ASSERT_TRUE(stream.is_open());
            }
            const bool replaced = port::replaceFileAtomically(path("snap.xml"), "new", 3);
            EXPECT_TRUE(replaced || kWindows);
            EXPECT_EQ(readFile("snap.xml"), replaced ? "new" : "old");
            EXPECT_EQ(
                std::distance(fs::directory_iterator(fs::u8path(home())), fs::directory_iterator()),
                1);
        }
        EXPECT_TRUE(port::replaceFileAtomically(path("snap.xml"), "again", 5));
        EXPECT_EQ(readFile("snap.xml"), "again");
    }
}

#if defined(__linux__)
// The change signal of an open file: every change the catalog and settings readers must see
// is signalled by the time the changing call returns, a change to another file is not, and
// watches that come and go leave no descriptor behind.
TEST_F(PortTest, ChangeSignalOfAnOpenFile) {
    const std::string file = path("watched");
    // clang-format off
    struct Row { const char* what; std::function<void()> change; bool signalled; };
    const std::vector<Row> rows = {
        {"nothing", [] {}, false},
        {"another file written", [&] { writeFile("other", "x"); }, false},
        {"written, same size", [&] { writeFile("watched", "two"); }, true},
        {"times set", [&] { fs::last_write_time(file, fs::file_time_type()); }, true},
        {"mode changed", [&] { fs::permissions(file, fs::perms::owner_read); }, true},
        {"replaced by rename", [&] { writeFile("other", "new"); fs::rename(path("other"), file); }, true},
        {"renamed away", [&] { fs::rename(file, path("aside")); }, true},
        {"deleted", [&] { fs::remove(file); }, true},
    };
    // clang-format on
    const auto descriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = descriptors();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove(file);
        writeFile("watched", "one");
        port::ReadOnlyFile reader;
        ASSERT_TRUE(reader.open(file));
        ASSERT_TRUE(reader.watch());
        ASSERT_FALSE(reader.changeSignalled());
        row.change();
        EXPECT_EQ(reader.changeSignalled(), row.signalled);
        EXPECT_EQ(reader.changeSignalled(), row.signalled) << "asking again";
        fs::remove(path("aside"));
    }
    EXPECT_EQ(descriptors(), before);
}
#endif
