#include "snapshot/SnapshotDevice.h"

#include "raidlib/Adapter.h"
#include "raidlib/Channel.h"

namespace snapshot {

void copyDeviceValues(PhysicalDevice& target, const PhysicalDevice& live) {
    target.setAddr2(live.getAddr2());
    target.setDeviceType(live.getDeviceType());
    target.setVendor(live.getVendor());
    target.setModel(live.getModel());
    target.setSerialNumber(live.getSerialNumber());
    target.setFirmwareLevel(live.getFirmwareLevel());
    target.setFruNumber(live.getFruNumber());
    target.setWWN(live.getWWN());
    target.setState(live.getState());
    target.setInterfaceType(live.getInterfaceType());
    target.setWWN0(live.getWWN0());
    target.setWWN1(live.getWWN1());
    target.setSataPort(live.getSataPort());
}

bool sameDeviceValues(const PhysicalDevice& own, const PhysicalDevice& live) {
    return same(own.getAddr2(), live.getAddr2()) && own.getDeviceType() == live.getDeviceType() &&
           same(own.getVendor(), live.getVendor()) && same(own.getModel(), live.getModel()) &&
           same(own.getSerialNumber(), live.getSerialNumber()) &&
           same(own.getFirmwareLevel(), live.getFirmwareLevel()) &&
           same(own.getFruNumber(), live.getFruNumber()) && same(own.getWWN(), live.getWWN()) &&
           own.getState() == live.getState() && own.getInterfaceType() == live.getInterfaceType() &&
           own.getWWN0() == live.getWWN0() && own.getWWN1() == live.getWWN1() &&
           own.getSataPort() == live.getSataPort();
}

void readDeviceIdentifier(PhysicalDevice& target, const SnapshotElement& element,
                          const char* attribute) {
    if (named(attribute, "deviceID")) {
        target.setDeviceID(element.attributes().GetULong(attribute));
    }
}

void readDeviceValues(PhysicalDevice& target, const SnapshotElement& element) {
    const XmlAttributeList_C& list = element.attributes();
    target.setDeviceType(list.GetLong("deviceType"));
    target.setVendor(element.text("vendor"));
    target.setModel(element.text("model"));
    target.setSerialNumber(element.text("serialNumber"));
    target.setFirmwareLevel(element.text("firmwareLevel"));
    target.setFruNumber(element.text("fruNumber"));
    target.setWWN(element.text("wwn"));
    target.setState(element.getEnum<EnumPhysicalDeviceState>("state"));
    target.setInterfaceType(list.GetLong("interfaceType"));
    // 32-bit words written as signed decimals.
    target.setWWN0(static_cast<uint32_t>(list.GetLong("wwn0")));
    target.setWWN1(static_cast<uint32_t>(list.GetLong("wwn1")));
    target.setSataPort(static_cast<uint32_t>(list.GetLong("sataPort")));
    // The IDs of the enclosing elements win over whatever the device's own element says.
    if (const Adapter* adapter = target.getAdapter()) {
        target.setAdapterID(adapter->getAdapterID());
    }
    if (const Channel* channel = target.getChannel()) {
        target.setChannelID(channel->getChannelID());
    }
}

}  // namespace snapshot
