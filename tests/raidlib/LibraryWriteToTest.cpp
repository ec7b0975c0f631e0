#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "raidlib/Writer.h"
#include "raidlib/raidlib.h"
#include "support/TreeBuilder.h"

namespace {

// Keeps the attributes written to it as texts, the way the snapshot reader sees them.
class RecordingWriter : public Writer {
public:
    std::map<std::string, std::string> values;

    void put(const char* name, const std::string& value) { values[name] = value; }
    void writeAttribute(const char* n, char v) override { put(n, std::string(1, v)); }
    void writeAttribute(const char* n, unsigned char v) override {
        put(n, std::string(1, char(v)));
    }
    void writeAttribute(const char* n, int v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, unsigned int v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, int16_t v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, uint16_t v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, long v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, unsigned long v) override { put(n, std::to_string(v)); }
    void writeHexAttribute(const char* n, unsigned long v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, float v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, double v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, unsigned long long v) override { put(n, std::to_string(v)); }
    void writeAttribute(const char* n, long long v) override { put(n, std::to_string(v)); }
    void writeAttribute64(const char* n, unsigned long long v) override { writeAttribute(n, v); }
    void writeAttribute(const char* n, bool v) override { put(n, v ? "true" : "false"); }
    void writeAttribute(const char* n, const char* v) override { put(n, v); }
    void writeAttribute(const char* n, char* v) override { put(n, v); }
    void writeAddr(const Addr*) override {}
    void writeAddr(const Addr&) override {}
    void writeObject(Serializable*) override {}
    void writeObject(Serializable&) override {}
    void writeAddrAttributes(const Addr* a) override { writeAddrAttributes(*a); }
    void writeAddrAttributes(const Addr& a) override {
        const std::pair<const char*, uint32_t> ids[] = {{"controllerID", a.getAdapterID()},
                                                        {"logicalDriveID", a.getLogicalDriveID()},
                                                        {"channelID", a.getChannelID()},
                                                        {"deviceID", a.getDeviceID()}};
        for (const auto& id : ids) {
            if (id.second != Addr::kUnset) {
                writeAttribute(id.first, static_cast<unsigned int>(id.second));
            }
        }
    }
    void writeAddrAttributes(Addr* a) override { writeAddrAttributes(*a); }
    void writeElement(RaidObject*) override {}
    void writeElement(RaidObject&) override {}
    void writeText(const char*) override {}
    void writeBytes(const char*, const unsigned char*, unsigned long) override {}
    void writeRaw(const char*) override {}

    // The readings the snapshot reader applies.
    long getLong(const char* name) { return std::strtol(values.at(name).c_str(), nullptr, 10); }
};

TEST(LibraryWriteTo, WritesTheAttributesTheSnapshotReadsBack) {
    System system;
    TreeBuilder build(&system);
    Adapter* adapter = build.adapter(3, "S3");
    adapter->setAdapterStatus(CONTROLLER_STATUS_DEGRADED);
    adapter->setLimit(LIMIT_MAX_CONTROLLERS, 12);
    Channel* channel = build.channel(adapter, 1, CHANNEL_TYPE_SAS);
    HardDrive* drive = build.drive(channel, 4, PD_STATE_HOT_SPARE);
    drive->setWWN0(0xF0DEBC9A);
    drive->setSize(1ull << 33);
    drive->setPfaError(true);
    Enclosure* enclosure = build.enclosure(channel, 15);
    LogicalDrive* ld = build.logicalDrive(adapter, 2, LD_STATE_CRITICAL, RAID_LEVEL_10);
    ld->setBlockedAccess(true);
    ld->setUniqueID(77);

    RecordingWriter a;
    adapter->writeTo(&a);
    EXPECT_EQ("3", a.values["controllerID"]);
    EXPECT_EQ(2, a.getLong("controllerStatus"));
    EXPECT_EQ("VELMAR", a.values["deviceVendor"]);
    EXPECT_EQ(63, a.getLong("maxLogicalDrives"));
    EXPECT_EQ(12, a.getLong("maxControllers"));
    EXPECT_EQ(2147483647, a.getLong("physicalSlot"));
    for (const char* name : {"controllerType", "deviceName", "maxArrays", "maxSpannedArrays",
                             "maxChannels", "maxID", "maxDevicesPerArray"}) {
        EXPECT_EQ(1u, a.values.count(name)) << name;
    }

    RecordingWriter c;
    channel->writeTo(&c);
    EXPECT_EQ("1", c.values["channelID"]);
    EXPECT_EQ(4, c.getLong("channelType"));

    RecordingWriter d;
    drive->writeTo(&d);
    EXPECT_EQ("4", d.values["deviceID"]);
    EXPECT_EQ(4, d.getLong("state"));
    EXPECT_EQ("SN3-1-4", d.values["serialNumber"]);
    // A word with its top bit set survives a signed 32-bit reading.
    EXPECT_EQ(0xF0DEBC9Au, static_cast<uint32_t>(d.getLong("wwn0")));
    EXPECT_EQ(0x7FFFFFFF, d.getLong("sataPort"));
    EXPECT_EQ("8589934592", d.values["size"]);
    EXPECT_EQ("true", d.values["pfaError"]);
    for (const char* name :
         {"deviceType", "vendor", "model", "firmwareLevel", "fruNumber", "wwn", "interfaceType",
          "wwn1", "pfaSupported", "OSPartition", "taskInProgress"}) {
        EXPECT_EQ(1u, d.values.count(name)) << name;
    }

    RecordingWriter e;
    enclosure->writeTo(&e);
    EXPECT_EQ("15", e.values["deviceID"]);
    EXPECT_EQ("QEB-ENCL", e.values["vendor"]);
    EXPECT_EQ(0u, e.values.count("size"));

    RecordingWriter l;
    ld->writeTo(&l);
    EXPECT_EQ("2", l.values["logicalDriveID"]);
    EXPECT_EQ(3, l.getLong("state"));
    EXPECT_EQ(9, l.getLong("raidLevel"));
    EXPECT_EQ("true", l.values["blockedAccess"]);
    EXPECT_EQ("77", l.values["uniqueID"]);
    for (const char* name :
         {"writeCacheMode", "badBlockCount", "snapshotType", "snapshotPartnerID", "OSPartition"}) {
        EXPECT_EQ(1u, l.values.count(name)) << name;
    }
}

}  // namespace
