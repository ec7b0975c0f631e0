#include "port/Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "port/Interrupt.h"

namespace port {
namespace {

class SystemClock : public Clock {
public:
    int64_t now() override { return static_cast<int64_t>(std::time(nullptr)); }

    bool wait(long ms, Interrupt* interrupt) override {
        if (interrupt != nullptr) {
            return interrupt->waitFor(ms);
        }
        if (ms > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
        return false;
    }
};

SystemClock systemClock;
std::atomic<Clock*> installed{nullptr};

}  // namespace

Clock& Clock::current() {
    Clock* clock = installed.load(std::memory_order_acquire);
    return clock != nullptr ? *clock : systemClock;
}

void Clock::install(Clock* clock) {
    installed.store(clock, std::memory_order_release);
}

std::string ctimeText(int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    char buffer[64] = {};
#if defined(_WIN32)
    if (ctime_s(buffer, sizeof buffer, &t) != 0) {
        return "??? ??? ?? ??:??:?? ????\n";
    }
#else
    if (ctime_r(&t, buffer) == nullptr) {
        return "??? ??? ?? ??:??:?? ????\n";
    }
#endif
    return buffer;
}

}  // namespace port
