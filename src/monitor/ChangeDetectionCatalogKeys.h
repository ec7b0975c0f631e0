// The catalog keys that the start-of-run change-detection cycle looks up, with the number of
// arguments each lookup passes. Constant data, readable from any thread.
#pragma once

#include "nls/CatalogKey.h"

namespace monitor {

inline constexpr CatalogKey kChangeDetectionCatalogKeys[] = {
    // a stored controller is no longer present: [controller identity]
    {"agentEventInfControllerRemoved", 1},
};

}  // namespace monitor
