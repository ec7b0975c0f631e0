// The controller event codes: catalog key and category of each.
#include "ctlevents/EventCodeTable.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "ctlevents/EventCategoryTable.h"
#include "monitor/VelmarMonitor.h"

namespace ctlevents {

namespace {

constexpr bool isOrderedByCode() {
    for (size_t i = 1; i < std::size(kEventCodes); ++i) {
        if (kEventCodes[i - 1].code >= kEventCodes[i].code) {
            return false;
        }
    }
    return true;
}
static_assert(isOrderedByCode(), "kEventCodes must be ordered by code, each code once");

}  // namespace

const EventCodeRow* findEventCode(int code) {
    const auto row = std::lower_bound(
        std::begin(kEventCodes), std::end(kEventCodes), code,
        [](const EventCodeRow& candidate, int wanted) { return candidate.code < wanted; });
    return row != std::end(kEventCodes) && row->code == code ? row : nullptr;
}

std::vector<CatalogKey> eventCodeCatalogKeys() {
    std::vector<CatalogKey> keys;
    for (const EventCodeRow& row : kEventCodes) {
        if (row.category == kCategoryUnchanged) {
            continue;  // the refresh record looks nothing up
        }
        keys.push_back({row.key, messageArgumentCount(row.key, row.category)});
        if (std::strcmp(row.key, row.keyWithFru) != 0) {
            keys.push_back(
                {row.keyWithFru, messageArgumentCount(row.keyWithFru, row.categoryWithFru)});
        }
    }
    return keys;
}

}  // namespace ctlevents

std::string VelmarMonitor::getEventDescription(int eventCode, int, bool hasFru) {
    logTrace(" In getEventDescription (switch) Event code is   = %d.\n", eventCode);
    const ctlevents::EventCodeRow* row = ctlevents::findEventCode(eventCode);
    if (row == nullptr) {
        logTrace(" Event code is unknown (default case) = %d.\n", eventCode);
        return ctlevents::kUnknownKey;
    }
    const int category = hasFru ? row->categoryWithFru : row->category;
    if (category != ctlevents::kCategoryUnchanged) {
        eventCategory = category;
    }
    return hasFru ? row->keyWithFru : row->key;
}
