// Helpers of the change-detection tests: a frame monitor that shows its event queue, a
// fixture whose catalog writes every text as its key's tag and the arguments between bars
// (so a test sees each argument and its place), and a compact form of an event.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "monitor/BaseRaidMonitor.h"
#include "raidlib/raidlib.h"
#include "support/TestHome.h"
#include "support/TreeBuilder.h"

class DetectMonitor : public BaseRaidMonitor {
public:
    using BaseRaidMonitor::BaseRaidMonitor;
    void collectCurrentEvents(int, TLXEventCollection&) override {}
    void run() override {}
    void stop() override {}
    void start() override {}
    TLXEventCollection& queue() { return *events; }
};

// Every field of an event that a detector sets, in one comparable value.
struct EventView {
    int code;
    int type;
    std::string identifier;
    int objectType;
    uint32_t adapterID;
    uint32_t channelID;
    uint32_t deviceID;
    std::string adapterSerial;
    std::string fru;
    std::string text;

    bool operator==(const EventView& other) const;
};
std::ostream& operator<<(std::ostream& out, const EventView& view);
EventView viewOf(const TLXEvent& event);

class DetectTest : public TestHome {
protected:
    void SetUp() override;
    // The queued events, taken out of the queue.
    std::vector<EventView> takeEvents();

    VelmarLib lib;
    std::unique_ptr<DetectMonitor> monitor;
};
