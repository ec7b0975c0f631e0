#include "monitor/VelmarMonitor.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <exception>
#include <string_view>
#include <system_error>

#include "events/EnumObjectType.h"
#include "port/Clock.h"
#include "raidlib/Adapter.h"
#include "raidlib/Ret.h"
#include "raidlib/System.h"
#include "raidlib/VelmarLib.h"
#include "snapshot/SimpleXmlException.h"
#include "snapshot/TLXConfigBuilder.h"

namespace {

constexpr const char* kDebugLogName = "TLXVLDebug.log";
constexpr const char* kEventLogName = "TLXVLEvents.log";
constexpr const char* kConfigName = "TLXVLConfig.xml";

// The event raised when the library finds no controller at the start of a run.
struct NoControllerEvent {
    int eventCode;
    EnumEventType eventType;
    EnumObjectType objectType;
    const char* messageKey;
    const char* identifier;
};
constexpr NoControllerEvent kNoControllerEvent = {201, TLX_EVENT_INFORMATIONAL, TLX_OBJ_SYSTEM,
                                                  "agentEventInfNoControllers",
                                                  "EVENT_VELMAR_STATE_NOTFOUND"};

constexpr long kIdleWaitMillis = 1000;
// How often start() and the destructor look whether an ending loop has finished.
constexpr long kLoopEndCheckMillis = 10;
constexpr int kIdleWaits = 5;

// The number of the last record in an event text: the value of the "eventNumber" attribute
// of the last "RaidEvent" element. Attributes are read as names and quoted values, so a text
// value (a FRU, a model) that holds "eventNumber=..." never counts. Record numbers are
// unsigned 32-bit: a number above 2^31 - 1 is a record number like any other, while a sign
// or a number beyond 32 bits is not one and must not rewind or wrap the next number asked.
bool readLastEventNumber(const char* text, unsigned long& number) {
    const std::string_view view(text);
    // Values are escaped, so '<' only ever opens an element.
    const size_t element = view.rfind("<RaidEvent");
    if (element == std::string_view::npos) {
        return false;
    }
    size_t at = element + std::string_view("<RaidEvent").size();
    while (at < view.size()) {
        while (at < view.size() &&
               (view[at] == ' ' || view[at] == '\t' || view[at] == '\n' || view[at] == '\r')) {
            ++at;
        }
        const size_t equals = view.find('=', at);
        if (equals == std::string_view::npos || equals + 1 >= view.size() ||
            view.substr(at, equals - at).find_first_of("/>") != std::string_view::npos) {
            return false;  // the element ends without the attribute
        }
        const char quote = view[equals + 1];
        const size_t close = view.find(quote, equals + 2);
        if ((quote != '"' && quote != '\'') || close == std::string_view::npos) {
            return false;
        }
        if (view.substr(at, equals - at) == "eventNumber") {
            uint32_t value = 0;
            const auto read = std::from_chars(text + equals + 2, text + close, value);
            if (read.ec != std::errc() || read.ptr != text + close) {
                return false;
            }
            number = value;
            return true;
        }
        at = close + 1;
    }
    return false;
}

}  // namespace

VelmarMonitor::LibraryText::LibraryText() : block(static_cast<char*>(std::malloc(1))) {
    if (block != nullptr) {
        block[0] = '\0';
    }
}

VelmarMonitor::LibraryText::~LibraryText() {
    std::free(block);
}

VelmarMonitor::VelmarMonitor(VelmarLib* lib)
    : BaseRaidMonitor(lib, kDebugLogName, kEventLogName, kConfigName) {
    logLifecycle("Constructing VelmarMonitor(Default).\n");
    initialise(lib);
    logLifecycle("Exiting VelmarMonitor(Default).\n");
}

VelmarMonitor::VelmarMonitor(VelmarLib* lib, std::string logFilePath)
    : BaseRaidMonitor(lib, kDebugLogName, kEventLogName, kConfigName, std::move(logFilePath)) {
    logLifecycle("Constructing VelmarMonitor(pBrixlibIN,logFilePath)\n");
    initialise(lib);
    logLifecycle("Exiting VelmarMonitor(pBrixlibIN,logFilePath)\n");
}

void VelmarMonitor::initialise(VelmarLib* lib) {
    eventCategory = 3;
    velmarLib = lib;
    // A stop request gives up a snapshot read, copy or write not yet done, so that stop()
    // need not wait for one; the file keeps its old text.
    if (configBuilder) {
        configBuilder->setAbandonCheck([this] { return loopActive.load() && !isPollingEnabled(); });
    }
    setPollingRate(1);
    port::Clock::current().wait(1000, nullptr);
    // Prime the timers: after the wait they record a real report time, so each first fires
    // one full interval from now.
    isTimeToReportBadStripe();
    isTimeToReportUnsupportedDrives();
    isTimeToReportCriticalLogicalDrives();
}

