// The catalog keys that the poll loop looks up, with the number of arguments each lookup
// passes.
#pragma once

#include "nls/CatalogKey.h"

namespace monitor {

inline constexpr CatalogKey kPollLoopCatalogKeys[] = {
    // the library found no controller when the run started
    {"agentEventInfNoControllers", 0},
};

}  // namespace monitor
