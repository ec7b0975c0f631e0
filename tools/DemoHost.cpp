// The demo host: plays a scenario against the monitor as a storage agent would, printing
// every event it pulls. Without a file it plays its embedded default scenario. The monitor's
// files go to TLXVL_HOME when that is set, else to the --home directory or a new temporary
// one, which gets the shipped catalog from beside the library.
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

// The home of the monitor's files: TLXVL_HOME as the user set it, else the directory named
// (created when missing) or a fresh temporary one, given the catalog the build put beside
// the library and settings that turn on the event log and the trace lines.
bool prepareHome(std::string home) {
    const char* set = std::getenv("TLXVL_HOME");
    if (set != nullptr && set[0] != '\0') {
        return true;
    }
    const std::string catalog = port::moduleDirectory() + "RaidNLS.properties";
    std::error_code error;
    if (home.empty()) {
        home = port::makeTemporaryDirectory("tlxvl-demo-");
    } else if (fs::create_directories(home, error), error) {
        home.clear();
    }
    if (home.empty()) {
        std::cerr << "tlxvl-demo: cannot create a directory for the monitor's files\n";
        return false;
    }
    if (home.back() != '/') {
        home += '/';
    }
    fs::copy_file(catalog, home + "RaidNLS.properties", fs::copy_options::overwrite_existing,
                  error);
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
    std::string home;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--home" && i + 1 < argc) {
            home = argv[++i];
        } else if (file.empty() && arg.compare(0, 2, "--") != 0) {
            file = arg;
        } else {
            std::cerr << "usage: tlxvl-demo [--home DIR] [scenario-file]\n";
            return 2;
        }
    }
    std::string scenario = ScenarioRunner::defaultScenario();
    if (!file.empty()) {
        if (!fs::exists(file)) {
            std::cerr << "tlxvl-demo: no scenario file " << file << "\n";
            return 2;
        }
        scenario = readAll(file);
    }
    if (!prepareHome(home)) {
        return 1;
    }
    ScenarioRunner runner;
    if (!runner.load(scenario)) {
        std::cerr << "tlxvl-demo: " << runner.error() << "\n";
        return 2;
    }
    home = port::moduleDirectory();
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
