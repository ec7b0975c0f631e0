// Identity strings: the texts that name controllers, channels, drives and logical drives
// inside event texts, and the small texts of the logical-drive events (size, RAID level,
// quick initialisation).
#include <cmath>
#include <cstdio>
#include <vector>

#include "detect/DetectCatalogKeys.h"
#include "detect/LogicalDriveSize.h"
#include "monitor/BaseRaidMonitor.h"
#include "raidlib/raidlib.h"

namespace {

// The argument passed where an object has no adapter or channel to take a number from:
// the library's unset marker in decimal.
constexpr const char* kUnsetArgument = "2147483647";

// A RAID level: its text, or the catalog key whose plain lookup gives the text, and its
// family mask (low 16 bits the basic scheme, top four bits a spanned level).
struct RaidLevelRow {
    const char* text;
    const char* catalogKey;
    unsigned long family;
};

// Indexed by EnumRaidLevel; levels past the end have an empty text and family 0.
constexpr RaidLevelRow kRaidLevels[] = {
    {"0", nullptr, 0x0000000F},                          // 0
    {"1", nullptr, 0x000000F0},                          // 1
    {nullptr, "infoLogDriveRAID1E", 0x000000F0},         // 2
    {"3", nullptr, 0x0000000F},                          // 3
    {"4", nullptr, 0x0000000F},                          // 4
    {"5", nullptr, 0x00000F00},                          // 5
    {nullptr, "infoLogDriveRAID5E", 0x00000F00},         // 6
    {nullptr, "infoLogDriveRAID5EE", 0x00000F00},        // 7
    {nullptr, "RAID00", 0xF000000F},                     // 8
    {nullptr, "RAID10", 0xF00000F0},                     // 9
    {nullptr, "RAID1E0", 0xF00000F0},                    // 10
    {nullptr, "RAID50", 0xF0000F00},                     // 11
    {"", nullptr, 0xF0000F00},                           // 12
    {nullptr, "infoLogDriveSpannedVolume", 0x0000000F},  // 13
    {nullptr, "infoLogDriveRaidVolume", 0x0000000F},     // 14
    {nullptr, "infoLogDriveSimpleVolume", 0x0000000F},   // 15
    {"6", nullptr, 0x0000F000},                          // 16
    {nullptr, "RAID60", 0xF000F000},                     // 17
};

const RaidLevelRow* raidLevelRow(const LogicalDrive* logicalDrive) {
    if (logicalDrive == nullptr) {
        return nullptr;
    }
    const int level = logicalDrive->getRaidLevel();
    if (level < 0 || static_cast<size_t>(level) >= std::size(kRaidLevels)) {
        return nullptr;
    }
    return &kRaidLevels[level];
}

std::string textOf(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

std::string decimal(uint32_t value) {
    return NLSParser::itoa(static_cast<int>(value), 10);
}

// Controller, channel and logical-drive numbers are shown 1-based.
std::string shownNumber(uint32_t id) {
    return decimal(id + 1u);
}

// The 64-bit world-wide name as 16 hex digits: each word from its least significant byte.
std::string wwnDigits(const PhysicalDevice& drive) {
    const uint32_t low = drive.getWWN0();
    const uint32_t high = drive.getWWN1();
    char digits[17];
    std::snprintf(digits, sizeof digits, "%02X%02X%02X%02X%02X%02X%02X%02X", low & 0xFF,
                  (low >> 8) & 0xFF, (low >> 16) & 0xFF, low >> 24, high & 0xFF, (high >> 8) & 0xFF,
                  (high >> 16) & 0xFF, high >> 24);
    return digits;
}

template <typename T>
std::vector<T*> descendants(const RaidObject& root, const char* typeName) {
    std::vector<RaidObject*> list;
    root.getChildren(list, typeName, true, true);
    std::vector<T*> found;
    for (RaidObject* object : list) {
        if (object != nullptr && object->isInstanceOf(typeName)) {
            if (T* typed = dynamic_cast<T*>(object)) {
                found.push_back(typed);
            }
        }
    }
    return found;
}

// The first argument of every drive, channel and logical-drive identity.
std::string adapterArgument(BaseRaidMonitor& monitor, Adapter* adapter) {
    return adapter != nullptr ? monitor.getDetailedAdapterID(adapter) : kUnsetArgument;
}

}  // namespace

namespace detect {

std::vector<CatalogKey> raidLevelCatalogKeys() {
    std::vector<CatalogKey> keys;
    for (const RaidLevelRow& row : kRaidLevels) {
        if (row.catalogKey != nullptr) {
            keys.push_back({row.catalogKey, 0});
        }
    }
    return keys;
}

}  // namespace detect

std::string BaseRaidMonitor::getDetailedAdapterID(Adapter* adapter) {
    if (adapter == nullptr) {
        return "";
    }
    std::string description;
    const auto append = [&description](const char* separator, const char* part) {
        if (part != nullptr && *part != '\0') {
            description += separator;
            description += part;
        }
    };
    append(" ", adapter->getDeviceVendor());
    append(" ", adapter->getDeviceName());
    append(" #", adapter->getSerialNumString());
    const int slot = adapter->getPhysicalSlot();
    return nls.get("eventArgController2",
                   std::vector<std::string>{
                       shownNumber(adapter->getAdapterID()), description,
                       slot == 0x7FFFFFFF ? std::string("Unknown") : NLSParser::itoa(slot, 10)});
}

std::string BaseRaidMonitor::getEventID(Adapter* adapter) {
    if (adapter == nullptr) {
        return "";
    }
    return nls.get("eventArgController", std::vector<std::string>{getDetailedAdapterID(adapter)});
}

std::string BaseRaidMonitor::getEventID(Channel* channel) {
    if (channel == nullptr) {
        return "";
    }
    return nls.get("eventArgControllerChannel",
                   std::vector<std::string>{adapterArgument(*this, channel->getAdapter()),
                                            shownNumber(channel->getChannelID())});
}

std::string BaseRaidMonitor::getEventID(LogicalDrive* logicalDrive) {
    if (logicalDrive == nullptr) {
        return "";
    }
    const std::string controller = adapterArgument(*this, logicalDrive->getAdapter());
    std::string drive = shownNumber(logicalDrive->getLogicalDriveID());
    if (logicalDrive->isInstanceOf("PellBasicLogicalDrive")) {
        drive = nls.get("eventArgControllerLogicalDrive2",
                        std::vector<std::string>{getLogicalName(logicalDrive), drive});
    }
    return nls.get("eventArgControllerLogicalDrive", std::vector<std::string>{controller, drive});
}

std::string BaseRaidMonitor::getEventID(HardDrive* drive) {
    if (drive == nullptr || !drive->isInstanceOf("HardDrive")) {
        return "";
    }
    Adapter* adapter = drive->getAdapter();
    const std::string controller = adapterArgument(*this, adapter);
    Channel* channel = drive->getChannel();
    if (channel != nullptr && channel->getChannelType() == CHANNEL_TYPE_SAS) {
        return nls.get("eventArgControllerSASDeviceWWN",
                       std::vector<std::string>{controller, wwnDigits(*drive)});
    }
    if (channel != nullptr && channel->getChannelType() == CHANNEL_TYPE_SATA &&
        adapter != nullptr) {
        // An enclosure that knows the drive's slot names it best.
        for (Enclosure* enclosure : descendants<Enclosure>(*adapter, "Enclosure")) {
            if (!enclosure->isSafteDataValid()) {
                continue;
            }
            const uint32_t slot = enclosure->getSlotNumberFromDeviceID(drive->getDeviceID());
            if (slot != Addr::kUnset) {
                return nls.get("eventArgControllerSATADeviceEnclosure",
                               std::vector<std::string>{
                                   controller, decimal(enclosure->getDeviceID()), decimal(slot)});
            }
        }
        // Otherwise its port counted across the controller's SATA channels in their order.
        uint32_t base = 0;
        for (SATAChannel* sata : descendants<SATAChannel>(*adapter, "SATAChannel")) {
            if (sata->getChannelID() != drive->getChannelID()) {
                base += sata->getPortCount();
                continue;
            }
            const uint32_t port =
                drive->getSataPort() != Addr::kUnset ? drive->getSataPort() : drive->getDeviceID();
            return nls.get("eventArgControllerSATADevice",
                           std::vector<std::string>{controller, decimal(base + port)});
        }
    }
    return nls.get(
        "eventArgControllerScsiDevice",
        std::vector<std::string>{
            controller, channel != nullptr ? shownNumber(channel->getChannelID()) : kUnsetArgument,
            decimal(drive->getDeviceID())});
}

std::string BaseRaidMonitor::getReplacementID(PhysicalDevice* device) {
    if (device == nullptr) {
        return "";
    }
    const std::string fru = textOf(device->getFruNumber());
    const std::string vendor = textOf(device->getVendor());
    const std::string model = textOf(device->getModel());
    if (!fru.empty()) {
        return nls.get("deviceArgFRU", std::vector<std::string>{fru});
    }
    if (!vendor.empty() && !model.empty()) {
        return nls.get("deviceArgVendorModel", std::vector<std::string>{vendor, model});
    }
    return "";
}

std::string BaseRaidMonitor::getSize(LogicalDrive* logicalDrive) {
    if (logicalDrive == nullptr || logicalDrive->getAdapter() == nullptr) {
        return "0 GB";
    }
    // Rounded once, to whole hundredths, and then split: 1.05 stays 1.05 and 1.999 becomes
    // 2.00, with the hundredths always written as two digits.
    const long long hundredths = std::llround(detect::logicalDriveGigabytes(logicalDrive) * 100.0);
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%02lld GB", hundredths / 100, hundredths % 100);
    return text;
}

std::string BaseRaidMonitor::getRaidLevel(LogicalDrive* logicalDrive) {
    if (logicalDrive == nullptr) {
        return "";
    }
    const RaidLevelRow* row = raidLevelRow(logicalDrive);
    if (row == nullptr) {
        return "";
    }
    return row->catalogKey != nullptr ? nls.get(row->catalogKey) : std::string(row->text);
}

std::string BaseRaidMonitor::getQuickInit(LogicalDrive* logicalDrive) {
    if (logicalDrive == nullptr || logicalDrive->getSubState() != LD_SUB_STATE_QUICK_INIT) {
        return "";
    }
    return ", Method = " + nls.get("LD_SUB_QUICK_INIT");
}

unsigned long BaseRaidMonitor::getRaidFamily(LogicalDrive* logicalDrive) {
    const RaidLevelRow* row = raidLevelRow(logicalDrive);
    return row != nullptr ? row->family : 0;
}

bool BaseRaidMonitor::isTaskRunning(PhysicalDevice* device) {
    // Only a drive in state 0 is asked about; any other state answers no.
    if (device == nullptr || device->getState() != 0 || library == nullptr) {
        return false;
    }
    const Adapter* adapter = device->getAdapter();
    const Channel* channel = device->getChannel();
    const Addr addr(adapter != nullptr ? adapter->getAdapterID() : Addr::kUnset, Addr::kUnset,
                    Addr::kUnset, channel != nullptr ? channel->getChannelID() : Addr::kUnset,
                    device->getDeviceID(), Addr::kUnsetChunk, Addr::kUnset, Addr::kUnset);
    ProgressCollection tasks;
    library->getTasks(addr, tasks);
    return tasks.getProgressCount() > 0;
}

bool BaseRaidMonitor::isTaskRunning(LogicalDrive* logicalDrive) {
    if (logicalDrive == nullptr || library == nullptr) {
        return false;
    }
    const Adapter* adapter = logicalDrive->getAdapter();
    const Addr addr(adapter != nullptr ? adapter->getAdapterID() : Addr::kUnset, Addr::kUnset,
                    logicalDrive->getLogicalDriveID(), Addr::kUnset, Addr::kUnset,
                    Addr::kUnsetChunk, Addr::kUnset, Addr::kUnset);
    ProgressCollection tasks;
    library->getTasks(addr, tasks);
    return tasks.getProgressCount() > 0;
}

std::string BaseRaidMonitor::trim(std::string& text) {
    return NLSParser::trim(text);
}
