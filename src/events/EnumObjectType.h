// The kind of object that a monitor event is about. The values are part of the exported
// interface (the host reads them from TLXEvent::getObjectType); 0 and any value outside
// 1..8 mean "unknown" and print the tag "UNKN" in the event log.
#pragma once

enum EnumObjectType : int {
    TLX_OBJ_UNKNOWN = 0,
    TLX_OBJ_SYSTEM = 1,
    TLX_OBJ_ADAPTER = 2,
    TLX_OBJ_ARRAY = 3,
    TLX_OBJ_LOGICAL_DRIVE = 4,
    TLX_OBJ_PHYSICAL_DRIVE = 5,
    TLX_OBJ_ENCLOSURE = 6,
    TLX_OBJ_FAN = 7,
    TLX_OBJ_POWER_SUPPLY = 8,
};
