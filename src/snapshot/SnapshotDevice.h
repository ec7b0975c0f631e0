// The values that hard drives and enclosures share (identity texts, state, world-wide name,
// SATA port), copied from a live device and read back from a snapshot element, and the
// parent IDs that both take from their enclosing channel after reading.
#pragma once

#include "raidlib/PhysicalDevice.h"
#include "snapshot/SnapshotElement.h"

namespace snapshot {

// Copies the address and the shared values up to the SATA port.
void copyDeviceValues(PhysicalDevice& target, const PhysicalDevice& live);
// True when own holds every value that copyDeviceValues would take from live.
bool sameDeviceValues(const PhysicalDevice& own, const PhysicalDevice& live);
// Sets the device ID when attribute is "deviceID" (called as the attribute arrives).
void readDeviceIdentifier(PhysicalDevice& target, const SnapshotElement& element,
                          const char* attribute);
// Converts the collected shared attributes and takes the adapter and channel IDs from the
// channel and controller the device was constructed with.
void readDeviceValues(PhysicalDevice& target, const SnapshotElement& element);

}  // namespace snapshot
