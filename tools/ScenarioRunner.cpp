#include "tools/ScenarioRunner.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
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
    return *end == '\0';
}

struct Named {
    const char* name;
    int value;
};

constexpr Named kDriveStates[] = {
    {"ready", PD_STATE_READY},        {"online", PD_STATE_ONLINE},
    {"defunct", PD_STATE_DEFUNCT},    {"rebuilding", PD_STATE_REBUILDING},
    {"hotspare", PD_STATE_HOT_SPARE},
};
constexpr Named kLogicalStates[] = {
    {"okay", LD_STATE_OKAY},
    {"critical", LD_STATE_CRITICAL},
    {"offline", LD_STATE_OFFLINE},
    {"degraded", LD_STATE_DEGRADED},
};
constexpr Named kChannelTypes[] = {
    {"scsi", CHANNEL_TYPE_SCSI},
    {"sata", CHANNEL_TYPE_SATA},
    {"sas", CHANNEL_TYPE_SAS},
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

}  // namespace

const char* ScenarioRunner::defaultScenario() {
    return "# Two controllers, each with drives and logical drives.\n"
           "controller 0 serial=VLM-A0001 family=pell\n"
           "channel 0 0 type=scsi\n"
           "drive 0 0 0\n"
           "drive 0 0 1\n"
           "drive 0 0 2\n"
           "drive 0 0 3 state=hotspare\n"
           "logical 0 0 level=5\n"
           "controller 1 serial=VLM-B0002 family=omdi\n"
           "channel 1 0 type=sas\n"
           "drive 1 0 0\n"
           "drive 1 0 1\n"
           "logical 1 0 level=1\n"
           "# The controllers log what happens to them.\n"
           "at 1 record 0 eventCode=304 eventType=1 logicalDriveID=0\n"
           "at 2 drive-state 0 0 1 defunct\n"
           "at 2 logical-state 0 0 critical\n"
           "at 3 record 1 eventCode=217 eventType=1\n"
           "at 4 record 0 eventCode=305 eventType=1 logicalDriveID=0\n"
           "at 6 stop\n";
}

