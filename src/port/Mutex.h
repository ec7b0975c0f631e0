// The lock of the event queue (the CreateMutex/WaitForSingleObject/ReleaseMutex role).
// Satisfies BasicLockable, so std::lock_guard<port::Mutex> works with it.
#pragma once

#include <mutex>

#include "port/Export.h"

namespace port {

class TLX_EXPORT Mutex {
public:
    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

}  // namespace port
