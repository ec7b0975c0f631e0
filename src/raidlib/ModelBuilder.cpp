#include "raidlib/ModelBuilder.h"

#include <algorithm>

#include "raidlib/OmdiAdapter.h"
#include "raidlib/PellAdapter.h"

using Attribute = VelmarLib::Attribute;

std::unique_lock<port::Mutex> ModelBuilder::lock() const {
    return library_ != nullptr ? std::unique_lock<port::Mutex>(library_->modelMutex())
                               : std::unique_lock<port::Mutex>();
}

Adapter* ModelBuilder::adapter(uint32_t id, const std::string& serial, Family family) {
    Adapter* adapter = family == Family::Pell   ? new PellAdapter()
                       : family == Family::Omdi ? static_cast<Adapter*>(new OmdiAdapter())
                                                : new Adapter();
    adapter->setAdapterID(id);
    adapter->setSerialNumString(serial);
    adapter->setDeviceVendor("VELMAR");
    adapter->setDeviceName("RAID Controller");
    return add(root(), adapter);
}

Channel* ModelBuilder::channel(Adapter* adapter, uint32_t id, EnumChannelType type) {
    auto* channel = new Channel();
    channel->setChannelID(id);
    channel->setChannelType(type);
    return add(adapter, channel);
}

SATAChannel* ModelBuilder::sataChannel(Adapter* adapter, uint32_t id, unsigned ports) {
    auto* channel = new SATAChannel();
    channel->setChannelID(id);
    channel->setPortCount(ports);
    return add(adapter, channel);
}

HardDrive* ModelBuilder::drive(Channel* channel, uint32_t deviceID, EnumPhysicalDeviceState state) {
    auto* drive = new HardDrive();
    drive->setDeviceID(deviceID);
    drive->setState(state);
    drive->setVendor("QEB-LMD");
    drive->setModel("DISK-" + std::to_string(deviceID));
    drive->setSerialNumber("SN" + std::to_string(channel->getAdapterID()) + "-" +
                           std::to_string(channel->getChannelID()) + "-" +
                           std::to_string(deviceID));
    return add(channel, drive);
}

Enclosure* ModelBuilder::enclosure(Channel* channel, uint32_t deviceID, uint16_t fans,
                                   uint16_t powerSupplies) {
    auto* enclosure = new Enclosure();
    enclosure->setDeviceID(deviceID);
    enclosure->setVendor("QEB-ENCL");
    enclosure->setModel("ENCL-" + std::to_string(deviceID));
    enclosure->setSafteConfig(new SafteConfig(fans, powerSupplies, 16));
    auto* status = new SafteStatus();
    for (unsigned i = 0; i < fans; ++i) {
        status->setFanStatus(i, SAFTE_FAN_OPERATIONAL);
    }
    for (unsigned i = 0; i < powerSupplies; ++i) {
        status->setPowerSupplyStatus(i, SAFTE_PS_OPERATIONAL_ON);
    }
    enclosure->setSafteStatus(status);
    enclosure->setSafteDataValid(true);
    return add(channel, enclosure);
}

LogicalDrive* ModelBuilder::logicalDrive(Adapter* adapter, uint32_t id,
                                         EnumLogicalDeviceState state, EnumRaidLevel level,
                                         uint64_t dataSpace) {
    auto* drive = new LogicalDrive();
    drive->setLogicalDriveID(id);
    drive->setState(state);
    drive->setRaidLevel(level);
    drive->setDataSpace64(dataSpace);
    if (adapter != nullptr) {
        const auto guard = lock();
        adapter->addChild(drive);  // built, not a change the controller logs
    }
    return drive;
}

PellBasicLogicalDrive* ModelBuilder::pellBasicLogicalDrive(Adapter* adapter, uint32_t id,
                                                           EnumLogicalDeviceState state) {
    auto* drive = new PellBasicLogicalDrive();
    drive->setLogicalDriveID(id);
    drive->setState(state);
    const auto guard = lock();
    adapter->addChild(drive);
    return drive;
}

void ModelBuilder::change(RaidObject* object, Attribute attribute, unsigned index, int value) {
    if (library_ != nullptr) {
        library_->changeAttribute(attribute, object->getAddr(), index, value);
    } else {
        VelmarLib::setAttribute(*object, attribute, index, value);
    }
}

void ModelBuilder::status(Adapter* adapter, EnumControllerStatus status) {
    change(adapter, Attribute::AdapterStatus, 0, status);
}

void ModelBuilder::battery(Adapter* adapter, EnumBatteryStatus status, bool tempWarning) {
    change(adapter, Attribute::BatteryStatus, 0, status);
    change(adapter, Attribute::BatteryTempWarning, 0, tempWarning);
}

void ModelBuilder::temperature(Adapter* adapter, long celsius, long thresholdHi) {
    const auto guard = lock();
    adapter->setFeature(FEATURE_HEAT_SINK_TEMPERATURE, 1);
    adapter->setHSTemperature(celsius);
    adapter->setHSThresholdHi(thresholdHi);
}

