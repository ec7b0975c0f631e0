// A host of the monitor: it constructs the monitor on the controller library, runs the loop on
// a thread of its own, prints the events of the first run and stops. With no controller
// present the first run reports just that. Exit status 0 when an event with a text arrived.
#include <chrono>
#include <cstdio>
#include <thread>

#include "monitor/VelmarMonitor.h"
#include "raidlib/raidlib.h"

int main() {
    VelmarLib library;                // the controller library
    VelmarMonitor monitor(&library);  // reads its settings and catalog, waits one second
    if (!monitor.isCatalogUsable()) {
        std::fprintf(stderr, "no message catalog: event texts would be empty (see %skvorlogs)\n",
                     monitor.getTLXPath().c_str());
        return 1;
    }
    std::thread loop([&] { monitor.start(); });  // returns when stop() is called

    // stop() ends a running loop only: one that comes before start() has begun is lost.
    while (!monitor.isPollingEnabled()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The start of the run reports at once what changed while no monitor ran.
    for (int wait = 0; wait < 500 && monitor.getNumberOfEvents() == 0; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    TLXEvent batch[16];
    int n = monitor.getEvents(batch, 16);  // copies out and removes up to 16 events
    for (int i = 0; i < n; ++i) {
        std::printf("%s\n", batch[i].toString().c_str());
    }

    monitor.stop();  // from any thread; the loop ends at once
    loop.join();
    return n > 0 && !batch[0].getEventDesc().empty() ? 0 : 1;
}
