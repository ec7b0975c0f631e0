#include "port/DebugMask.h"

std::atomic<uint32_t> DebugMask::mask_{0};
