// The snapshot form of a channel: the library's Channel, linked to its controller at
// construction, with its hard drives and enclosures as TLXHardDrive and TLXEnclosure
// children. Written as the element "Channel" with the library's attributes only.
#pragma once

#include "port/Export.h"
#include "raidlib/Channel.h"
#include "snapshot/SnapshotElement.h"

class SimpleXmlParser;

class TLX_EXPORT TLXChannel : public Channel {
public:
    explicit TLXChannel(Adapter* adapter = nullptr) : Channel(adapter) {}
    TLXChannel(const TLXChannel& other) = default;
    ~TLXChannel() override = default;

    bool isInstanceOf(const char* name) const override;
    void writeTo(Writer* writer) override { Channel::writeTo(writer); }
    RaidObject* clone() const override { return new TLXChannel(*this); }

    void copyFrom(const Channel& live);
    // True when this copy and its children hold everything copyFrom(live) would copy.
    bool matches(const Channel& live) const;
    void buildFromXml(SimpleXmlParser& parser);

private:
    SnapshotElement element_;
};
