#include "snapshot/TLXProgress.h"

#include "raidlib/Progress.h"

bool TLXProgress::isInstanceOf(const char* name) const {
    return snapshot::named(name, "Progress");
}

void TLXProgress::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    writer->writeAttribute("taskID", static_cast<unsigned int>(taskID_));
    writer->writeAttribute("taskType", static_cast<unsigned int>(taskType_));
    writer->writeAttribute("taskState", static_cast<unsigned int>(taskState_));
    writer->writeAttribute("percentageComplete", static_cast<unsigned int>(percentageComplete_));
    writer->writeAddrAttributes(deviceAddr_);
    snapshot::writeClearedText(writer, "adapterSerial", adapterSerial_);
    writer->writeAttribute("LDUniqueID", static_cast<unsigned int>(ldUniqueID_));
}

void TLXProgress::copyFrom(const Progress& live) {
    taskID_ = live.getTaskID();
    taskType_ = static_cast<uint32_t>(live.getType());
    taskState_ = static_cast<uint32_t>(live.getStatus());
    percentageComplete_ = live.getPercent();
    deviceAddr_ = live.getDeviceAddr();
}

void TLXProgress::copyFrom(const TLXProgress& stored) {
    if (&stored == this) {
        return;
    }
    taskID_ = stored.taskID_;
    taskType_ = stored.taskType_;
    taskState_ = stored.taskState_;
    percentageComplete_ = stored.percentageComplete_;
    deviceAddr_ = stored.deviceAddr_;
    adapterSerial_ = stored.adapterSerial_;
    ldUniqueID_ = stored.ldUniqueID_;
}

bool TLXProgress::matches(const RaidObject& object) const {
    // Tasks are few (one per controller at most): a fresh copy costs next to nothing.
    TLXProgress fresh;
    fresh.copyFrom(object);
    return taskID_ == fresh.taskID_ && taskType_ == fresh.taskType_ &&
           taskState_ == fresh.taskState_ && percentageComplete_ == fresh.percentageComplete_ &&
           deviceAddr_ == fresh.deviceAddr_ && adapterSerial_ == fresh.adapterSerial_ &&
           ldUniqueID_ == fresh.ldUniqueID_;
}

void TLXProgress::copyFrom(const RaidObject& object) {
    if (const auto* stored = dynamic_cast<const TLXProgress*>(&object)) {
        copyFrom(*stored);
    } else if (const auto* live = dynamic_cast<const Progress*>(&object)) {
        copyFrom(*live);
    }
}

// The address attributes are taken as they arrive; "itemID" and "phyID" are not read back.
void TLXProgress::readAddressAttribute(const char* name) {
    const XmlAttributeList_C& list = element_.attributes();
    if (snapshot::named(name, "controllerID")) {
        deviceAddr_.setAdapterID(list.GetULong(name));
    } else if (snapshot::named(name, "arrayID")) {
        deviceAddr_.setArrayID(list.GetULong(name));
    } else if (snapshot::named(name, "logicalDriveID")) {
        deviceAddr_.setLogicalDriveID(list.GetULong(name));
    } else if (snapshot::named(name, "channelID")) {
        deviceAddr_.setChannelID(list.GetULong(name));
    } else if (snapshot::named(name, "deviceID")) {
        deviceAddr_.setDeviceID(list.GetULong(name));
    } else if (snapshot::named(name, "chunkID")) {
        // The whole 64-bit value: the chunk ID is written with all its digits.
        deviceAddr_.setChunkID(element_.getU64Exact(name));
    }
}

void TLXProgress::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "Progress", [this](const char* name) { readAddressAttribute(name); },
        [](const char*) {});
    const XmlAttributeList_C& list = element_.attributes();
    taskID_ = list.GetULong("taskID");
    taskType_ = list.GetULong("taskType");
    taskState_ = list.GetULong("taskState");
    percentageComplete_ = list.GetULong("percentageComplete");
    adapterSerial_ = element_.text("adapterSerial");
    ldUniqueID_ = list.GetULong("LDUniqueID");
    element_.attributes().Clear();
}
