#include "events/TLXEventCollection.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "events/EnumEventType.h"
#include "port/DebugMask.h"
#include "port/StdioFile.h"

namespace {

constexpr int kDefaultEventTypeLevel = 5;
constexpr int kMinEventTypeLevel = 1;
constexpr int kMaxEventTypeLevel = 7;

int initialEventTypeLevel(int level) {
    return level >= kDefaultEventTypeLevel && level <= kMaxEventTypeLevel ? level
                                                                          : kDefaultEventTypeLevel;
}

}  // namespace

void TLXEventCollection::FileCloser::operator()(FILE* file) const {
    std::fflush(file);
    std::fclose(file);
}

TLXEventCollection::TLXEventCollection(const std::string& logPath, int maxSize, int eventTypeLevel)
    : maxSize_(maxSize < kMinMaxSize ? kMinMaxSize : maxSize),
      eventTypeLevel_(initialEventTypeLevel(eventTypeLevel)),
      logPath_(logPath) {
    if (!logPath_.empty()) {
        logFile_.reset(port::openFile(logPath_, "a+"));
    }
}

TLXEventCollection::~TLXEventCollection() = default;

void TLXEventCollection::add(const TLXEvent& event) {
    if (event.getEventType() > eventTypeLevel_.load()) {
        writeLogEntry(event);
        return;
    }

    // The overload check, the trimming, the notice and the append form one step under the
    // lock, so a consumer taking events meanwhile never finds a half-trimmed queue and the
    // notice always lands on an event that exists.
    bool overloaded = false;
    TLXEvent notice;
    {
        std::lock_guard<port::Mutex> lock(mutex_);
        if (static_cast<int>(events_.size()) >= maxSize_) {
            const int n = static_cast<int>(std::floor(maxSize_ / 10.0)) - 1;
            removeOldestLocked(n <= 1 ? 1 : n);
            if (!events_.empty()) {
                TLXEvent& oldest = events_.front();
                oldest.reset();
                oldest.setEventCode(kOverloadEventCode);
                oldest.setEventType(TLX_EVENT_WARNING);
                oldest.setEventDesc(kOverloadText);
                notice = oldest;
                overloaded = true;
            }
        }
        events_.push_back(event);
    }
    if (overloaded) {
        writeLogEntry(notice);
    }
    writeLogEntry(event);
}

void TLXEventCollection::addText(const char* text) {
    TLXEvent event;
    event.setEventDesc(text != nullptr ? text : "");
    add(event);
}

int TLXEventCollection::size() const {
    std::lock_guard<port::Mutex> lock(mutex_);
    return static_cast<int>(events_.size());
}

std::vector<TLXEvent> TLXEventCollection::takeAll() {
    return take(size());
}

std::vector<TLXEvent> TLXEventCollection::take(int n) {
    std::vector<TLXEvent> taken;
    if (n <= 0) {
        return taken;
    }
    // Room for what is queued now, so a large batch is not moved again at every growth of
    // the result (takeAll of 1,000 events spent most of its time there).
    {
        std::lock_guard<port::Mutex> lock(mutex_);
        taken.reserve(std::min(static_cast<size_t>(n), events_.size()));
    }
    // One lock per event, so the producer can add between two removals. Another consumer
    // may empty the queue meanwhile: stop when there is nothing left.
    for (int i = 0; i < n; ++i) {
        std::lock_guard<port::Mutex> lock(mutex_);
        if (events_.empty()) {
            break;
        }
        taken.push_back(std::move(events_.front()));
        events_.pop_front();
    }
    return taken;
}

void TLXEventCollection::removeOldest(int n) {
    std::lock_guard<port::Mutex> lock(mutex_);
    removeOldestLocked(n);
}

void TLXEventCollection::removeOldestLocked(int n) {
    if (n < 0) {
        return;
    }
    if (n == 0 || n >= static_cast<int>(events_.size())) {
        events_.clear();
        return;
    }
    events_.erase(events_.begin(), events_.begin() + n);
}

void TLXEventCollection::writeLogEntry(const TLXEvent& event) {
    if (!logFile_ || !DebugMask::enabled(DebugMask::kEventLog)) {
        return;
    }
    std::fprintf(logFile_.get(), "%s\n\n", event.toString().c_str());
    std::fflush(logFile_.get());
}

void TLXEventCollection::setMaxSize(int n) {
    if (n <= kMinMaxSize) {
        return;
    }
    std::lock_guard<port::Mutex> lock(mutex_);
    if (n != maxSize_) {
        maxSize_ = n;
    }
}

int TLXEventCollection::getMaxSize() const {
    std::lock_guard<port::Mutex> lock(mutex_);
    return maxSize_;
}

bool TLXEventCollection::setEventTypeLevel(int level) {
    if (level < kMinEventTypeLevel || level > kMaxEventTypeLevel) {
        return false;
    }
    eventTypeLevel_.store(level);
    return true;
}
