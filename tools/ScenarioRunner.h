// Plays a scripted scenario against the monitor and the stand-in controller library, as a
// host agent would. A scenario states the hardware, then one or more runs of the monitor:
// timed changes during a run (the controller logs what it sees, so the monitor relays it
// live) and changes made while no monitor runs (found by the next run's start-of-run
// comparison). Each run constructs a monitor, starts it on a thread of its own, pulls events
// on another thread and stops it at its stop step. The runner is used from one thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "raidlib/raidlib.h"

class TLXEvent;

class ScenarioRunner {
public:
    // When an event was pulled: before the run's first timed step (the start-of-run report)
    // or after it (live).
    enum class Phase { StartOfRun, Live };
    using EventSink = std::function<void(int run, Phase phase, const TLXEvent& event)>;
    // A line of narration: a step applied, a run started or ended.
    using NoteSink = std::function<void(const std::string& note)>;

    // Parses the scenario text and builds its hardware. False with "name:line: what" in
    // error() when a line is not understood; nothing runs then.
    bool load(const std::string& text, const std::string& name = "scenario");
    const std::string& error() const { return error_; }

    // Plays every run in turn; returns the number of events pulled. Stops early, after the
    // current run has ended, when interrupted() turns true.
    int run(const EventSink& sink, const NoteSink& note);
    // Asked between steps; a signal handler's flag, for instance.
    std::function<bool()> interrupted = [] { return false; };

    int runCount() const { return static_cast<int>(runs_.size()); }
    VelmarLib& library() { return library_; }

    static const char* defaultScenario();

private:
    struct Step {
        int second = 0;
        std::vector<std::string> words;
    };
    struct Run {
        std::vector<std::vector<std::string>> whileStopped;  // applied before the run starts
        std::vector<Step> steps;
        int stopSecond = 0;
    };

    bool applyHardware(const std::vector<std::string>& words, std::string& why);
    bool applyChange(const std::vector<std::string>& words, std::string& why);
    bool applyTask(uint32_t adapterID, uint32_t logicalDriveID, EnumTaskType type,
                   EnumTaskState state, uint32_t percent);
    Adapter* findAdapter(uint32_t id);
    Channel* findChannel(uint32_t adapterID, uint32_t channelID);
    int playRun(int index, const Run& run, const EventSink& sink, const NoteSink& note);

    VelmarLib library_;
    std::vector<Run> runs_;
    // While a run plays, changes are applied; while loading they are only checked.
    bool applying_ = false;
    // True while a run's timed steps play: changes are then seen as the controller sees them.
    bool live_ = false;
    std::string error_;
};
