#include "snapshot/TLXAdapter.h"

#include <vector>

#include "raidlib/Channel.h"
#include "raidlib/LogicalDrive.h"
#include "snapshot/TLXChannel.h"
#include "snapshot/TLXLogicalDrive.h"

namespace {

// The adapter limits in the order of their attributes: limit 1 is "maxLogicalDrives".
constexpr struct {
    Limit limit;
    const char* attribute;
} kLimits[] = {
    {LIMIT_MAX_LOGICAL_DRIVES, "maxLogicalDrives"},
    {LIMIT_MAX_ARRAYS, "maxArrays"},
    {LIMIT_MAX_SPANNED_ARRAYS, "maxSpannedArrays"},
    {LIMIT_MAX_CHANNELS, "maxChannels"},
    {LIMIT_MAX_ID, "maxID"},
    {LIMIT_MAX_DEVICES_PER_ARRAY, "maxDevicesPerArray"},
    {LIMIT_MAX_CONTROLLERS, "maxControllers"},
};

}  // namespace

bool TLXAdapter::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXAdapter") || Adapter::isInstanceOf(name);
}

void TLXAdapter::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    Adapter::writeTo(writer);
    snapshot::writeClearedText(writer, "LDPath", ldPath_);
    snapshot::writeClearedText(writer, "controllerSerial", getSerialNumString());
    writer->writeAttribute("pciBus", static_cast<int>(getPCIBus()));
    writer->writeAttribute("pciDevice", static_cast<int>(getPciDevice()));
    writer->writeAttribute("pciFunction", static_cast<int>(getPCIFunction()));
    writer->writeAttribute("batStatus", static_cast<int>(getBatStatus()));
    writer->writeAttribute("batTempWarning", IsBatTempWarning() ? 1 : 0);
    writer->writeAttribute("versionMatchStatus", static_cast<int>(getVersionMatchStatus()));
}

void TLXAdapter::copyFrom(const Adapter& live) {
    setAddr2(live.getAddr2());
    setAdapterType(live.getAdapterType());
    setPhysicalSlot(live.getPhysicalSlot());
    setAdapterStatus(live.getAdapterStatus());
    setDeviceVendor(live.getDeviceVendor());
    setDeviceName(live.getDeviceName());
    setPCIBus(live.getPCIBus());
    setPciDevice(live.getPciDevice());
    setPCIFunction(live.getPCIFunction());
    setBatStatus(live.getBatStatus());
    setBatTempWarning(live.IsBatTempWarning());
    setVersionMatchStatus(live.getVersionMatchStatus());
    setSerialNumString(live.getSerialNumString());
    for (const auto& entry : kLimits) {
        setLimit(entry.limit, live.getLimit(entry.limit));
    }

    for (const RaidObject* child : live.getChildren()) {
        if (child == nullptr) {
            continue;
        }
        if (child->isInstanceOf("Channel")) {
            snapshot::copyChild<TLXChannel, Channel>(*this, child, this);
        } else if (child->isInstanceOf("LogicalDrive")) {
            snapshot::copyChild<TLXLogicalDrive, LogicalDrive>(*this, child, this);
        } else if (child->isInstanceOf("Config")) {
            std::vector<RaidObject*> drives;
            child->getChildren(drives, "LogicalDrive", true, true);
            for (const RaidObject* drive : drives) {
                snapshot::copyChild<TLXLogicalDrive, LogicalDrive>(*this, drive, this);
            }
        }
    }
}

bool TLXAdapter::matches(const Adapter& live) const {
    if (!snapshot::same(getAddr2(), live.getAddr2()) || getAdapterType() != live.getAdapterType() ||
        getPhysicalSlot() != live.getPhysicalSlot() ||
        getAdapterStatus() != live.getAdapterStatus() ||
        !snapshot::same(getDeviceVendor(), live.getDeviceVendor()) ||
        !snapshot::same(getDeviceName(), live.getDeviceName()) || getPCIBus() != live.getPCIBus() ||
        getPciDevice() != live.getPciDevice() || getPCIFunction() != live.getPCIFunction() ||
        getBatStatus() != live.getBatStatus() || IsBatTempWarning() != live.IsBatTempWarning() ||
        getVersionMatchStatus() != live.getVersionMatchStatus() ||
        !snapshot::same(getSerialNumString(), live.getSerialNumString())) {
        return false;
    }
    for (const auto& entry : kLimits) {
        if (getLimit(entry.limit) != live.getLimit(entry.limit)) {
            return false;
        }
    }
    snapshot::KeptChildren kept(*this);
    std::vector<RaidObject*> drives;
    for (const RaidObject* child : live.getChildren()) {
        if (child == nullptr) {
            continue;
        }
        bool same = true;
        if (child->isInstanceOf("Channel")) {
            same = kept.match<TLXChannel, Channel>(child);
        } else if (child->isInstanceOf("LogicalDrive")) {
            same = kept.match<TLXLogicalDrive, LogicalDrive>(child);
        } else if (child->isInstanceOf("Config")) {
            drives.clear();
            child->getChildren(drives, "LogicalDrive", true, true);
            for (const RaidObject* drive : drives) {
                same = same && kept.match<TLXLogicalDrive, LogicalDrive>(drive);
            }
        }
        if (!same) {
            return false;
        }
    }
    return kept.done();
}

void TLXAdapter::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "Controller",
        [this](const char* name) {
            if (snapshot::named(name, "controllerID")) {
                setAdapterID(element_.attributes().GetULong(name));
            }
        },
        [this, &parser](const char* name) {
            if (snapshot::named(name, "Channel")) {
                snapshot::buildChild<TLXChannel>(*this, parser, this);
            } else if (snapshot::named(name, "LogicalDrive")) {
                snapshot::buildChild<TLXLogicalDrive>(*this, parser, this);
            }
        });

    const XmlAttributeList_C& list = element_.attributes();
    setAdapterType(list.GetLong("controllerType"));
    setPhysicalSlot(list.GetLong("physicalSlot"));
    setAdapterStatus(element_.getEnum<EnumControllerStatus>("controllerStatus"));
    setDeviceVendor(element_.text("deviceVendor"));
    setDeviceName(element_.text("deviceName"));
    for (const auto& entry : kLimits) {
        setLimit(entry.limit, static_cast<uint32_t>(list.GetLong(entry.attribute)));
    }
    setSerialNumString(element_.text("controllerSerial"));
    setPCIBus(list.GetULong("pciBus"));
    setPciDevice(list.GetULong("pciDevice"));
    setPCIFunction(list.GetULong("pciFunction"));
    setBatStatus(element_.getEnum<EnumBatteryStatus>("batStatus"));
    setBatTempWarning(list.GetBool("batTempWarning"));
    setVersionMatchStatus(element_.getEnum<EnumCodeVersionStatus>("versionMatchStatus"));
    element_.attributes().Clear();
}
