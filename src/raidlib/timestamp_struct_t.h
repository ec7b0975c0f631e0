// A time stamp as the controllers keep it: nine 32-bit words. The logical drives' creation
// time uses it; words 0 (day of week) and 4 (day of year) are informational.
#pragma once

#include <cstdint>

struct timestamp_struct_t {
    uint32_t dayOfWeek = 0;    // word 0
    uint32_t month = 0;        // word 1
    uint32_t day = 0;          // word 2
    uint32_t year = 0;         // word 3
    uint32_t dayOfYear = 0;    // word 4
    uint32_t hour = 0;         // word 5
    uint32_t minute = 0;       // word 6
    uint32_t second = 0;       // word 7
    uint32_t millisecond = 0;  // word 8
};
