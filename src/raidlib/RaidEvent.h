// One event record of a controller's log: an ordered list of attributes (eventType,
// eventCode, adapterID, ..., FRU) and the event number the log gives it. Rendered as a
// "RaidEvent" element with eventNumber first.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "port/Export.h"

class BRIXVL_EXPORT RaidEvent {
public:
    RaidEvent() = default;
    RaidEvent(int eventCode, int eventType) {
        set("eventType", eventType);
        set("eventCode", eventCode);
    }

    // Sets (or replaces) an attribute; returns this record for chaining.
    RaidEvent& set(const std::string& name, const std::string& value);
    RaidEvent& set(const std::string& name, const char* value) {
        return set(name, std::string(value ? value : ""));
    }
    RaidEvent& set(const std::string& name, long value);
    RaidEvent& set(const std::string& name, int value) { return set(name, long(value)); }
    // The attribute's value, or an empty text.
    std::string get(const std::string& name) const;

    unsigned long getEventNumber() const { return eventNumber_; }
    void setEventNumber(unsigned long number) { eventNumber_ = number; }

    // The record as an element: <RaidEvent eventNumber="N" name="value" .../> with the
    // characters " & < > ' of values escaped.
    std::string toXml() const;

private:
    unsigned long eventNumber_ = 0;
    std::vector<std::pair<std::string, std::string>> attributes_;
};
