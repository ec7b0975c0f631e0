// Helpers of the change-detection tests: a frame monitor that shows its event queue, and a
// fixture whose catalog writes every text as its key's tag with the arguments between bars,
// so that a test sees each argument and its place.
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

class DetectTest : public TestHome {
protected:
    void SetUp() override;
    // The queued events, taken out of the queue, each as "code/type/identifier/object type/
    // A<adapter> C<channel> D<device>/serial/fru/text" ("-" for an unset ID).
    std::vector<std::string> takeEvents();

    VelmarLib lib;
    std::unique_ptr<DetectMonitor> monitor;
};
