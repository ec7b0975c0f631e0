#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <thread>

#include "port/Clock.h"
#include "port/Environment.h"
#include "port/FileSystem.h"
#include "port/Interrupt.h"
#include "port/ModuleDirectory.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

class PortTest : public TestHome {};

TEST_F(PortTest, MakeDirectoryAndReplaceFileAtomically) {
    EXPECT_EQ(port::makeDirectory(path("logs")), port::MakeDirectoryResult::Created);
    EXPECT_EQ(port::makeDirectory(path("logs")), port::MakeDirectoryResult::AlreadyExists);
    EXPECT_EQ(port::makeDirectory(path("missing/child")), port::MakeDirectoryResult::Failed);

    writeFile("snap.xml", "old contents");
    const std::string text("new\0bytes", 9);
#if defined(_WIN32)
    ASSERT_TRUE(port::replaceFileAtomically(path("snap.xml"), text.data(), text.size()));
#else
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(port::replaceFileAtomically(path("snap.xml"), text.data(), text.size()));
    ::umask(mask);
    // The permissions of a file fopen would create, not those of a private temporary.
    struct stat st;
    ASSERT_EQ(::stat(path("snap.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
#endif
    EXPECT_EQ(readFile("snap.xml"), text);
    // A rename over a directory fails; no temporary is left behind.
    EXPECT_FALSE(port::replaceFileAtomically(path("logs"), "x", 1));
    EXPECT_EQ(std::distance(fs::directory_iterator(home()), fs::directory_iterator()), 2);
    // No temporary can be made in a missing directory (the other failures of each step are
    // injected in tests/monitor/FileFaultsTest.cpp).
    EXPECT_FALSE(port::replaceFileAtomically(path("none/snap.xml"), "x", 1));
}

TEST_F(PortTest, ModuleDirectoryFollowsTlxvlHomeAndEndsInSeparator) {
    EXPECT_EQ(port::moduleDirectory(), home());
    port::setModuleDirectory(home().substr(0, home().size() - 1));
    EXPECT_EQ(port::moduleDirectory(), home());
    port::setModuleDirectory("");
    const std::string own = port::moduleDirectory();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.back(), port::kPathSeparator);
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
