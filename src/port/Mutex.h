// The lock of the event queue and of the library model (the CreateMutex/WaitForSingleObject/
// ReleaseMutex role). Satisfies BasicLockable, so std::lock_guard<port::Mutex> works with it.
// Wholly inline and exported by neither library, since both use it: on Windows std::mutex is
// the thread library's slim lock, which suits a lock that never leaves the process.
#pragma once

#include <mutex>

namespace port {

class Mutex {
public:
    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

}  // namespace port
