// The parsed catalog follows its file: every way of changing, replacing or removing it is
// seen by the very next lookup, including edits that keep the file's size (and even its
// modification time).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "nls/NLSParser.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

namespace {

class CatalogReload : public TestHome {
protected:
    // The catalog with its modification time an hour back, as an installed one has it.
    void install(const std::string& text) {
        writeFile("RaidNLS.properties", text);
        const fs::path file = path("RaidNLS.properties");
        fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
    }
};

TEST_F(CatalogReload, EveryChangeIsSeenAtTheNextLookup) {
    const std::string file = path("RaidNLS.properties");
    struct Row {
        const char* what;
        std::function<void()> change;
        const char* expected;  // the value of keyA after the change
    };
    const std::vector<Row> rows = {
        {"unchanged", [] {}, "one"},
        {"edited in place, same size", [&] { writeFile("RaidNLS.properties", "keyA=two\n"); },
         "two"},
        {"edited, size and time kept",
         [&] {
             const auto time = fs::last_write_time(file);
             writeFile("RaidNLS.properties", "keyA=six\n");
             fs::last_write_time(file, time);
         },
         "six"},
#if !defined(_WIN32)
        // POSIX only: the catalog is held open, and Windows refuses a rename over an open
        // file and keeps a removed one's name until its last handle is closed.
        {"replaced by rename, same size",
         [&] {
             writeFile("new", "keyA=ten\n");
             fs::rename(path("new"), file);
         },
         "ten"},
        {"deleted", [&] { fs::remove(file); }, ""},
#endif
        {"renamed away", [&] { fs::rename(file, path("aside")); }, ""},
        {"renamed away, another put in its place",
         [&] {
             fs::rename(file, path("aside"));
             writeFile("RaidNLS.properties", "keyA=new\n");
         },
         "new"},
        {"grown by a line in front", [&] { writeFile("RaidNLS.properties", "keyA=\nkeyA=one\n"); },
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        install("keyA=one\n");
        NLSParser catalog(file);
        ASSERT_EQ(catalog.get("keyA"), "one");
        row.change();
        EXPECT_EQ(catalog.get("keyA"), row.expected);
        EXPECT_EQ(catalog.get("keyA", std::vector<std::string>{}), row.expected);
        // A file that comes back later is found again.
        writeFile("RaidNLS.properties", "keyA=back\n");
        EXPECT_EQ(catalog.get("keyA"), "back");
        fs::remove(path("aside"));
    }
    // A file missing at construction is found once written; an empty name changes nothing,
    // another name switches files.
    NLSParser catalog(path("late.properties"));
    EXPECT_EQ(catalog.get("keyA"), "");
    writeFile("late.properties", "keyA=late\n");
    catalog.resetParser("");
    EXPECT_EQ(catalog.get("keyA"), "late");
    catalog.resetParser(file);
    EXPECT_EQ(catalog.get("keyA"), "back");
}

}  // namespace
