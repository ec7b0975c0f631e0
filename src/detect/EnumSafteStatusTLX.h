// The state of one enclosure fan or power supply, reduced from its SAF-TE or SES code.
#pragma once

enum EnumSafteStatusTLX : int {
    SAFTE_STATUS_OPERATIONAL = 1,
    SAFTE_STATUS_FAILED = 2,
    SAFTE_STATUS_NOT_PRESENT = 3,
};
