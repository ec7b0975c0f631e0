#include "events/TLXEvent.h"

#include <array>
#include <cstdio>

#include "port/Clock.h"
#include "raidlib/Adapter.h"

namespace {

// Severity text by eventType; anything outside 1..7 prints "---".
constexpr std::array<const char*, 8> kSeverityText = {"---", "ERR", "WRN", "INF",
                                                      "INF", "INF", "INF", "INF"};

// Four-character tag by EnumObjectType; anything outside 1..8 prints "UNKN".
constexpr std::array<const char*, 9> kObjectTag = {"UNKN", "SYS ", "ADPT", "ARR ", "LDRV",
                                                   "PDRV", "ENCL", "FAN ", "PWSP"};

const char* severityText(int eventType) {
    if (eventType < 0 || static_cast<size_t>(eventType) >= kSeverityText.size()) {
        return kSeverityText[0];
    }
    return kSeverityText[eventType];
}

const char* objectTag(int objectType) {
    if (objectType < 0 || static_cast<size_t>(objectType) >= kObjectTag.size()) {
        return kObjectTag[0];
    }
    return kObjectTag[objectType];
}

// Appends value with the given minimum width ("%02d", "%03d"), or as many dashes when the
// value is the unset marker.
void appendField(std::string& out, int value, int width) {
    if (value == TLXEvent::kUnset) {
        out.append(static_cast<size_t>(width), '-');
        return;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    out += buffer;
}

int64_t currentTime() {
    return port::Clock::current().now();
}

}  // namespace

TLXEvent::TLXEvent() : eventTime_(currentTime()) {}

TLXEvent::TLXEvent(int eventCode, int eventType, const std::string& eventDesc,
                   const std::string& identifier)
    : eventTime_(currentTime()),
      eventCode_(eventCode),
      eventType_(eventType),
      eventDesc_(eventDesc),
      identifier_(identifier) {}

TLXEvent::TLXEvent(int eventCode, int eventType, const std::string& eventDesc, const Addr& addr,
                   int lun, int fan, int powerSupply, const std::string& adapterSerial,
                   const std::string& identifier, const std::string& fru)
    : eventTime_(currentTime()),
      eventCode_(eventCode),
      eventType_(eventType),
      eventDesc_(eventDesc),
      addr_(addr),
      fru_(fru),
      lun_(lun),
      fan_(fan),
      powerSupply_(powerSupply),
      adapterSerial_(adapterSerial),
      identifier_(identifier) {}

void TLXEvent::set(int eventCode, int eventType, const std::string& eventDesc,
                   const std::string& identifier) {
    eventCode_ = eventCode;
    eventType_ = eventType;
    eventDesc_ = eventDesc;
    identifier_ = identifier;
}

void TLXEvent::reset() {
    eventTime_ = currentTime();
    eventCode_ = kUnset;
    eventType_ = kUnset;
    eventDesc_.clear();
    objectType_ = TLX_OBJ_UNKNOWN;
    addr_ = Addr();
    fru_.clear();
    lun_ = kUnset;
    fan_ = kUnset;
    powerSupply_ = kUnset;
    adapterSerial_.clear();
    identifier_.clear();
    percentComplete_ = 0;
}

void TLXEvent::setAdapterSerial(Adapter* adapter) {
    if (adapter == nullptr) {
        return;
    }
    const char* text = adapter->getSerialNumString();
    std::string serial = text != nullptr ? text : "";
    if (serial.empty()) {
        // No serial number: name the controller by its PCI location, bus-function-device.
        serial = std::to_string(adapter->getPCIBus()) + "-" +
                 std::to_string(adapter->getPCIFunction()) + "-" +
                 std::to_string(adapter->getPciDevice());
    }
    adapterSerial_ = serial;
}

std::string TLXEvent::toString() const {
    std::string line = port::ctimeText(eventTime_);
    if (!line.empty()) {
        line.pop_back();  // the newline that ends the ctime text
    }
    line += " | ";
    line += severityText(eventType_);
    line += " | ";
    line += objectTag(objectType_);
    line += " | ";
    appendField(line, eventCode_, 3);
    line += ":A";
    appendField(line, static_cast<int>(getAdapterID()), 2);
    line += "C";
    appendField(line, static_cast<int>(getChannelID()), 2);
    line += "S";
    appendField(line, static_cast<int>(getDeviceID()), 2);
    line += "L";
    appendField(line, static_cast<int>(getLogicalDriveID()), 3);
    line += " | ";
    line += eventDesc_;
    return line;
}
