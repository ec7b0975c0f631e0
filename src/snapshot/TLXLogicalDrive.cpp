#include "snapshot/TLXLogicalDrive.h"

#include "raidlib/Adapter.h"

namespace {

// The written words of the creation time stamp, in attribute order (words 0 and 4, day of
// week and day of year, are copied but not written).
constexpr struct {
    const char* attribute;
    uint32_t timestamp_struct_t::*word;
} kCreationTime[] = {
    {"createDay", &timestamp_struct_t::day},
    {"createMonth", &timestamp_struct_t::month},
    {"createYear", &timestamp_struct_t::year},
    {"createHour", &timestamp_struct_t::hour},
    {"createMinute", &timestamp_struct_t::minute},
    {"createSecond", &timestamp_struct_t::second},
    {"createMilliSec", &timestamp_struct_t::millisecond},
};

}  // namespace

bool TLXLogicalDrive::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXLogicalDrive") || LogicalDrive::isInstanceOf(name);
}

void TLXLogicalDrive::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    LogicalDrive::writeTo(writer);
    snapshot::writeClearedText(writer, "logicalName", logicalName_);
    snapshot::writeClearedText(writer, "LDPath", ldPath_);
    snapshot::writeClearedText(writer, "secondaryLogicals", getSecondaryLogicals());
    const timestamp_struct_t& created = getCreationTime();
    for (const auto& entry : kCreationTime) {
        writer->writeAttribute(entry.attribute, static_cast<int>(created.*entry.word));
    }
    writer->writeAttribute("bTaskInProgress", bTaskInProgress_);
}

void TLXLogicalDrive::copyFrom(const LogicalDrive& live) {
    setAddr2(live.getAddr2());
    setState(live.getState());
    setRaidLevel(live.getRaidLevel());
    setBlockedAccess(live.getBlockedAccess());
    setWriteCacheMode(live.getWriteCacheMode());
    setOSPartitionInfo(live.getOSPartitionInfo());
    setBadBlockCount(live.getBadBlockCount());
    setSnapshotType(live.getSnapshotType());
    setSnapshotPartnerID(live.getSnapshotPartnerID());
    // Written with the library's attributes; without it every stored drive would read 0.
    setUniqueID(live.getUniqueID());
    if (live.getSecondaryLogicals() != nullptr) {
        setSecondaryLogicals(live.getSecondaryLogicals());
    }
    setCreationTime(live.getCreationTime());
}

bool TLXLogicalDrive::matches(const LogicalDrive& live) const {
    const timestamp_struct_t& own = getCreationTime();
    const timestamp_struct_t& time = live.getCreationTime();
    return snapshot::same(getAddr2(), live.getAddr2()) && getState() == live.getState() &&
           getRaidLevel() == live.getRaidLevel() && getBlockedAccess() == live.getBlockedAccess() &&
           getWriteCacheMode() == live.getWriteCacheMode() &&
           getOSPartitionInfo() == live.getOSPartitionInfo() &&
           getBadBlockCount() == live.getBadBlockCount() &&
           getSnapshotType() == live.getSnapshotType() &&
           getSnapshotPartnerID() == live.getSnapshotPartnerID() &&
           getUniqueID() == live.getUniqueID() &&
           (live.getSecondaryLogicals() == nullptr ||
            snapshot::same(getSecondaryLogicals(), live.getSecondaryLogicals())) &&
           own.dayOfWeek == time.dayOfWeek && own.month == time.month && own.day == time.day &&
           own.year == time.year && own.dayOfYear == time.dayOfYear && own.hour == time.hour &&
           own.minute == time.minute && own.second == time.second &&
           own.millisecond == time.millisecond;
}

void TLXLogicalDrive::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "LogicalDrive",
        [this](const char* name) {
            if (snapshot::named(name, "logicalDriveID")) {
                setLogicalDriveID(element_.attributes().GetULong(name));
            }
        },
        [](const char*) {});

    const XmlAttributeList_C& list = element_.attributes();
    setState(element_.getEnum<EnumLogicalDeviceState>("state"));
    setRaidLevel(element_.getEnum<EnumRaidLevel>("raidLevel"));
    setWriteCacheMode(list.GetLong("writeCacheMode"));
    setBadBlockCount(list.GetLong("badBlockCount"));
    setSnapshotType(list.GetLong("snapshotType"));
    setSnapshotPartnerID(list.GetLong("snapshotPartnerID"));
    setBlockedAccess(list.GetBool("blockedAccess"));
    setOSPartitionInfo(list.GetBool("OSPartition"));
    setUniqueID(list.GetULong("uniqueID"));
    logicalName_ = element_.text("logicalName");
    ldPath_ = element_.text("LDPath");
    setSecondaryLogicals(element_.text("secondaryLogicals"));
    timestamp_struct_t created = getCreationTime();
    for (const auto& entry : kCreationTime) {
        created.*entry.word = static_cast<uint32_t>(list.GetLong(entry.attribute));
    }
    setCreationTime(created);
    bTaskInProgress_ = list.GetBool("bTaskInProgress");
    if (const Adapter* adapter = getAdapter()) {
        setAdapterID(adapter->getAdapterID());
    }
    element_.attributes().Clear();
}
