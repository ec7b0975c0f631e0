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

namespace {

void addDrive(Channel* channel, uint32_t deviceID) {
    auto* drive = new HardDrive();
    drive->setDeviceID(deviceID);
    channel->addChild(drive);
    drive->setState(PD_STATE_ONLINE);
    drive->setVendor("QEB-LMD");
    drive->setModel("DISK-" + std::to_string(deviceID));
    drive->setSerialNumber("SN" + std::to_string(drive->getAdapterID()) + "-" +
                           std::to_string(drive->getChannelID()) + "-" + std::to_string(deviceID));
    drive->setFirmwareLevel("FW12");
    drive->setFruNumber("FRU-" + std::to_string(deviceID));
    drive->setSize(7814037168ULL);
    drive->setPfaSupported(true);
}

void addEnclosure(Channel* channel, uint32_t deviceID) {
    constexpr uint16_t kFans = 3;
    constexpr uint16_t kPowerSupplies = 2;
    auto* enclosure = new Enclosure();
    enclosure->setDeviceID(deviceID);
    enclosure->setVendor("QEB-ENCL");
    enclosure->setModel("ENCL-" + std::to_string(deviceID));
    enclosure->setSafteConfig(new SafteConfig(kFans, kPowerSupplies, 16));
    auto* status = new SafteStatus();
    for (unsigned i = 0; i < kFans; ++i) {
        status->setFanStatus(i, SAFTE_FAN_OPERATIONAL);
    }
    for (unsigned i = 0; i < kPowerSupplies; ++i) {
        status->setPowerSupplyStatus(i, SAFTE_PS_OPERATIONAL_ON);
    }
    enclosure->setSafteStatus(status);
    enclosure->setSafteDataValid(true);
    channel->addChild(enclosure);
}

}  // namespace

void addControllers(System& system, int controllers, int drivesPerController, int logicalDrives) {
    for (int a = 0; a < controllers; ++a) {
        auto* adapter = new PellAdapter();
        adapter->setAdapterID(static_cast<uint32_t>(a));
        adapter->setSerialNumString("VLM" + std::to_string(1000 + a));
        adapter->setDeviceVendor("VELMAR");
        adapter->setDeviceName("RAID Controller");
        adapter->setFirmwareVersion("5.2.0");
        system.addChild(adapter);

        const int perChannel = (drivesPerController + 1) / 2;
        int added = 0;
        for (uint32_t c = 0; c < 2; ++c) {
            auto* channel = new Channel();
            channel->setChannelID(c);
            channel->setChannelType(CHANNEL_TYPE_SAS);
            adapter->addChild(channel);
            for (int d = 0; d < perChannel && added < drivesPerController; ++d, ++added) {
                addDrive(channel, static_cast<uint32_t>(d));
            }
            if (c == 0) {
                addEnclosure(channel, static_cast<uint32_t>(perChannel));
            }
        }

        for (int l = 0; l < logicalDrives; ++l) {
            auto* drive = new LogicalDrive();
            drive->setLogicalDriveID(static_cast<uint32_t>(l));
            drive->setState(LD_STATE_OKAY);
            drive->setRaidLevel(RAID_LEVEL_5);
            drive->setDataSpace64(4000000000ULL * static_cast<uint64_t>(l + 1));
            adapter->addChild(drive);
            if (l == 0) {
                drive->setProgress(
                    Progress(TASK_TYPE_REBUILD, TASK_STATE_RUNNING, 40, static_cast<uint32_t>(l)));
            }
        }
    }
}
