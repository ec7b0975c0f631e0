// The catalog keys of the task events: one per (task type, task state) pair that raises an
// event, filled with the logical drive text, and one per task type that reports its
// percentage, filled with the logical drive text and the percentage. Derived from the event
// tables in monitor/ProgressEvents.cpp, so that the catalog check sees every row.
#pragma once

#include <vector>

#include "nls/CatalogKey.h"

namespace monitor {

std::vector<CatalogKey> taskEventCatalogKeys();

}  // namespace monitor
