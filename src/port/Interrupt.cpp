#include "port/Interrupt.h"

#include <atomic>
#include <chrono>

namespace port {
namespace {

std::atomic<Interrupt::RaiseHook> raiseHook{nullptr};
std::atomic<void*> raiseHookContext{nullptr};

}  // namespace

void Interrupt::setRaiseHook(RaiseHook hook, void* context) {
    raiseHookContext.store(context);
    raiseHook.store(hook);
}

void Interrupt::raise() {
    if (const RaiseHook hook = raiseHook.load()) {
        hook(raiseHookContext.load());
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        raised_ = true;
    }
    cv_.notify_all();
}

void Interrupt::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    raised_ = false;
}

bool Interrupt::raised() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return raised_;
}

bool Interrupt::waitFor(long ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (ms > 0) {
        cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return raised_; });
    }
    return raised_;
}

}  // namespace port
