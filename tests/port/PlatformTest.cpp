// The platform layer where Windows and POSIX systems differ: where the library finds itself,
// paths outside ASCII, and replacing a file that someone is reading.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <utility>

#include "port/FileSystem.h"
#include "port/ModuleDirectory.h"
#include "port/ReadOnlyFile.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

class PlatformTest : public TestHome {};

TEST_F(PlatformTest, ModuleDirectoryIsTheLibrarysOwnWhereverTheHostRuns) {
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

TEST_F(PlatformTest, DirectoriesAndFilesNamedOutsideAscii) {
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

TEST_F(PlatformTest, ReplacingAFileThatIsOpenForReading) {
    // POSIX systems replace the name whoever reads the old file. Windows refuses the rename
    // while a reader without delete sharing (the C runtime's) has the file open, and may for
    // one with it (ours; Wine does): then the old file stays whole, no temporary is left
    // behind, and the replacement goes through once the reader has closed.
    using Open = std::function<std::shared_ptr<void>(const std::string&)>;
    const std::pair<const char*, Open> readers[] = {
        {"ReadOnlyFile",
         [](const std::string& file) {
             auto reader = std::make_shared<port::ReadOnlyFile>();
             EXPECT_TRUE(reader->open(file));
             return std::shared_ptr<void>(reader);
         }},
        {"std::ifstream",
         [](const std::string& file) {
             auto reader = std::make_shared<std::ifstream>(fs::u8path(file));
             EXPECT_TRUE(reader->is_open());
             return std::shared_ptr<void>(reader);
         }},
    };
#if defined(_WIN32)
    constexpr bool kWindows = true;
#else
    constexpr bool kWindows = false;
#endif
    const auto entries = [this] {
        return std::distance(fs::directory_iterator(fs::u8path(home())), fs::directory_iterator());
    };
    for (const auto& [name, open] : readers) {
        writeFile("snap.xml", "old");
        {
            const std::shared_ptr<void> reader = open(path("snap.xml"));
            const bool replaced = port::replaceFileAtomically(path("snap.xml"), "new", 3);
            EXPECT_TRUE(replaced || kWindows) << name;
            EXPECT_EQ(readFile("snap.xml"), replaced ? "new" : "old") << name;
            EXPECT_EQ(entries(), 1) << name;
        }
        EXPECT_TRUE(port::replaceFileAtomically(path("snap.xml"), "again", 5)) << name;
        EXPECT_EQ(readFile("snap.xml"), "again") << name;
    }
}
