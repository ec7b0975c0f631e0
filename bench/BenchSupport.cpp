#include "BenchSupport.h"

#include <filesystem>
#include <system_error>

#include "port/FileSystem.h"
#include "port/ModuleDirectory.h"
#include "raidlib/raidlib.h"

BenchHome::BenchHome() : dir_(port::makeTemporaryDirectory("tlxvl-bench-")) {
    if (ok()) {
        port::setModuleDirectory(dir_);
        dir_ = port::moduleDirectory();
    }
}

BenchHome::~BenchHome() {
    if (ok()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

bool BenchHome::installShippedCatalog() const {
    std::error_code error;
    std::filesystem::copy_file(std::string(TLXVL_SOURCE_DIR) + "/data/RaidNLS.properties",
                               path("RaidNLS.properties"),
                               std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

void addControllers(System& system, int controllers, int drivesPerController, int logicalDrives) {
    ModelBuilder build(&system);
    for (int a = 0; a < controllers; ++a) {
        Adapter* adapter =
            build.adapter(static_cast<uint32_t>(a), "VLM" + std::to_string(1000 + a));
        build.versions(adapter, "", "5.2.0", "");
        const int perChannel = (drivesPerController + 1) / 2;
        for (uint32_t c = 0, added = 0; c < 2; ++c) {
            Channel* channel = build.channel(adapter, c, CHANNEL_TYPE_SAS);
            for (int d = 0; d < perChannel && static_cast<int>(added) < drivesPerController;
                 ++d, ++added) {
                HardDrive* drive = build.drive(channel, static_cast<uint32_t>(d));
                build.fru(drive, "FRU-" + std::to_string(d));
                drive->setFirmwareLevel("FW12");
                drive->setSize(7814037168ULL);
                drive->setPfaSupported(true);
            }
            if (c == 0) {
                build.enclosure(channel, static_cast<uint32_t>(perChannel), 3, 2);
            }
        }
        for (int l = 0; l < logicalDrives; ++l) {
            LogicalDrive* drive =
                build.logicalDrive(adapter, static_cast<uint32_t>(l), LD_STATE_OKAY, RAID_LEVEL_5,
                                   4000000000ULL * (l + 1ULL));
            if (l == 0) {
                build.task(drive, TASK_TYPE_REBUILD, TASK_STATE_RUNNING, 40);
            }
        }
    }
}
