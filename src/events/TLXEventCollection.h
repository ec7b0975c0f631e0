// The monitor's one event queue: a bounded first-in-first-out queue of TLXEvent copies
// between the poll loop (producer) and the host's pull calls (consumers), with a severity
// filter, an overload policy that drops the oldest tenth and leaves a warning in their place,
// and an append-only event log (size-bounded) written at debug levels 1 and 2. Every
// operation is safe to call from any thread; every change of the queue or its limit is made
// under one lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "events/TLXEvent.h"
#include "port/Export.h"
#include "port/Mutex.h"

namespace port {
class LogFile;
}

class TLX_EXPORT TLXEventCollection {
public:
    // The smallest queue limit; smaller requests are raised to it.
    static constexpr int kMinMaxSize = 200;
    static constexpr int kOverloadEventCode = 200;
    static constexpr const char* kOverloadText = "TLX Event queue overload. Discarding events.";

    // maxSize below 200 becomes 200; eventTypeLevel outside 5..7 becomes 5. The event log at
    // logPath is opened for appending unless logPath is empty, with a bound of 16 MB; while
    // it cannot be opened (see reopenLog()), events are not logged.
    TLXEventCollection(const std::string& logPath, int maxSize, int eventTypeLevel);
    ~TLXEventCollection();

    TLXEventCollection(const TLXEventCollection&) = delete;
    TLXEventCollection& operator=(const TLXEventCollection&) = delete;

    // Logs the event and queues a copy, unless its eventType is above the severity filter
    // (then it is only logged). A full queue first drops its oldest tenth (less one) and
    // turns the oldest survivor into the overload notice.
    void add(const TLXEvent& event);
    // Logs a default event carrying text (null reads as empty); it is never queued.
    void addText(const char* text);

    // The number of queued events at the moment of the call.
    int size() const;
    // Removes and returns every queued event, oldest first.
    std::vector<TLXEvent> takeAll();
    // Removes and returns up to n events, oldest first; nothing when n <= 0.
    std::vector<TLXEvent> take(int n);
    // Drops the n oldest events; n of 0 or more than the size drops all, n below 0 none.
    void removeOldest(int n);

    // Appends the event's log line and a blank line to the event log, when the debug mask
    // enables event log entries and the log is open.
    void writeLogEntry(const TLXEvent& event);

    // Changes the limit only when n is above 200 and differs from the current limit.
    void setMaxSize(int n);
    int getMaxSize() const;
    // Accepts levels 1..7; returns false and keeps the level otherwise.
    bool setEventTypeLevel(int level);
    int getEventTypeLevel() const { return eventTypeLevel_.load(); }

    // The size bound of the event log (see port::LogFile); past it the log is moved to
    // logPath + ".1" and a new one started.
    void setLogMaxBytes(uint64_t maxBytes);
    // Tries again to open an event log that could not be opened; true when it is open.
    bool reopenLog();

private:
    // Drops the n oldest events; the caller holds mutex_.
    void removeOldestLocked(int n);

    std::deque<TLXEvent> events_;
    int maxSize_;
    mutable port::Mutex mutex_;
    std::atomic<int> eventTypeLevel_;
    std::unique_ptr<port::LogFile> logFile_;
};
