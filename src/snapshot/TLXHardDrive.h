// The snapshot form of a hard drive: the library's HardDrive, linked to its controller and
// channel at construction. Written as the element "HardDrive": the library's attributes,
// then LDPath. On reading, the adapter and channel IDs come from the enclosing elements.
#pragma once

#include <string>

#include "port/Export.h"
#include "raidlib/HardDrive.h"
#include "snapshot/SnapshotElement.h"

class SimpleXmlParser;

class TLX_EXPORT TLXHardDrive : public HardDrive {
public:
    explicit TLXHardDrive(Adapter* adapter = nullptr, Channel* channel = nullptr)
        : HardDrive(adapter, channel) {}
    TLXHardDrive(const TLXHardDrive& other) = default;
    ~TLXHardDrive() override = default;

    bool isInstanceOf(const char* name) const override;
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new TLXHardDrive(*this); }

    void copyFrom(const HardDrive& live);
    // True when this copy holds every value that copyFrom(live) would take.
    bool matches(const HardDrive& live) const;
    virtual void buildFromXml(SimpleXmlParser& parser);

    // Filled only by reading a snapshot.
    const std::string& getLDPath() const { return ldPath_; }
    void setLDPath(const std::string& path) { ldPath_ = path; }

private:
    SnapshotElement element_;
    std::string ldPath_;
};
