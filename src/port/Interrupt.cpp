#include "port/Interrupt.h"

#include <atomic>
#if defined(_WIN32)
#include <windows.h>
#else
#include <chrono>
#endif

namespace port {
namespace {

std::atomic<Interrupt::RaiseHook> raiseHook{nullptr};
std::atomic<void*> raiseHookContext{nullptr};

}  // namespace

void Interrupt::setRaiseHook(RaiseHook hook, void* context) {
    raiseHookContext.store(context);
    raiseHook.store(hook);
}

#if defined(_WIN32)

Interrupt::Interrupt() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Interrupt::~Interrupt() {
    if (event_ != nullptr) {
        ::CloseHandle(event_);
    }
}

void Interrupt::raise() {
    if (const RaiseHook hook = raiseHook.load()) {
        hook(raiseHookContext.load());
    }
    ::SetEvent(event_);
}

void Interrupt::clear() {
    ::ResetEvent(event_);
}

bool Interrupt::raised() const {
    return ::WaitForSingleObject(event_, 0) == WAIT_OBJECT_0;
}

bool Interrupt::waitFor(long ms) {
    return ::WaitForSingleObject(event_, ms > 0 ? static_cast<DWORD>(ms) : 0) == WAIT_OBJECT_0;
}

#else

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

#endif

}  // namespace port
