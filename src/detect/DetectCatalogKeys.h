// The catalog keys of the identity strings that name controllers, channels, drives and
// logical drives inside event texts, with the number of arguments each lookup passes, and
// the plain lookups behind the RAID level and quick-initialisation texts.
#pragma once

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

// RAID levels whose text comes from the catalog (plain lookups).
inline constexpr CatalogKey kRaidLevelCatalogKeys[] = {
    {"infoLogDriveRAID1E", 0},
    {"infoLogDriveRAID5E", 0},
    {"infoLogDriveRAID5EE", 0},
    {"RAID00", 0},
    {"RAID10", 0},
    {"RAID1E0", 0},
    {"RAID50", 0},
    {"infoLogDriveSpannedVolume", 0},
    {"infoLogDriveRaidVolume", 0},
    {"infoLogDriveSimpleVolume", 0},
    {"RAID60", 0},
};

}  // namespace detect
