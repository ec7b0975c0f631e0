// The severity of a monitor event (TLXEvent::getEventType) and the severity filter of the
// event queue. Lower is more severe. The filter accepts levels 1..7; 4 to 7 all let every
// error, warning and informational event through.
#pragma once

enum EnumEventType : int {
    TLX_EVENT_ERROR = 1,
    TLX_EVENT_WARNING = 2,
    TLX_EVENT_INFORMATIONAL = 3,
};
