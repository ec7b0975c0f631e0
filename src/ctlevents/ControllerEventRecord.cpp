#include "ctlevents/ControllerEventRecord.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>

#include "snapshot/SnapshotElement.h"

namespace {

struct NumberAttribute {
    const char* name;
    int32_t ControllerEventRecord::*field;
};

constexpr NumberAttribute kNumberAttributes[] = {
    {"eventType", &ControllerEventRecord::eventType},
    {"eventCode", &ControllerEventRecord::eventCode},
    {"adapterID", &ControllerEventRecord::adapterID},
    {"arrayID", &ControllerEventRecord::arrayID},
    {"logicalDriveID", &ControllerEventRecord::logicalDriveID},
    {"channelID", &ControllerEventRecord::channelID},
    {"deviceID", &ControllerEventRecord::deviceID},
    {"powerSupplyID", &ControllerEventRecord::powerSupplyID},
    {"fanID", &ControllerEventRecord::fanID},
};

}  // namespace

void ControllerEventRecord::setAttribute(const char* name, const char* value) {
    if (name == nullptr) {
        return;
    }
    for (const NumberAttribute& attribute : kNumberAttributes) {
        if (std::strcmp(name, attribute.name) == 0) {
            this->*attribute.field = number(value);
            return;
        }
    }
    if (std::strcmp(name, "FRU") == 0) {
        // The controller escapes its texts as XML; the part number is shown as it was.
        fru = value != nullptr ? SnapshotElement::unescape(value) : std::string();
    }
}

int32_t ControllerEventRecord::number(const char* value) {
    if (value == nullptr) {
        return 0;
    }
    const bool hex = value[0] == '0' && value[1] == 'x';
    // Read wide, then clamp: a long may be 64 bits, and a record field holds 32.
    const long long read = std::strtoll(value, nullptr, hex ? 16 : 10);
    if (read > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (read < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(read);
}
