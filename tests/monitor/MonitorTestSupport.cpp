#include "MonitorTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "snapshot/TLXConfigBuilder.h"

void replaceText(char** buffer, const std::string& text) {
    std::free(*buffer);
    *buffer = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(*buffer, text.c_str(), text.size() + 1);
}

int countOf(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

std::vector<int> markersBefore(const std::string& text, const std::string& needle,
                               const std::string& marker) {
    std::vector<int> positions;
    std::istringstream lines(text);
    std::string line;
    int markers = 0;
    while (std::getline(lines, line)) {
        if (line.find(needle) != std::string::npos) {
            positions.push_back(markers);
        }
        if (line.find(marker) != std::string::npos) {
            ++markers;
        }
    }
    return positions;
}

void MonitorLoopTest::SetUp() {
    TestHome::SetUp();
    port::Clock::install(&clock);
    writeSmallCatalog();
    writeFile("TLXConfig.ini", "tlx.debugMask=2\n");
}

void MonitorLoopTest::runWaits(VelmarMonitor& monitor, int waits) {
    int seen = 0;
    clock.onWait = [&](long) {
        if (++seen == waits) {
            monitor.stop();
        }
    };
    monitor.start();
    clock.onWait = nullptr;
}

void MonitorLoopTest::writeSnapshotOfHardware() {
    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    builder.build(lib.getHardwareModel(), nullptr);
    ASSERT_TRUE(builder.writeXML());
}
