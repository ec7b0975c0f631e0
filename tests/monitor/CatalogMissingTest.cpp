// A monitor whose message catalog is missing or holds no message says so: one error line per
// catalog file tried (the module directory's, then the one beside the library), each ending
// in a newline, and isCatalogUsable() false; a missing file in the module directory is
// created empty. The catalog beside the library is the test program's directory, which has
// none; tests/CMakeLists.txt runs examples/ through libtlxvl, where one is found there.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "monitor/VelmarMonitor.h"
#include "port/Clock.h"
#include "port/ModuleDirectory.h"
#include "raidlib/VelmarLib.h"
#include "support/TestHome.h"

namespace {

class CatalogMissingTest : public TestHome {};

TEST_F(CatalogMissingTest, EachUnusableCatalogGivesItsErrorLineAndTheSignal) {
    const char* kNotFound = ") not found. Creating an empty file.\n";
    const char* kNoMessages = ") holds no messages.\n";
    // The module directory's catalog (null: missing), the error line about it (null: none),
    // whether the monitor can use it; the last catalog is filled after construction.
    // clang-format off
    const struct { const char *content, *homeLine; bool usable; } rows[] = {
        {nullptr, kNotFound, false}, {"", kNoMessages, false},
        {"# agentEventInfNoControllers=x\n \tindented=x\n\r\n\n", kNoMessages, false},
        {"#\nagentEventInfNoControllers=No controller.\n", nullptr, true},
        {"k=v\r\n", nullptr, true}, {"", kNoMessages, true}};
    // clang-format on
    const std::string prefix = "ERROR: BaseRaidMonitor::BaseRaidMonitor() NLS File (";
    const std::string beside = port::libraryDirectory() + "RaidNLS.properties";
    for (const auto& row : rows) {
        const bool filledLater = &row == std::end(rows) - 1;
        SCOPED_TRACE(&row - rows);
        writeFile("TLXConfig.ini", "");
        std::remove(path("kvorlogs/TLXVLDebug.log").c_str());
        if (row.content == nullptr) {
            std::remove(path("RaidNLS.properties").c_str());
        } else {
            writeFile("RaidNLS.properties", row.content);
        }
        std::string stamp = port::ctimeText(clock_.now());  // construction waits a second
        stamp.pop_back();
        VelmarLib lib;
        VelmarMonitor monitor(&lib);
        if (filledLater) {
            writeFile("RaidNLS.properties", "agentEventInfNoControllers=No controller.\n");
        }

        std::string expected;
        if (row.homeLine != nullptr) {
            expected += "[" + stamp + "]  " + prefix + path("RaidNLS.properties") + row.homeLine;
            if (!port::libraryDirectory().empty()) {
                expected += "[" + stamp + "]  " + prefix + beside + ") not found.\n";
            }
        }
        EXPECT_EQ(readFile("kvorlogs/TLXVLDebug.log"), expected);
        EXPECT_EQ(monitor.isCatalogUsable(), row.usable);
        EXPECT_TRUE(exists("RaidNLS.properties"));
    }
}

}  // namespace
