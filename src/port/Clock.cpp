#include "port/Clock.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "port/Interrupt.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace port {
namespace {

class SystemClock : public Clock {
public:
    int64_t now() override {
#if defined(_WIN32)
        return static_cast<int64_t>(::_time64(nullptr));
#else
        return static_cast<int64_t>(std::time(nullptr));
#endif
    }

    bool wait(long ms, Interrupt* interrupt) override {
        if (interrupt != nullptr) {
            return interrupt->waitFor(ms);
        }
        if (ms > 0) {
#if defined(_WIN32)
            ::Sleep(static_cast<DWORD>(ms));
#else
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
#endif
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
    // Formatted here rather than by ctime: the Windows one writes "Jan 01", not "Jan  1".
    static constexpr char kDays[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr char kMonths[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm parts{};
#if defined(_WIN32)
    const __time64_t t = seconds;
    const bool known = ::_localtime64_s(&parts, &t) == 0;
#else
    const std::time_t t = static_cast<std::time_t>(seconds);
    const bool known = localtime_r(&t, &parts) != nullptr;
#endif
    if (!known || parts.tm_wday < 0 || parts.tm_wday > 6 || parts.tm_mon < 0 || parts.tm_mon > 11) {
        return "??? ??? ?? ??:??:?? ????\n";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %s%3d %.2d:%.2d:%.2d %d\n", kDays[parts.tm_wday],
                  kMonths[parts.tm_mon], parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  parts.tm_year + 1900);
    return buffer;
}

}  // namespace port
