// A flag that one thread raises to cut another thread's wait short.
// The monitor's stop() raises it so that a poll wait ends at once; start() clears it.
// Any thread may call any member. On Windows it is a manual-reset event object.
#pragma once

#if !defined(_WIN32)
#include <condition_variable>
#include <mutex>
#endif

#include "port/Export.h"

namespace port {

class TLX_EXPORT Interrupt {
public:
#if defined(_WIN32)
    Interrupt();
    ~Interrupt();
    Interrupt(const Interrupt&) = delete;
    Interrupt& operator=(const Interrupt&) = delete;
#endif
    void raise();
    void clear();
    bool raised() const;
    // Blocks for up to ms milliseconds of real time; returns true when raised.
    bool waitFor(long ms);

    // Test seam: while a hook is set, raise() first calls hook(context) on the raising
    // thread, before the flag is raised, so a test can act between the raiser's earlier
    // steps and the raise. Set and cleared by tests only, while nothing raises.
    using RaiseHook = void (*)(void* context);
    static void setRaiseHook(RaiseHook hook, void* context);

private:
#if defined(_WIN32)
    void* event_;  // the event's HANDLE: signalled while raised
#else
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool raised_ = false;
#endif
};

}  // namespace port
