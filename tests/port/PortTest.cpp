#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "port/Clock.h"
#include "port/FileSystem.h"
#include "port/Interrupt.h"
#include "port/ModuleDirectory.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

class PortTest : public TestHome {};

TEST_F(PortTest, MakeDirectoryTellsCreatedExistingAndFailedApart) {
    EXPECT_EQ(port::makeDirectory(path("logs")), port::MakeDirectoryResult::Created);
    EXPECT_EQ(port::makeDirectory(path("logs")), port::MakeDirectoryResult::AlreadyExists);
    writeFile("plain", "x");
    EXPECT_EQ(port::makeDirectory(path("plain")), port::MakeDirectoryResult::AlreadyExists);
    EXPECT_EQ(port::makeDirectory(path("missing/child")), port::MakeDirectoryResult::Failed);
}

TEST_F(PortTest, ReplaceFileAtomicallyWritesNewBytesAndLeavesNoTemporary) {
    writeFile("snap.xml", "old contents");
    const std::string text = "new\0bytes";
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(port::replaceFileAtomically(path("snap.xml"), text.data(), text.size()));
    ::umask(mask);
    EXPECT_EQ(readFile("snap.xml"), text);
    // The permissions of a file fopen would create, not those of a private temporary.
    struct stat st;
    ASSERT_EQ(::stat(path("snap.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(home())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(PortTest, ReplaceFileAtomicallyFailureKeepsTheOldFile) {
    if (::geteuid() == 0) {
        // Root writes into read-only directories; use a path whose directory is missing.
        EXPECT_FALSE(port::replaceFileAtomically(path("none/snap.xml"), "x", 1));
        return;
    }
    writeFile("snap.xml", "old contents");
    ::chmod(home().c_str(), 0500);
    EXPECT_FALSE(port::replaceFileAtomically(path("snap.xml"), "x", 1));
    ::chmod(home().c_str(), 0700);
    EXPECT_EQ(readFile("snap.xml"), "old contents");
}

TEST_F(PortTest, ReplaceFileAtomicallyOverADirectoryFailsAndCleansUp) {
    ASSERT_EQ(port::makeDirectory(path("snap.xml")), port::MakeDirectoryResult::Created);
    EXPECT_FALSE(port::replaceFileAtomically(path("snap.xml"), "x", 1));
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(home())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(PortTest, ModuleDirectoryFollowsTlxvlHomeAndEndsInSeparator) {
    EXPECT_EQ(port::moduleDirectory(), home());
    std::string bare = home().substr(0, home().size() - 1);
    ::setenv("TLXVL_HOME", bare.c_str(), 1);
    EXPECT_EQ(port::moduleDirectory(), home());
    ::unsetenv("TLXVL_HOME");
    std::string own = port::moduleDirectory();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.back(), port::kPathSeparator);
}

TEST_F(PortTest, CtimeTextHasTheStandardShape) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(port::ctimeText(0), "Thu Jan  1 00:00:00 1970\n");
    EXPECT_EQ(port::ctimeText(FakeClock::kStart), "Sun Dec  6 12:00:00 2026\n");
}

TEST_F(PortTest, FakeClockAdvancesOnlyByWaiting) {
    EXPECT_EQ(port::Clock::current().now(), FakeClock::kStart);
    port::Clock::current().wait(1500, nullptr);
    EXPECT_EQ(port::Clock::current().now(), FakeClock::kStart + 1);
    port::Interrupt stop;
    stop.raise();
    EXPECT_TRUE(port::Clock::current().wait(60000, &stop));
    EXPECT_EQ(port::Clock::current().now(), FakeClock::kStart + 1);
}

TEST(PortRealClock, InterruptCutsARealWaitShort) {
    port::Interrupt stop;
    auto begin = std::chrono::steady_clock::now();
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop.raise();
    });
    EXPECT_TRUE(port::Clock::current().wait(30000, &stop));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    stop.clear();
    EXPECT_FALSE(stop.raised());
    EXPECT_FALSE(port::Clock::current().wait(1, &stop));
}