VelmarMonitor::~VelmarMonitor() {
    logLifecycle("Destructing VelmarMonitor(Default).\n");
    // stop() returns at once, so a host may destroy the monitor while its loop is still
    // inside a library call: end the loop and let it finish before the members go.
    if (loopActive.load()) {
        stop();
        while (loopActive.load()) {
            port::Clock::current().wait(kLoopEndCheckMillis, nullptr);
        }
    }
}

void VelmarMonitor::collectCurrentEvents(int, TLXEventCollection&) {}

ProgressCollection VelmarMonitor::enumerateProgress() {
    return ProgressCollection();
}

void VelmarMonitor::start() {
    try {
        // A loop told to stop may still be inside a library call; let it end first so that
        // two loops never run at once. Another start() may claim the monitor meanwhile.
        while (loopActive.load() && !isPollingEnabled()) {
            port::Clock::current().wait(kLoopEndCheckMillis, nullptr);
        }
        {
            // Claiming polling and clearing the stop signal are one step against stop(),
            // whose disabling and raising are one step too: a stop() that overlaps this
            // start() either ends the new loop or comes wholly before it, never leaving
            // the signal raised under a running loop.
            std::lock_guard<std::mutex> lock(lifecycleMutex);
            bool expected = false;
            if (!pollingEnabled.compare_exchange_strong(expected, true)) {
                logTrace("VelmarMonitor already running.\n");
                return;
            }
            stopSignal.clear();
        }
        if (getMyStartTime() == 0) {
            setMyStartTime(port::Clock::current().now());
        }
        // Once a loop has ended, the host may destroy the monitor: touch no member after it.
        const bool hasLibrary = velmarLib != nullptr;
        run();
        if (!hasLibrary) {
            // Nothing ran; do not claim to be running.
            disablePolling();
        }
    } catch (const std::exception& e) {
        logError("ERROR: VelmarMonitor::start() %s\n", e.what());
    } catch (...) {
        logError("ERROR: VelmarMonitor::start() unknown exception\n");
    }
}

void VelmarMonitor::run() {
    if (velmarLib == nullptr) {
        return;
    }
    bool expected = false;
    if (!loopActive.compare_exchange_strong(expected, true)) {
        logTrace("VelmarMonitor already running.\n");
        return;
    }
    {
        // A host may call run() without start(): clear a signal left by an earlier stop(),
        // unless a stop() has come since polling was enabled (its signal must stay).
        std::lock_guard<std::mutex> lock(lifecycleMutex);
        if (isPollingEnabled()) {
            stopSignal.clear();
        }
    }
    setStopped(false);
    monitorEvents();
    setStopped(true);
    loopActive.store(false);  // the last touch of the monitor by this run
}

void VelmarMonitor::stop() {
    try {
        std::lock_guard<std::mutex> lock(lifecycleMutex);
        disablePolling();
        setMyStartTime(0);
        stopSignal.raise();
    } catch (...) {
        // Polling is off (or the lock could not be had): the loop ends at its next check.
        disablePolling();
    }
}

void VelmarMonitor::pause(long ms) {
    if (isPollingEnabled()) {
        port::Clock::current().wait(ms, &stopSignal);
    }
}

bool VelmarMonitor::isTimeToSaveSnapshot() const {
    return pollsSinceSave != 0 && pollsSinceSave % kPollsPerSnapshot == 0;
}

void VelmarMonitor::raiseNoControllerEvent() {
    TLXEvent event(kNoControllerEvent.eventCode, kNoControllerEvent.eventType,
                   nls.get(kNoControllerEvent.messageKey), kNoControllerEvent.identifier);
    event.setObjectType(kNoControllerEvent.objectType);
    events->add(event);
}

void VelmarMonitor::monitorEvents() {
    // Exported, so a host may call it directly: nothing thrown inside the loop may reach the
    // host's thread. A loop ended this way switches polling off, so a later start() runs
    // again instead of claiming the monitor is running.
    try {
        pollLoop();
    } catch (const std::exception& e) {
        logError("ERROR: VelmarMonitor::monitorEvents() ended by an exception: %s\n", e.what());
        disablePolling();
    } catch (...) {
        logError("ERROR: VelmarMonitor::monitorEvents() ended by an unknown exception\n");
        disablePolling();
    }
}

