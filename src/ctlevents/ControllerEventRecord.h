// One controller event record as read from a "RaidEvent" element: its numbers, each
// 0x7FFFFFFF until the element gives it, and its FRU text with the XML entities turned back
// into their characters. A plain value that the translation fills while it reads one element
// and drops when the element ends; no record inherits anything from the one before it.
#pragma once

#include <cstdint>
#include <string>

struct ControllerEventRecord {
    static constexpr int32_t kUnset = 0x7FFFFFFF;

    int32_t eventType = kUnset;
    int32_t eventCode = kUnset;
    int32_t adapterID = kUnset;
    int32_t arrayID = kUnset;
    int32_t logicalDriveID = kUnset;
    int32_t channelID = kUnset;
    int32_t deviceID = kUnset;
    int32_t powerSupplyID = kUnset;
    int32_t fanID = kUnset;
    std::string fru;

    // Stores value (null for an attribute written without one) when name is one of the
    // record's attributes; any other attribute is ignored. A later value of the same name
    // replaces an earlier one.
    void setAttribute(const char* name, const char* value);

    // A record number: base 16 after a leading "0x", else base 10; no value, or no digits,
    // give 0, and a value beyond the signed 32-bit range is clamped to it.
    static int32_t number(const char* value);
};
