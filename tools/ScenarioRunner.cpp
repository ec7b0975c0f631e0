#include "tools/ScenarioRunner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <thread>

#include "monitor/VelmarMonitor.h"

namespace {

std::vector<std::string> split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

std::string join(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

// "name=value" options after the positional words.
std::string option(const std::vector<std::string>& words, const std::string& name,
                   const std::string& fallback = "") {
    for (const std::string& word : words) {
        if (word.compare(0, name.size() + 1, name + "=") == 0) {
            return word.substr(name.size() + 1);
        }
    }
    return fallback;
}

bool number(const std::string& text, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0' && value >= 0 && value < 0x7FFFFFFF;
}

// The positional numbers words[first .. first + count - 1].
bool numbers(const std::vector<std::string>& words, size_t first, size_t count,
             std::vector<uint32_t>& out) {
    if (words.size() < first + count) {
        return false;
    }
    out.clear();
    for (size_t i = first; i < first + count; ++i) {
        long value = 0;
        if (!number(words[i], value)) {
            return false;
        }
        out.push_back(static_cast<uint32_t>(value));
    }
    return true;
}

struct Named {
    const char* name;
    int value;
};

constexpr Named kDriveStates[] = {
    {"ready", PD_STATE_READY},        {"online", PD_STATE_ONLINE},
    {"defunct", PD_STATE_DEFUNCT},    {"rebuilding", PD_STATE_REBUILDING},
    {"hotspare", PD_STATE_HOT_SPARE}, {"raw", PD_STATE_RAW},
    {"standby", PD_STATE_STANDBY},    {"missing", PD_STATE_NOT_PRESENT},
};
constexpr Named kLogicalStates[] = {
    {"offline", LD_STATE_OFFLINE},   {"okay", LD_STATE_OKAY},
    {"critical", LD_STATE_CRITICAL}, {"recovering", LD_STATE_RECOVERING},
    {"degraded", LD_STATE_DEGRADED},
};
constexpr Named kChannelTypes[] = {
    {"scsi", CHANNEL_TYPE_SCSI},
    {"sata", CHANNEL_TYPE_SATA},
    {"sas", CHANNEL_TYPE_SAS},
};
constexpr Named kBatteryStates[] = {
    {"none", BATTERY_STATUS_NONE},
    {"charging", BATTERY_STATUS_CHARGING},
    {"missing", BATTERY_STATUS_NOT_INSTALLED},
    {"ok", BATTERY_STATUS_OK},
    {"new", BATTERY_STATUS_NEW},
    {"charged", BATTERY_STATUS_FULLY_CHARGED},
    {"low", BATTERY_STATUS_LOW},
    {"reconditioning", BATTERY_STATUS_RECONDITIONING},
};
constexpr Named kFanCodes[] = {
    {"ok", SAFTE_FAN_OPERATIONAL},
    {"failed", SAFTE_FAN_MALFUNCTIONING},
    {"missing", SAFTE_FAN_NOT_INSTALLED},
};
constexpr Named kSupplyCodes[] = {
    {"ok", SAFTE_PS_OPERATIONAL_ON},
    {"failed", SAFTE_PS_MALFUNCTIONING_ON},
    {"missing", SAFTE_PS_NOT_PRESENT},
};
constexpr Named kTaskTypes[] = {
    {"none", TASK_TYPE_NONE},           {"build", TASK_TYPE_BUILD},
    {"clear", TASK_TYPE_CLEAR},         {"verify", TASK_TYPE_VERIFY},
    {"sync", TASK_TYPE_SYNC},           {"rebuild", TASK_TYPE_REBUILD},
    {"migration", TASK_TYPE_MIGRATION}, {"copyback", TASK_TYPE_COPY_BACK},
    {"expansion", TASK_TYPE_EXPANSION}, {"mediascan", TASK_TYPE_MEDIA_SCAN},
};
constexpr Named kTaskStates[] = {
    {"idle", TASK_STATE_NOT_RUNNING}, {"completed", TASK_STATE_COMPLETED},
    {"running", TASK_STATE_RUNNING},  {"failed", TASK_STATE_FAILED},
    {"paused", TASK_STATE_PAUSED},    {"stopped", TASK_STATE_STOPPED},
};

template <size_t N>
bool lookup(const Named (&table)[N], const std::string& name, int& value) {
    for (const Named& row : table) {
        if (name == row.name) {
            value = row.value;
            return true;
        }
    }
    return false;
}

template <size_t N>
std::string names(const Named (&table)[N]) {
    std::string text;
    for (const Named& row : table) {
        text += (text.empty() ? "" : "|") + std::string(row.name);
    }
    return text;
}

}  // namespace

const char* ScenarioRunner::defaultScenario() {
    return "# Two controllers: a Pell controller with SAS drives and an enclosure with four fans\n"
           "# and two power supplies holding a RAID 5 array, and an Omdi controller with SATA\n"
           "# drives holding a RAID 1 mirror.\n"
           "controller 0 serial=VLM-A0001 family=pell slot=3 battery=ok\n"
           "channel 0 0 type=sas\n"
           "drive 0 0 0 wwn=5000C50012345670 fru=49Y1866\n"
           "drive 0 0 1 wwn=5000C50012345671 fru=49Y1866\n"
           "drive 0 0 2 wwn=5000C50012345672 fru=49Y1866\n"
           "drive 0 0 3 wwn=5000C50012345673 fru=49Y1866 state=hotspare\n"
           "enclosure 0 0 15 fans=4 supplies=2\n"
           "logical 0 0 level=5 size=7340032\n"
           "controller 1 serial=VLM-B0002 family=omdi slot=4\n"
           "channel 1 0 type=sata ports=4\n"
           "drive 1 0 0 port=0\n"
           "drive 1 0 1 port=1\n"
           "logical 1 0 level=1 size=953869\n"
           "\n"
           "# Run 1: no snapshot yet. Then the controllers log what happens: a drive fails, the\n"
           "# hot spare takes its place and a rebuild runs, a fan fails.\n"
           "run\n"
           "at 2 drive-state 0 0 1 defunct\n"
           "at 2 logical-state 0 0 critical\n"
           "at 3 task 0 0 rebuild running 5\n"
           "at 5 fan 0 0 15 2 failed\n"
           "at 6 task 0 0 rebuild running 40\n"
           "at 8 task 0 0 rebuild running 75\n"
           "at 11 stop\n"
           "\n"
           "# While no monitor runs: the rebuild completes and the array recovers, the failed\n"
           "# drive is pulled, the mirror loses a drive, a power supply and another fan fail.\n"
           "while-stopped task 0 0 rebuild completed 100\n"
           "while-stopped logical-state 0 0 okay\n"
           "while-stopped remove-drive 0 0 1\n"
           "while-stopped drive-state 1 0 1 defunct\n"
           "while-stopped logical-state 1 0 critical\n"
           "while-stopped supply 0 0 15 1 failed\n"
           "while-stopped fan 0 0 15 3 failed\n"
           "\n"
           "# Run 2 reports exactly those changes from the snapshot run 1 left.\n"
           "run\n"
           "at 3 stop\n";
}

bool ScenarioRunner::load(const std::string& text, const std::string& name) {
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    std::vector<std::vector<std::string>> whileStopped;
    bool inRun = false;
    auto fail = [&](const std::string& why) {
        error_ = name + ":" + std::to_string(lineNumber) + ": " + why + ": \"" + line + "\"";
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNumber;
        std::vector<std::string> words = split(line);
        if (words.empty() || words[0][0] == '#') {
            continue;
        }
        std::string why;
        if (words[0] == "run") {
            runs_.push_back({std::move(whileStopped), {}, 0});
            whileStopped.clear();
            inRun = true;
        } else if (words[0] == "at") {
            long second = 0;
            if (words.size() < 3 || !number(words[1], second)) {
                return fail("expected \"at SECOND change\"");
            }
            if (!inRun) {
                if (!runs_.empty()) {
                    return fail("a timed step after a run's stop needs a \"run\" line first");
                }
                runs_.push_back({std::move(whileStopped), {}, 0});
                whileStopped.clear();
                inRun = true;
            }
            std::vector<std::string> change(words.begin() + 2, words.end());
            if (change[0] != "stop" && !applyChange(change, why)) {
                return fail(why);
            }
            Run& run = runs_.back();
            run.steps.push_back({static_cast<int>(second), change});
            run.stopSecond = std::max(run.stopSecond, static_cast<int>(second));
            if (change[0] == "stop") {
                inRun = false;
            }
        } else if (words[0] == "while-stopped") {
            std::vector<std::string> change(words.begin() + 1, words.end());
            if (change.empty() || change[0] == "stop" || !applyChange(change, why)) {
                return fail(why.empty() ? "expected \"while-stopped change\"" : why);
            }
            if (inRun) {
                return fail("the run before needs an \"at SECOND stop\" line first");
            }
            whileStopped.push_back(change);
        } else if (!runs_.empty() || !whileStopped.empty()) {
            return fail("hardware lines come before the first run");
        } else if (!applyHardware(words, why)) {
            return fail(why);
        }
    }
    if (!whileStopped.empty()) {
        error_ = name + ": changes made while stopped need a \"run\" after them to be seen";
        return false;
    }
    if (runs_.empty()) {
        runs_.push_back({{}, {}, 3});  // hardware only: one short run reports its state
    }
    return true;
}

bool ScenarioRunner::applyHardware(const std::vector<std::string>& w, std::string& why) {
    ModelBuilder build(library_.getHardwareModel());
    std::vector<uint32_t> n;
    int value = 0;
    long parsed = 0;
    if (w[0] == "controller" && numbers(w, 1, 1, n)) {
        const std::string family = option(w, "family", "pell");
        if (family != "pell" && family != "omdi" && family != "plain") {
            why = "family is pell, omdi or plain";
            return false;
        }
        if (!lookup(kBatteryStates, option(w, "battery", "none"), value)) {
            why = "battery is " + names(kBatteryStates);
            return false;
        }
        Adapter* adapter = build.adapter(n[0], option(w, "serial"),
                                         family == "omdi"   ? ModelBuilder::Family::Omdi
                                         : family == "pell" ? ModelBuilder::Family::Pell
                                                            : ModelBuilder::Family::Plain);
        adapter->setDeviceVendor(option(w, "vendor", "VELMAR"));
        adapter->setDeviceName(option(w, "name", "RAID Controller"));
        adapter->setLimit(LIMIT_MAX_LOGICAL_DRIVES, 31);
        if (number(option(w, "slot"), parsed)) {
            build.slot(adapter, static_cast<int>(parsed));
        }
        build.battery(adapter, static_cast<EnumBatteryStatus>(value));
        return true;
    }
    if (w[0] == "channel" && numbers(w, 1, 2, n)) {
        Adapter* adapter = findAdapter(n[0]);
        if (adapter == nullptr || !lookup(kChannelTypes, option(w, "type", "scsi"), value)) {
            why = adapter == nullptr ? "no such controller" : "type is " + names(kChannelTypes);
            return false;
        }
        if (value == CHANNEL_TYPE_SATA) {
            build.sataChannel(adapter, n[1], number(option(w, "ports", "4"), parsed) ? parsed : 4);
        } else {
            build.channel(adapter, n[1], static_cast<EnumChannelType>(value));
        }
        return true;
    }
    if ((w[0] == "drive" || w[0] == "enclosure") && numbers(w, 1, 3, n)) {
        Channel* channel = findChannel(n[0], n[1]);
        if (channel == nullptr) {
            why = "no such controller and channel";
            return false;
        }
        const std::string where =
            std::to_string(n[0]) + "-" + std::to_string(n[1]) + "-" + std::to_string(n[2]);
        if (w[0] == "enclosure") {
            long fans = 2, supplies = 2;
            if (!number(option(w, "fans", "2"), fans) || fans > 32 ||
                !number(option(w, "supplies", "2"), supplies) || supplies > 32) {
                why = "fans and supplies are 0 to 32";
                return false;
            }
            Enclosure* enclosure = build.enclosure(channel, n[2], static_cast<uint16_t>(fans),
                                                   static_cast<uint16_t>(supplies));
            enclosure->setVendor(option(w, "vendor", "VELMAR"));
            enclosure->setModel(option(w, "model", "EXP-12S"));
            enclosure->setSerialNumber(option(w, "serial", "ENC" + where));
            return true;
        }
        if (!lookup(kDriveStates, option(w, "state", "online"), value)) {
            why = "state is " + names(kDriveStates);
            return false;
        }
        HardDrive* drive = build.drive(channel, n[2], static_cast<EnumPhysicalDeviceState>(value));
        if (!build.wwn(drive, option(w, "wwn", "0000000000000000"))) {
            why = "wwn is 16 hexadecimal digits";
            return false;
        }
        drive->setVendor(option(w, "vendor", "QEB-LMD"));
        drive->setModel(option(w, "model", "ST9146803SS"));
        drive->setSerialNumber(option(w, "serial", "SN" + where));
        build.fru(drive, option(w, "fru"));
        if (number(option(w, "port"), parsed)) {
            build.sataPort(drive, static_cast<uint32_t>(parsed));
        }
        return true;
    }
    if (w[0] == "logical" && numbers(w, 1, 2, n)) {
        Adapter* adapter = findAdapter(n[0]);
        long level = 5, size = 0;
        if (adapter == nullptr || !number(option(w, "level", "5"), level) ||
            !number(option(w, "size", "0"), size) ||
            !lookup(kLogicalStates, option(w, "state", "okay"), value)) {
            why = adapter == nullptr ? "no such controller"
                                     : "expected level=N size=N state=" + names(kLogicalStates);
            return false;
        }
        build.logicalDrive(adapter, n[1], static_cast<EnumLogicalDeviceState>(value),
                           static_cast<EnumRaidLevel>(level), static_cast<uint64_t>(size));
        return true;
    }
    why = "not a hardware line (controller, channel, drive, enclosure, logical) with its numbers";
    return false;
}

// Applies one change to the library's model when `apply` is set; otherwise only checks its
// words. Changes that a controller notices log the record it would log.
bool ScenarioRunner::applyChange(const std::vector<std::string>& w, std::string& why) {
    std::vector<uint32_t> n;
    int value = 0;
    const std::string& kind = w[0];
    const bool check = !applying_;
    if (kind == "drive-state" && numbers(w, 1, 3, n) && w.size() == 5) {
        if (!lookup(kDriveStates, w[4], value)) {
            why = "drive state is " + names(kDriveStates);
            return false;
        }
        return check || library_.setDriveState(n[0], n[1], n[2],
                                               static_cast<EnumPhysicalDeviceState>(value));
    }
    if (kind == "logical-state" && numbers(w, 1, 2, n) && w.size() == 4) {
        if (!lookup(kLogicalStates, w[3], value)) {
            why = "logical drive state is " + names(kLogicalStates);
            return false;
        }
        return check || library_.setLogicalDriveState(n[0], n[1],
                                                      static_cast<EnumLogicalDeviceState>(value));
    }
    if ((kind == "fan" || kind == "supply") && numbers(w, 1, 4, n) && w.size() == 6) {
        if (!lookup(kind == "fan" ? kFanCodes : kSupplyCodes, w[5], value)) {
            why = kind + " code is ok|failed|missing";
            return false;
        }
        if (kind == "fan") {
            return check || library_.setFanStatus(n[0], n[1], n[2], n[3],
                                                  static_cast<EnumSAFTEFanStatusCodes>(value));
        }
        return check ||
               library_.setPowerSupplyStatus(n[0], n[1], n[2], n[3],
                                             static_cast<EnumSAFTEPowerSupplyStatusCodes>(value));
    }
    if (kind == "task" && numbers(w, 1, 2, n) && w.size() == 6) {
        int state = 0;
        long percent = 0;
        if (!lookup(kTaskTypes, w[3], value) || !lookup(kTaskStates, w[4], state) ||
            !number(w[5], percent) || percent > 100) {
            why = "expected task CONTROLLER LOGICAL " + names(kTaskTypes) + " " +
                  names(kTaskStates) + " PERCENT";
            return false;
        }
        return check ||
               applyTask(n[0], n[1], static_cast<EnumTaskType>(value),
                         static_cast<EnumTaskState>(state), static_cast<uint32_t>(percent));
    }
    if (kind == "remove-drive" && numbers(w, 1, 3, n) && w.size() == 4) {
        return check || library_.removeDrive(n[0], n[1], n[2]);
    }
    if ((kind == "battery" || kind == "controller-serial") && numbers(w, 1, 1, n) &&
        w.size() == 3) {
        if (kind == "battery" && !lookup(kBatteryStates, w[2], value)) {
            why = "battery is " + names(kBatteryStates);
            return false;
        }
        if (check) {
            return true;
        }
        // The controller logs nothing for these; the next run's comparison finds them.
        std::lock_guard<port::Mutex> lock(library_.modelMutex());
        Adapter* adapter = findAdapter(n[0]);
        if (adapter != nullptr && kind == "battery") {
            adapter->setBatStatus(static_cast<EnumBatteryStatus>(value));
        } else if (adapter != nullptr) {
            adapter->setSerialNumString(w[2]);
        }
        return adapter != nullptr;
    }
    if (kind == "record" && numbers(w, 1, 1, n)) {
        RaidEvent record;
        for (size_t i = 2; i < w.size(); ++i) {
            const std::string::size_type eq = w[i].find('=');
            if (eq == std::string::npos || eq == 0) {
                why = "record attributes are name=value";
                return false;
            }
            record.set(w[i].substr(0, eq), w[i].substr(eq + 1));
        }
        if (!check) {
            library_.appendEvent(n[0], record);
        }
        return true;
    }
    why =
        "not a change (drive-state, logical-state, fan, supply, task, remove-drive, battery, "
        "controller-serial, record) with its numbers";
    return false;
}

// While a monitor runs, the controller logs a task's start and end as they happen; while
// none runs, the task is left as the controller would show it at the next start (a
// finished task keeps its end state until it is looked at).
bool ScenarioRunner::applyTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type,
                               EnumTaskState state, uint32_t percent) {
    if (!live_ || type == TASK_TYPE_NONE || state == TASK_STATE_NOT_RUNNING) {
        return library_.setTask(adapterID, logicalDriveID, type, state, percent);
    }
    Progress now;
    {
        std::lock_guard<port::Mutex> lock(library_.modelMutex());
        RaidObject* drive = library_.getHardwareModel()->getObject(
            adapterID, Addr::kUnset, logicalDriveID, Addr::kUnset, Addr::kUnset);
        if (drive == nullptr || !drive->isInstanceOf("LogicalDrive")) {
            return false;
        }
        static_cast<LogicalDrive*>(drive)->getProgress(now);
    }
    const bool running = now.getType() == type && now.getStatus() == TASK_STATE_RUNNING;
    if (state != TASK_STATE_RUNNING) {
        return running ? library_.endTask(adapterID, logicalDriveID, state)
                       : library_.setTask(adapterID, logicalDriveID, type, state, percent);
    }
    if (!running && !library_.startTask(adapterID, logicalDriveID, type)) {
        return library_.setTask(adapterID, logicalDriveID, type, state, percent);
    }
    return library_.setTaskProgress(adapterID, logicalDriveID, percent);
}

