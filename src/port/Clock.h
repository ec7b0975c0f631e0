// The seam through which the monitor reads the time and waits. Production uses the system
// clock; tests install a fake one whose waits return at once and advance fake time.
// Clock::current() is read by every thread; install() is for test set-up only.
#pragma once

#include <cstdint>
#include <string>

#include "port/Export.h"

namespace port {

class Interrupt;

class TLX_EXPORT Clock {
public:
    virtual ~Clock() = default;

    // Seconds since 1970 (the _time64 role).
    virtual int64_t now() = 0;
    // Waits ms milliseconds, or less when interrupt (may be null) is raised meanwhile.
    // Returns true when the wait was cut short.
    virtual bool wait(long ms, Interrupt* interrupt) = 0;

    static Clock& current();
    // Replaces the clock in use; nullptr restores the system clock. Not owned.
    static void install(Clock* clock);
};

// The local time of `seconds` in the 26-character ctime form "Sun Dec  6 20:02:16 2026\n".
// Safe to call from several threads at once.
TLX_EXPORT std::string ctimeText(int64_t seconds);

}  // namespace port
