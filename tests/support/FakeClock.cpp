#include "support/FakeClock.h"

#include <thread>

#include "port/Interrupt.h"

bool FakeClock::wait(long ms, port::Interrupt* interrupt) {
    if (interrupt != nullptr && interrupt->raised()) {
        return true;
    }
    if (ms > 0) {
        millis_ += ms;
        waited_ += ms;
    }
    std::this_thread::yield();
    return interrupt != nullptr && interrupt->raised();
}