void VelmarMonitor::pollLoop() {
    logTrace("In VelmarMonitor::monitorEvents()\n");
    // Exported, so a host may call it directly rather than through run().
    if (velmarLib == nullptr) {
        logError("ERROR: VelmarMonitor::monitorEvents() BrixLibPlugin handle is NULL!!\n");
        return;
    }
    LibraryText text;
    // The next record number to ask for, per controller (by adapter ID): controllers number
    // their records independently.
    std::map<uint32_t, unsigned long> nextEventNumbers;
    pollsSinceSave = 0;
    secondsSinceAlive = 0;

    if (!isPollingEnabled()) {
        logTrace("Stopping Monitor\n");
        return;
    }
    logTrace("Polling for Velmar Events\n");
    logTrace("Remove Old Events\n");
    vlEventPersistence();
    if (!isPollingEnabled()) {
        logTrace("Stopping Monitor\n");
        return;
    }

    velmarLib->SetTLXStartTime(port::Clock::current().now());
    System* system = velmarLib->getNewSystem();
    int count = 0;
    if (system != nullptr) {
        Ret ret;
        count = system->discover(velmarLib, ret);
    }
    logError("Found %d Controller(s)\n", count);
    if (count == 0) {
        logError("ERROR: No controller found on the system\n");
        raiseNoControllerEvent();
    }
    if (!isPollingEnabled()) {
        logTrace("Stopping Monitor\n");
        return;
    }
    writeXML();
    std::vector<Adapter*> adapters;
    if (system != nullptr) {
        collectAdapters(system, adapters, "ERROR: Adapter is NULL\n");
    }

    while (isPollingEnabled()) {
        logTrace("Polling...\n");
        if (system == nullptr) {
            logError("ERROR: Got a NULL system object\n");
        }
        logTrace("Found %d controllers \n", count);
        if (count == 0) {
            for (int i = 0; i < kIdleWaits && isPollingEnabled(); ++i) {
                pause(kIdleWaitMillis);
            }
            continue;
        }

        pollControllers(adapters, nextEventNumbers, text);
        logTrace("Sleep...\n\n");
        // A rate below one second would poll the library without pause.
        pause(std::max(getPollingRate(), 1) * 1000L);

        readConfig();
        events->setMaxSize(getEventQueueSize());
        setDebugFlag(static_cast<EnumDebugTLX>(getDebugMask()));

        pollsSinceSave += 1;
        secondsSinceAlive += getPollingRate();
        if (isTimeToSaveSnapshot()) {
            logTrace("Saving config to XML\n");
            writeXML();
            pollsSinceSave = 0;
        }
        if (secondsSinceAlive == kAliveSeconds) {
            logTrace("\nVelmar Monitor is Running...\n\n");
            secondsSinceAlive = 0;
        }
    }
    logTrace("Exiting VelmarMonitor::monitorEvents()\n");
}

void VelmarMonitor::pollControllers(const std::vector<Adapter*>& adapters,
                                    std::map<uint32_t, unsigned long>& nextEventNumbers,
                                    LibraryText& text) {
    for (Adapter* adapter : adapters) {
        // After stop() the loop makes no further library call.
        if (!isPollingEnabled()) {
            return;
        }
        const uint32_t adapterID = adapter->getAdapterID();
        unsigned long& nextEventNumber = nextEventNumbers.try_emplace(adapterID, 1).first->second;
        // One controller's bad text must not end the monitoring of the others.
        try {
            pollController(*adapter, nextEventNumber, text);
        } catch (const SimpleXmlException& e) {
            logError(
                "ERROR: Malformed event text of controller %u: character '%c' at offset "
                "%u\n",
                adapterID, e.getCharacter(), e.getOffset());
        } catch (const std::exception& e) {
            logError("ERROR: Cannot read the events of controller %u: %s\n", adapterID, e.what());
        } catch (...) {
            logError("ERROR: Cannot read the events of controller %u\n", adapterID);
        }
    }
}

void VelmarMonitor::pollController(Adapter& adapter, unsigned long& nextEventNumber,
                                   LibraryText& text) {
    const Addr addr(adapter.getAdapterID(), Addr::kUnset, Addr::kUnset, Addr::kUnset, Addr::kUnset,
                    Addr::kUnsetChunk, Addr::kUnset, Addr::kUnset);
    logTrace("Checking for events...\n");
    velmarLib->getEvents(addr, nextEventNumber, &text.block);
    if (text.block == nullptr) {
        // The library's answer when the controller has no new records: a trace, not an
        // error, or the debug log would grow by a line per controller and poll.
        logTrace("ERROR: Events buffer is NULL\n");
        return;
    }
    unsigned long lastNumber = 0;
    if (!readLastEventNumber(text.block, lastNumber) || lastNumber < nextEventNumber) {
        return;
    }
    logTrace("Found %d events\n", static_cast<int>(lastNumber + 1 - nextEventNumber));
    nextEventNumber = lastNumber + 1;
    GetEventFromXml(text.block, &adapter);
}
