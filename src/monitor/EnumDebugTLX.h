// The debug levels that the settings key "tlx.debugMask" and BaseRaidMonitor::setDebugFlag
// take. Each level opens the process-wide debug mask to more classes of lines: errors only,
// then the event log, then traces and the monitor's construction lines. Any other value is
// not a level and leaves the mask as it is.
#pragma once

enum EnumDebugTLX : int {
    TLX_DEBUG_ERRORS = 0,
    TLX_DEBUG_EVENT_LOG = 1,
    TLX_DEBUG_TRACE = 2,
};
