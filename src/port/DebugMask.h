// The one process-wide debug mask. Every debug line belongs to a class of bits and is
// written only when the mask has one of them set. It starts at 0 when the module loads.
#pragma once

#include <atomic>
#include <cstdint>

#include "port/Export.h"

class TLX_EXPORT DebugMask {
public:
    static constexpr uint32_t kErrors = 0xF00000;   // lines that begin "ERROR: "
    static constexpr uint32_t kEventLog = 0xF0000;  // event log entries
    static constexpr uint32_t kTrace = 0xF000;      // "In ..."/"Exiting ..." and poll progress
    static constexpr uint32_t kLifecycle = 0xF0;    // monitor construction and destruction

    static uint32_t get() { return mask_.load(std::memory_order_relaxed); }
    static void set(uint32_t mask) { mask_.store(mask, std::memory_order_relaxed); }
    static bool enabled(uint32_t bits) { return (get() & bits) != 0; }

private:
    static std::atomic<uint32_t> mask_;
};