bool ScenarioRunner::load(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::vector<std::string> words = split(line);
        if (words.empty() || words[0][0] == '#') {
            continue;
        }
        bool ok = true;
        if (words[0] == "at") {
            long second = 0;
            ok = words.size() >= 3 && number(words[1], second) && second >= 0;
            if (ok) {
                steps_.push_back({static_cast<int>(second), {words.begin() + 2, words.end()}});
                endSecond_ = std::max(endSecond_, static_cast<int>(second));
            }
        } else {
            ok = applyHardware(words);
        }
        if (!ok) {
            error_ = "line " + std::to_string(lineNumber) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

bool ScenarioRunner::applyHardware(const std::vector<std::string>& w) {
    System* model = library_.getHardwareModel();
    long a = 0, b = 0, c = 0;
    if (w[0] == "controller" && w.size() >= 2 && number(w[1], a)) {
        std::string family = option(w, "family", "pell");
        Adapter* adapter = family == "omdi"   ? new OmdiAdapter()
                           : family == "pell" ? static_cast<Adapter*>(new PellAdapter())
                                              : new Adapter();
        adapter->setAdapterID(static_cast<uint32_t>(a));
        adapter->setSerialNumString(option(w, "serial"));
        adapter->setDeviceVendor("VELMAR");
        adapter->setDeviceName("RAID Controller");
        model->addChild(adapter);
        return true;
    }
    if (w[0] == "channel" && w.size() >= 3 && number(w[1], a) && number(w[2], b)) {
        Adapter* adapter = findAdapter(static_cast<uint32_t>(a));
        int type = CHANNEL_TYPE_SCSI;
        if (adapter == nullptr || !lookup(kChannelTypes, option(w, "type", "scsi"), type)) {
            return false;
        }
        Channel* channel = type == CHANNEL_TYPE_SATA ? new SATAChannel() : new Channel();
        channel->setChannelID(static_cast<uint32_t>(b));
        channel->setChannelType(static_cast<EnumChannelType>(type));
        adapter->addChild(channel);
        return true;
    }
    if (w[0] == "drive" && w.size() >= 4 && number(w[1], a) && number(w[2], b) && number(w[3], c)) {
        Channel* channel = findChannel(static_cast<uint32_t>(a), static_cast<uint32_t>(b));
        int state = PD_STATE_ONLINE;
        if (channel == nullptr || !lookup(kDriveStates, option(w, "state", "online"), state)) {
            return false;
        }
        auto* drive = new HardDrive();
        drive->setDeviceID(static_cast<uint32_t>(c));
        channel->addChild(drive);
        drive->setState(static_cast<EnumPhysicalDeviceState>(state));
        drive->setVendor(option(w, "vendor", "QEB-LMD"));
        drive->setModel(option(w, "model", "DISK-" + std::to_string(c)));
        drive->setSerialNumber(
            option(w, "serial",
                   "SN" + std::to_string(a) + "-" + std::to_string(b) + "-" + std::to_string(c)));
        return true;
    }
    if (w[0] == "logical" && w.size() >= 3 && number(w[1], a) && number(w[2], b)) {
        Adapter* adapter = findAdapter(static_cast<uint32_t>(a));
        long level = 5;
        int state = LD_STATE_OKAY;
        if (adapter == nullptr || !number(option(w, "level", "5"), level) ||
            !lookup(kLogicalStates, option(w, "state", "okay"), state)) {
            return false;
        }
        auto* drive = new LogicalDrive();
        drive->setLogicalDriveID(static_cast<uint32_t>(b));
        drive->setState(static_cast<EnumLogicalDeviceState>(state));
        drive->setRaidLevel(static_cast<EnumRaidLevel>(level));
        adapter->addChild(drive);
        return true;
    }
    return false;
}

bool ScenarioRunner::applyStep(const std::vector<std::string>& w) {
    long a = 0, b = 0, c = 0;
    if (w[0] == "record" && w.size() >= 2 && number(w[1], a)) {
        RaidEvent record;
        for (size_t i = 2; i < w.size(); ++i) {
            std::string::size_type eq = w[i].find('=');
            if (eq == std::string::npos) {
                return false;
            }
            record.set(w[i].substr(0, eq), w[i].substr(eq + 1));
        }
        library_.appendEvent(static_cast<uint32_t>(a), record);
        return true;
    }
    if (w[0] == "drive-state" && w.size() >= 5 && number(w[1], a) && number(w[2], b) &&
        number(w[3], c)) {
        int state = 0;
        return lookup(kDriveStates, w[4], state) &&
               library_.setDriveState(static_cast<uint32_t>(a), static_cast<uint32_t>(b),
                                      static_cast<uint32_t>(c),
                                      static_cast<EnumPhysicalDeviceState>(state));
    }
    if (w[0] == "logical-state" && w.size() >= 4 && number(w[1], a) && number(w[2], b)) {
        int state = 0;
        return lookup(kLogicalStates, w[3], state) &&
               library_.setLogicalDriveState(static_cast<uint32_t>(a), static_cast<uint32_t>(b),
                                             static_cast<EnumLogicalDeviceState>(state));
    }
    return w[0] == "stop";
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
    if (adapter == nullptr) {
        return nullptr;
    }
    FilterCollection channels(adapter);
    channels.apply("Channel", false);
    for (int i = 0; i < channels.size(); ++i) {
        auto* channel = static_cast<Channel*>(channels.elementAt(i));
        if (channel != nullptr && channel->getChannelID() == channelID) {
            return channel;
        }
    }
    return nullptr;
}

int ScenarioRunner::run(const EventSink& sink) {
    VelmarMonitor monitor(&library_);
    std::thread loop([&monitor] { monitor.start(); });

    int pulled = 0;
    auto drain = [&] {
        for (const TLXEvent& event : monitor.getEvents(64)) {
            sink(event);
            ++pulled;
        }
    };
    auto begin = std::chrono::steady_clock::now();
    bool stopped = false;
    for (int second = 0; second <= endSecond_ && !stopped; ++second) {
        std::this_thread::sleep_until(begin + std::chrono::seconds(second));
        for (const Step& step : steps_) {
            if (step.second != second) {
                continue;
            }
            if (step.words[0] == "stop") {
                stopped = true;
            } else if (applyStep(step.words)) {
                std::string words;
                for (const std::string& word : step.words) {
                    words += " " + word;
                }
                std::cout << "scenario " << second << "s:" << words << "\n";
            } else {
                error_ = "step at " + std::to_string(second) + "s not applied: " + step.words[0];
            }
        }
        drain();
    }
    monitor.stop();
    loop.join();
    drain();
    return pulled;
}
