// The catalog keys of the controller events (derived from the controller event table of
// detect/AdapterComparison.cpp) and of the SAS drive map, with the number of arguments each
// lookup passes. Read-only data; any thread may call.
#pragma once

#include <vector>

#include "nls/CatalogKey.h"

namespace detect {

std::vector<CatalogKey> adapterCatalogKeys();

inline constexpr CatalogKey kDriveMapCatalogKeys[] = {
    // [controller number, channel number, device ID, drive identity, replacement part]
    {"agentEventInfDriveMap", 5},
};

}  // namespace detect
