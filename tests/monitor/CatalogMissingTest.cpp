// A monitor whose message catalog is missing or holds no message says so: one error line per
// catalog file tried (the module directory's, then the one beside the library), each ending
// in a newline, and isCatalogUsable() false; a missing file in the module directory is
// created empty. The catalog beside the library is the test program's directory, which has
// none; tests/CMakeLists.txt runs examples/ through libtlxvl, where one is found there.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "monitor/VelmarMonitor.h"
#include "port/Clock.h"
#include "port/ModuleDirectory.h"
#include "raidlib/VelmarLib.h"
#include "support/TestHome.h"

namespace {

class CatalogMissingTest : public TestHome {};

TEST_F(CatalogMissingTest, EachUnusableCatalogGivesItsErrorLineAndTheSignal) {
    enum class Home { Missing, Empty, NoEntryLine, Usable, UsableCrLf, FilledLater };
    struct Row {
        Home home;
        const char* content;   // of the module directory's catalog
        const char* homeLine;  // the error line about it; null when none
        bool usable;
    };
    const char* kNotFound = ") not found. Creating an empty file.\n";
    const char* kNoMessages = ") holds no messages.\n";
    const Row rows[] = {
        {Home::Missing, nullptr, kNotFound, false},
        {Home::Empty, "", kNoMessages, false},
        {Home::NoEntryLine, "# agentEventInfNoControllers=x\n \tindented=x\n\r\n\n", kNoMessages,
         false},
        {Home::Usable, "#\nagentEventInfNoControllers=No controller.\n", nullptr, true},
        {Home::UsableCrLf, "k=v\r\n", nullptr, true},
        {Home::FilledLater, "", kNoMessages, true},
    };
    const std::string prefix = "ERROR: BaseRaidMonitor::BaseRaidMonitor() NLS File (";
    const std::string beside = port::libraryDirectory() + "RaidNLS.properties";
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.home));
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
        if (row.home == Home::FilledLater) {
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
