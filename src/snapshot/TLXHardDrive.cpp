#include "snapshot/TLXHardDrive.h"

#include "snapshot/SnapshotDevice.h"

bool TLXHardDrive::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXHardDrive") || HardDrive::isInstanceOf(name);
}

void TLXHardDrive::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    HardDrive::writeTo(writer);
    snapshot::writeClearedText(writer, "LDPath", ldPath_);
}

void TLXHardDrive::copyFrom(const HardDrive& live) {
    snapshot::copyDeviceValues(*this, live);
    setSize(live.getSize());
    setPfaError(live.getPfaError());
    setPfaSupported(live.getPfaSupported());
    setOSPartitionInfo(live.getOSPartitionInfo());
    setTaskInProgress(live.getTaskInProgress());
}

bool TLXHardDrive::matches(const HardDrive& live) const {
    return snapshot::sameDeviceValues(*this, live) && getSize() == live.getSize() &&
           getPfaError() == live.getPfaError() && getPfaSupported() == live.getPfaSupported() &&
           getOSPartitionInfo() == live.getOSPartitionInfo() &&
           getTaskInProgress() == live.getTaskInProgress();
}

void TLXHardDrive::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "HardDrive",
        [this](const char* name) { snapshot::readDeviceIdentifier(*this, element_, name); },
        [](const char*) {});
    snapshot::readDeviceValues(*this, element_);
    const XmlAttributeList_C& list = element_.attributes();
    // Sizes are block counts beyond the 32-bit range on large drives: read all 64 bits.
    setSize(element_.getU64Exact("size"));
    setPfaError(list.GetBool("pfaError"));
    setPfaSupported(list.GetBool("pfaSupported"));
    setOSPartitionInfo(list.GetBool("OSPartition"));
    setTaskInProgress(list.GetBool("taskInProgress"));
    ldPath_ = element_.text("LDPath");
    element_.attributes().Clear();
}