Adapter* ScenarioRunner::findAdapter(uint32_t id) {
    FilterCollection adapters(library_.getHardwareModel());
    adapters.apply("Adapter", false);
    for (int i = 0; i < adapters.size(); ++i) {
        auto* adapter = static_cast<Adapter*>(adapters.elementAt(i));
        if (adapter != nullptr && adapter->getAdapterID() == id) {
            return adapter;
        }
    }
    return nullptr;
}

Channel* ScenarioRunner::findChannel(uint32_t adapterID, uint32_t channelID) {
    Adapter* adapter = findAdapter(adapterID);
    RaidObject* channel =
        adapter != nullptr
            ? adapter->getObject(adapterID, Addr::kUnset, Addr::kUnset, channelID, Addr::kUnset)
            : nullptr;
    return channel != nullptr && channel->isInstanceOf("Channel") ? static_cast<Channel*>(channel)
                                                                  : nullptr;
}

int ScenarioRunner::playRun(int index, const Run& run, const EventSink& sink,
                            const NoteSink& note) {
    std::mutex output;  // the puller and this thread both print
    auto say = [&](const std::string& text) {
        std::lock_guard<std::mutex> lock(output);
        note(text);
    };
    applying_ = true;
    live_ = false;
    for (const std::vector<std::string>& change : run.whileStopped) {
        std::string why;
        say(applyChange(change, why) ? "while stopped: " + join(change)
                                     : "while stopped, not applied: " + join(change));
    }

    VelmarMonitor monitor(&library_);
    std::thread loop([&monitor] { monitor.start(); });
    std::atomic<bool> live{false};
    std::atomic<bool> ended{false};
    std::atomic<int> pulled{0};
    auto drain = [&] {
        for (const TLXEvent& event : monitor.getEvents(0)) {
            std::lock_guard<std::mutex> lock(output);
            sink(index, live ? Phase::Live : Phase::StartOfRun, event);
            ++pulled;
        }
    };
    // The host's own thread pulls events as they come, as an agent would.
    std::thread puller([&] {
        while (!ended) {
            drain();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    // A stop() that came before the loop began would be lost: wait until it polls.
    for (int i = 0; i < 500 && !monitor.isPollingEnabled(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    say("run " + std::to_string(index) + ": monitor started");

    const auto begin = std::chrono::steady_clock::now();
    for (int second = 0; second <= run.stopSecond && !interrupted(); ++second) {
        const auto due = begin + std::chrono::seconds(second);
        while (std::chrono::steady_clock::now() < due && !interrupted()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (interrupted()) {
            break;
        }
        for (const Step& step : run.steps) {
            if (step.second != second || step.words[0] == "stop") {
                continue;
            }
            live = true;
            live_ = true;
            std::string why;
            say("run " + std::to_string(index) + ", " + std::to_string(second) +
                "s: " + (applyChange(step.words, why) ? "" : "not applied: ") + join(step.words));
        }
    }
    monitor.stop();
    loop.join();
    ended = true;
    puller.join();
    drain();
    applying_ = false;
    return pulled;
}

int ScenarioRunner::run(const EventSink& sink, const NoteSink& note) {
    int pulled = 0;
    for (size_t i = 0; i < runs_.size() && !interrupted(); ++i) {
        pulled += playRun(static_cast<int>(i + 1), runs_[i], sink, note);
    }
    return pulled;
}
