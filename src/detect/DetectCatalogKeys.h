// The catalog keys of the identity strings that name controllers, channels, drives and
// logical drives inside event texts, with the number of arguments each lookup passes, and
// the plain lookups behind the RAID level and quick-initialisation texts.
#pragma once

#include <vector>

#include "nls/CatalogKey.h"

namespace detect {

inline constexpr CatalogKey kIdentityCatalogKeys[] = {
    // [controller number, description, physical slot]
    {"eventArgController2", 3},
    // [controller description]
    {"eventArgController", 1},
    // [controller description, channel number]
    {"eventArgControllerChannel", 2},
    // [controller description, logical drive (number or the text below)]
    {"eventArgControllerLogicalDrive", 2},
    // [logical name, logical drive number]
    {"eventArgControllerLogicalDrive2", 2},
    // [controller description, channel number, device ID]
    {"eventArgControllerScsiDevice", 3},
    // [controller description, port number across the controller]
    {"eventArgControllerSATADevice", 2},
    // [controller description, enclosure device ID, slot]
    {"eventArgControllerSATADeviceEnclosure", 3},
    // [controller description, world-wide name in hex]
    {"eventArgControllerSASDeviceWWN", 2},
    // [FRU number]
    {"deviceArgFRU", 1},
    // [vendor, model]
    {"deviceArgVendorModel", 2},
    {"LD_SUB_QUICK_INIT", 0},
};

// RAID levels whose text is a plain lookup of a catalog key, derived from the RAID level
// table of the identity strings.
std::vector<CatalogKey> raidLevelCatalogKeys();

}  // namespace detect
