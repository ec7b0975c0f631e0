// A clock for tests: time starts at a fixed instant and moves only when someone waits,
// by exactly the time waited, so a one-second start-up wait or a 30-day timer costs no
// real time. Waits yield the thread so that a loop spinning on fake waits still lets the
// host's threads run.
#pragma once

#include <atomic>
#include <cstdint>

#include "port/Clock.h"

class FakeClock : public port::Clock {
public:
    // 2026-12-06 12:00:00 UTC: any fixed instant will do.
    static constexpr int64_t kStart = 1796558400;

    int64_t now() override { return millis_.load() / 1000; }
    bool wait(long ms, port::Interrupt* interrupt) override;

    void advanceSeconds(int64_t seconds) { millis_ += seconds * 1000; }
    void setNow(int64_t seconds) { millis_ = seconds * 1000; }
    int64_t totalWaitedMillis() const { return waited_.load(); }

private:
    std::atomic<int64_t> millis_{kStart * 1000};
    std::atomic<int64_t> waited_{0};
};
