#include "support/TreeBuilder.h"

Adapter* TreeBuilder::adapter(uint32_t id, const std::string& serial, Family family) {
    Adapter* adapter = nullptr;
    switch (family) {
        case Family::Pell:
            adapter = new PellAdapter();
            break;
        case Family::Omdi:
            adapter = new OmdiAdapter();
            break;
        case Family::Plain:
            adapter = new Adapter();
            break;
    }
    adapter->setAdapterID(id);
    adapter->setSerialNumString(serial);
    adapter->setDeviceVendor("VELMAR");
    adapter->setDeviceName("RAID Controller");
    root_->addChild(adapter);
    return adapter;
}

Channel* TreeBuilder::channel(Adapter* adapter, uint32_t id, EnumChannelType type) {
    auto* channel = new Channel();
    channel->setChannelID(id);
    channel->setChannelType(type);
    adapter->addChild(channel);
    return channel;
}

SATAChannel* TreeBuilder::sataChannel(Adapter* adapter, uint32_t id, unsigned ports) {
    auto* channel = new SATAChannel();
    channel->setChannelID(id);
    channel->setPortCount(ports);
    adapter->addChild(channel);
    return channel;
}

HardDrive* TreeBuilder::drive(Channel* channel, uint32_t deviceID, EnumPhysicalDeviceState state) {
    auto* drive = new HardDrive();
    drive->setDeviceID(deviceID);
    channel->addChild(drive);
    drive->setState(state);
    drive->setVendor("QEB-LMD");
    drive->setModel("DISK-" + std::to_string(deviceID));
    drive->setSerialNumber("SN" + std::to_string(drive->getAdapterID()) + "-" +
                           std::to_string(drive->getChannelID()) + "-" + std::to_string(deviceID));
    return drive;
}

Enclosure* TreeBuilder::enclosure(Channel* channel, uint32_t deviceID, uint16_t fans,
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
    channel->addChild(enclosure);
    return enclosure;
}

LogicalDrive* TreeBuilder::logicalDrive(Adapter* adapter, uint32_t id, EnumLogicalDeviceState state,
                                        EnumRaidLevel level, uint64_t dataSpace) {
    auto* drive = new LogicalDrive();
    drive->setLogicalDriveID(id);
    drive->setState(state);
    drive->setRaidLevel(level);
    drive->setDataSpace64(dataSpace);
    adapter->addChild(drive);
    return drive;
}

PellBasicLogicalDrive* TreeBuilder::pellBasicLogicalDrive(Adapter* adapter, uint32_t id,
                                                          EnumLogicalDeviceState state) {
    auto* drive = new PellBasicLogicalDrive();
    drive->setLogicalDriveID(id);
    drive->setState(state);
    adapter->addChild(drive);
    return drive;
}

void TreeBuilder::task(LogicalDrive* drive, EnumTaskType type, EnumTaskState state,
                       uint32_t percent) {
    Progress progress(type, state, percent, drive->getLogicalDriveID());
    drive->setProgress(progress);
}
