// Shared helpers of the benchmark programs: a temporary module directory that is removed
// again when the helper goes, the shipped catalog copied into it, and live controller trees
// of a chosen size built with the controller library's public API only.
#pragma once

#include <string>

class System;

class BenchHome {
public:
    // Creates the directory and makes it the module directory of the process.
    BenchHome();
    // Removes the directory and everything in it.
    ~BenchHome();
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

    // False when the directory could not be created.
    bool ok() const { return !dir_.empty(); }
    // A file in the directory.
    std::string path(const std::string& name) const { return dir_ + name; }
    // Copies data/RaidNLS.properties of the source tree into the directory; false on failure.
    bool installShippedCatalog() const;

private:
    std::string dir_;
};

// Adds controllers with IDs 0.. to system: each with two SAS channels holding drivesPerController
// drives between them, a SAF-TE enclosure, and logicalDrives logical drives (the first one
// rebuilding).
void addControllers(System& system, int controllers, int drivesPerController, int logicalDrives);
