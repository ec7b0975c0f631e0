// Runs a monitor against the stand-in controller library as a scripted scenario: a text
// that describes the hardware (controllers, channels, drives, logical drives) and timed steps
// (controller event records, drive and logical drive state changes that the
// controller logs, the stop). The runner builds the model,
// runs the monitor on a thread of its own as a host would, applies each step when its second
// comes, and hands every event it pulls to a printer.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "raidlib/raidlib.h"

class TLXEvent;

class ScenarioRunner {
public:
    using EventSink = std::function<void(const TLXEvent&)>;

    // Parses the scenario text; false with a message in error() when a line is not understood.
    bool load(const std::string& text);
    const std::string& error() const { return error_; }

    // Runs the scenario to its end (or to its stop step) and returns the number of events
    // pulled from the monitor.
    int run(const EventSink& sink);

    VelmarLib& library() { return library_; }

    static const char* defaultScenario();

private:
    struct Step {
        int second = 0;
        std::vector<std::string> words;
    };

    bool applyHardware(const std::vector<std::string>& words);
    bool applyStep(const std::vector<std::string>& words);
    Adapter* findAdapter(uint32_t id);
    Channel* findChannel(uint32_t adapterID, uint32_t channelID);

    VelmarLib library_;
    std::vector<Step> steps_;
    int endSecond_ = 0;
    std::string error_;
};
