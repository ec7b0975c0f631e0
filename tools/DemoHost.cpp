// The demo host: plays a scenario against the monitor as a storage agent would, printing
// every event it pulls. Without an argument it plays its embedded default scenario; with
// one, the scenario file named. The monitor's files go to TLXVL_HOME when that is set, else
// to a new temporary directory, which gets the shipped catalog from beside the library.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "events/TLXEvent.h"
#include "port/FileSystem.h"
#include "port/ModuleDirectory.h"
#include "tools/ScenarioRunner.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh home for the monitor's files, with the catalog the build put beside the library
// and settings that turn on the event log and the trace lines.
bool prepareHome() {
    const char* set = std::getenv("TLXVL_HOME");
    if (set != nullptr && set[0] != '\0') {
        return true;
    }
    std::string catalog = port::moduleDirectory() + "RaidNLS.properties";
    std::string home = port::makeTemporaryDirectory("tlxvl-demo-");
    if (home.empty()) {
        std::cerr << "tlxvl-demo: cannot create a directory for the monitor's files\n";
        return false;
    }
    std::error_code error;
    fs::copy_file(catalog, home + "RaidNLS.properties", error);
    if (error) {
        std::cerr << "tlxvl-demo: no catalog at " << catalog << ": " << error.message() << "\n";
        return false;
    }
    std::ofstream(home + "TLXConfig.ini") << "tlx.eventQueueSize=500\ntlx.debugMask=2\n";
    port::setModuleDirectory(home);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: tlxvl-demo [scenario-file]\n";
        return 2;
    }
    std::string scenario = ScenarioRunner::defaultScenario();
    if (argc == 2) {
        if (!fs::exists(argv[1])) {
            std::cerr << "tlxvl-demo: no scenario file " << argv[1] << "\n";
            return 2;
        }
        scenario = readAll(argv[1]);
    }
    if (!prepareHome()) {
        return 1;
    }
    ScenarioRunner runner;
    if (!runner.load(scenario)) {
        std::cerr << "tlxvl-demo: " << runner.error() << "\n";
        return 2;
    }
    std::string home = port::moduleDirectory();
    std::cout << "tlxvl-demo: monitor files in " << home << "\n";
    int events = runner.run([](const TLXEvent& event) {
        std::cout << event.toString() << "\n";
        std::cout.flush();
    });
    if (!runner.error().empty()) {
        std::cerr << "tlxvl-demo: " << runner.error() << "\n";
        return 1;
    }
    std::cout << "tlxvl-demo: " << events << " event(s); snapshot "
              << (fs::exists(home + "TLXVLConfig.xml") ? home + "TLXVLConfig.xml" : "not written")
              << "; debug log " << home << "kvorlogs/TLXVLDebug.log\n";
    return 0;
}