void ModelBuilder::versions(Adapter* adapter, const std::string& bios, const std::string& firmware,
                            const std::string& driver) {
    const auto guard = lock();
    adapter->setBiosVersion(bios);
    adapter->setFirmwareVersion(firmware);
    adapter->setDeviceDriverVersion(driver);
}

void ModelBuilder::slot(Adapter* adapter, int slot) {
    const auto guard = lock();
    adapter->setPhysicalSlot(slot);
}

void ModelBuilder::state(PhysicalDevice* drive, EnumPhysicalDeviceState state) {
    change(drive, Attribute::DriveState, 0, state);
}

void ModelBuilder::pfa(HardDrive* drive, bool error) {
    change(drive, Attribute::PfaError, 0, error);
}

void ModelBuilder::fru(PhysicalDevice* drive, const std::string& fru) {
    const auto guard = lock();
    drive->setFruNumber(fru);
}

bool ModelBuilder::wwn(PhysicalDevice* drive, const std::string& hex) {
    if (hex.size() != 16 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    // Byte 0 of each word is its last two digits, so the word prints in the written order.
    auto word = [&hex](size_t at) {
        uint32_t value = 0;
        for (int byte = 3; byte >= 0; --byte) {
            value = (value << 8) |
                    static_cast<uint32_t>(std::stoul(hex.substr(at + 2 * byte, 2), nullptr, 16));
        }
        return value;
    };
    const auto guard = lock();
    drive->setWWN0(word(0));
    drive->setWWN1(word(8));
    return true;
}

void ModelBuilder::sataPort(PhysicalDevice* drive, uint32_t port) {
    const auto guard = lock();
    drive->setSataPort(port);
}

void ModelBuilder::state(LogicalDrive* drive, EnumLogicalDeviceState state) {
    change(drive, Attribute::LogicalDriveState, 0, state);
}

void ModelBuilder::blocked(LogicalDrive* drive, bool blocked) {
    const auto guard = lock();
    drive->setBlockedAccess(blocked);
}

void ModelBuilder::raidLevel(LogicalDrive* drive, EnumRaidLevel level) {
    const auto guard = lock();
    drive->setRaidLevel(level);
}

void ModelBuilder::size(LogicalDrive* drive, uint64_t dataSpace) {
    const auto guard = lock();
    drive->setDataSpace64(dataSpace);
}

void ModelBuilder::fan(Enclosure* enclosure, unsigned index, EnumSAFTEFanStatusCodes code) {
    change(enclosure, Attribute::FanStatus, index, code);
}

void ModelBuilder::supply(Enclosure* enclosure, unsigned index,
                          EnumSAFTEPowerSupplyStatusCodes code) {
    change(enclosure, Attribute::PowerSupplyStatus, index, code);
}

void ModelBuilder::temperature(Enclosure* enclosure, bool outOfRange) {
    change(enclosure, Attribute::EnclosureTemperature, 0, outOfRange);
}

void ModelBuilder::task(LogicalDrive* drive, EnumTaskType type, EnumTaskState state,
                        uint32_t percent) {
    const auto guard = lock();
    drive->setProgress(Progress(type, state, percent, drive->getLogicalDriveID()));
}

RaidObject* ModelBuilder::addObject(RaidObject* parent, RaidObject* child) {
    if (library_ != nullptr && child != nullptr && child->isInstanceOf("LogicalDrive") &&
        parent != nullptr && parent->isInstanceOf("Adapter")) {
        const uint32_t adapterID = parent->getAdapterID();
        return library_->addLogicalDrive(adapterID, static_cast<LogicalDrive*>(child)) ? child
                                                                                       : nullptr;
    }
    const auto guard = lock();
    parent->addChild(child);
    return child;
}

bool ModelBuilder::remove(RaidObject* object) {
    if (object == nullptr) {
        return false;
    }
    constexpr std::pair<const char*, Attribute> kLogged[] = {
        {"HardDrive", Attribute::DrivePresent},
        {"Enclosure", Attribute::EnclosurePresent},
        {"LogicalDrive", Attribute::LogicalDrivePresent}};
    for (const auto& [type, presence] : kLogged) {
        if (library_ != nullptr && object->isInstanceOf(type)) {
            return library_->changeAttribute(presence, object->getAddr(), 0, 0);
        }
    }
    const auto guard = lock();
    delete object;  // unlinks itself from its parent
    return true;
}

RaidObject* ModelBuilder::replaceObject(RaidObject* old, RaidObject* fresh) {
    const auto guard = lock();
    RaidObject* parent = old != nullptr ? old->getParent() : nullptr;
    if (old == fresh) {
        return fresh;
    }
    if (parent == nullptr) {
        delete fresh;
        return nullptr;
    }
    const auto& children = parent->getChildren();
    const auto position = std::find(children.begin(), children.end(), old) - children.begin();
    delete old;
    parent->addChild(fresh, static_cast<unsigned>(position));
    return fresh;
}
