// The demo host: plays a scenario against the monitor as a storage agent would and prints
// every event it pulls, marked with its run and phase (the start-of-run report or live).
// Without a file it plays its embedded default scenario. The monitor's files go to
// TLXVL_HOME when that is set, else to the --home directory (kept, so a later invocation
// compares against the snapshot left there) or a temporary one removed at exit.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "events/TLXEvent.h"
#include "port/FileSystem.h"
#include "port/ModuleDirectory.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"
#include "tools/ConfigurationPrinter.h"
#include "tools/ScenarioRunner.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kVersion = "tlxvl-demo 0.1.0";
constexpr const char* kUsage =
    "usage: tlxvl-demo [--home DIR] [--format text|jsonl] [--debug 0|1|2] [scenario-file]\n"
    "       tlxvl-demo show [--scenario FILE | --snapshot FILE]\n"
    "       tlxvl-demo --help | --version\n"
    "Plays a scenario (the embedded default one without a file) against the RAID monitor and\n"
    "prints every event the monitor reports; show prints a scenario's hardware (the default\n"
    "one without a file) or a snapshot file as a tree. Exit status: 0 done, 1 failure, 2 bad "
    "arguments\n"
    "or a bad scenario.\n";

std::atomic<bool> gInterrupted{false};

extern "C" void onSignal(int) {
    gInterrupted = true;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The home of the monitor's files: TLXVL_HOME as the user set it, else the directory named
// (created when missing) or a fresh temporary one (removed at exit), given the catalog the
// build put beside the library and settings for the event log and the chosen debug level.
class Home {
public:
    bool prepare(std::string home, int debugLevel) {
        const char* set = std::getenv("TLXVL_HOME");
        if (set != nullptr && set[0] != '\0') {
            return true;
        }
        const std::string catalog = port::moduleDirectory() + "RaidNLS.properties";
        std::error_code error;
        if (home.empty()) {
            home = port::makeTemporaryDirectory("tlxvl-demo-");
            temporary_ = home;
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
        std::ofstream(home + "TLXConfig.ini")
            << "tlx.eventQueueSize=500\ntlx.debugMask=" << debugLevel << "\n";
        port::setModuleDirectory(home);
        return true;
    }
    ~Home() {
        if (!temporary_.empty()) {
            std::error_code ignored;
            fs::remove_all(temporary_, ignored);
        }
    }
    bool isTemporary() const { return !temporary_.empty(); }

private:
    std::string temporary_;
};

const char* phaseName(ScenarioRunner::Phase phase) {
    return phase == ScenarioRunner::Phase::StartOfRun ? "start-of-run" : "live";
}

nlohmann::json toJson(int run, ScenarioRunner::Phase phase, const TLXEvent& e) {
    const auto id = [](uint32_t value) -> nlohmann::json {
        return value == Addr::kUnset ? nlohmann::json() : nlohmann::json(value);
    };
    const auto number = [](int value) -> nlohmann::json {
        return value == 0x7FFFFFFF ? nlohmann::json() : nlohmann::json(value);
    };
    return {{"run", run},
            {"phase", phaseName(phase)},
            {"time", e.getEventTime()},
            {"code", e.getEventCode()},
            {"type", e.getEventType()},
            {"identifier", e.getIndentifier()},
            {"objectType", static_cast<int>(e.getObjectType())},
            {"text", e.getEventDesc()},
            {"adapterID", id(e.getAdapterID())},
            {"arrayID", id(e.getArrayID())},
            {"logicalDriveID", id(e.getLogicalDriveID())},
            {"channelID", id(e.getChannelID())},
            {"deviceID", id(e.getDeviceID())},
            {"lun", number(e.getLun())},
            {"fan", number(e.getFan())},
            {"powerSupply", number(e.getPowerSupply())},
            {"percentComplete", number(e.getPercentCompleted())},
            {"fru", e.getFru()},
            {"adapterSerial", e.getAdapterSerial()},
            {"driveSerial", e.getHardDriveSerialNumber()},
            {"enclosureModel", e.getEnclosureModel()}};
}

// "show": the hardware of a scenario, or what a snapshot file stores, as a tree.
int show(int argc, char** argv) {
    if (argc == 2 || (argc == 4 && std::string(argv[2]) == "--scenario")) {
        ScenarioRunner runner;
        const std::string name = argc == 4 ? argv[3] : "default scenario";
        std::error_code error;
        if (argc == 4 && !fs::is_regular_file(name, error)) {
            std::cerr << "tlxvl-demo: no scenario file " << name << "\n";
            return 2;
        }
        if (!runner.load(argc == 4 ? readAll(name) : ScenarioRunner::defaultScenario(), name)) {
            std::cerr << "tlxvl-demo: " << runner.error() << "\n";
            return 2;
        }
        ConfigurationPrinter::print(runner.library().getHardwareModel(), std::cout);
        return 0;
    }
    if (argc == 4 && std::string(argv[2]) == "--snapshot") {
        std::error_code error;
        if (!fs::is_regular_file(argv[3], error)) {
            std::cerr << "tlxvl-demo: no snapshot file " << argv[3] << "\n";
            return 2;
        }
        TLXConfigBuilder snapshot(argv[3]);
        snapshot.readXML();
        if (!snapshot.wasReadWhole()) {
            std::cerr << "tlxvl-demo: " << argv[3] << " is not a whole snapshot\n";
            return 2;
        }
        ConfigurationPrinter::print(snapshot.getSystem(), std::cout);
        return 0;
    }
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "show") {
        return show(argc, argv);
    }
    std::string home;
    std::string file;
    std::string format = "text";
    int debugLevel = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--version") {
            std::cout << kVersion << "\n";
            return 0;
        } else if (arg == "--home" && hasValue) {
            home = argv[++i];
        } else if (arg == "--format" && hasValue) {
            format = argv[++i];
        } else if (arg == "--debug" && hasValue) {
            const std::string level = argv[++i];
            debugLevel =
                level.size() == 1 && level[0] >= '0' && level[0] <= '2' ? level[0] - '0' : -1;
        } else if (file.empty() && arg.compare(0, 1, "-") != 0) {
            file = arg;
        } else {
            std::cerr << "tlxvl-demo: unknown or incomplete argument \"" << arg << "\"\n" << kUsage;
            return 2;
        }
    }
    if ((format != "text" && format != "jsonl") || debugLevel < 0) {
        std::cerr << "tlxvl-demo: --format is text or jsonl, --debug is 0, 1 or 2\n" << kUsage;
        return 2;
    }
    std::string scenario = ScenarioRunner::defaultScenario();
    std::string scenarioName = "default scenario";
    if (!file.empty()) {
        std::error_code error;
        if (!fs::is_regular_file(file, error)) {
            std::cerr << "tlxvl-demo: no scenario file " << file << "\n";
            return 2;
        }
        scenario = readAll(file);
        scenarioName = file;
    }
    ScenarioRunner runner;
    if (!runner.load(scenario, scenarioName)) {
        std::cerr << "tlxvl-demo: " << runner.error() << "\n";
        return 2;
    }
    Home monitorHome;
    if (!monitorHome.prepare(home, debugLevel)) {
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    runner.interrupted = [] { return gInterrupted.load(); };

    const bool json = format == "jsonl";
    const std::string dir = port::moduleDirectory();
    if (!json) {
        std::cout << "tlxvl-demo: " << scenarioName << ", " << runner.runCount()
                  << " run(s); monitor files in " << dir
                  << (monitorHome.isTemporary() ? " (removed at exit)" : "") << "\n";
    }
    std::map<int, std::pair<int, int>> perRun;  // run -> (start-of-run, live) counts
    const int events = runner.run(
        [&](int run, ScenarioRunner::Phase phase, const TLXEvent& event) {
            auto& counts = perRun[run];
            (phase == ScenarioRunner::Phase::StartOfRun ? counts.first : counts.second) += 1;
            if (json) {
                std::cout << toJson(run, phase, event).dump() << "\n";
            } else {
                std::cout << "[run " << run << " " << phaseName(phase) << "] " << event.toString()
                          << "\n";
            }
            std::cout.flush();
        },
        [&](const std::string& note) {
            if (!json) {
                std::cout << "-- " << note << "\n";
                std::cout.flush();
            }
        });
    if (!json) {
        for (const auto& [run, counts] : perRun) {
            std::cout << "tlxvl-demo: run " << run << ": " << counts.first
                      << " start-of-run event(s), " << counts.second << " live event(s)\n";
        }
        std::cout << "tlxvl-demo: " << events << " event(s)"
                  << (gInterrupted ? ", interrupted" : "");
        if (!monitorHome.isTemporary()) {
            std::cout << "; snapshot " << dir << "TLXVLConfig.xml, debug log " << dir
                      << "kvorlogs/TLXVLDebug.log";
        }
        std::cout << "\n";
    }
    return 0;
}
