// The snapshot form of a controller: the library's Adapter with its channels and logical
// drives as TLXChannel and TLXLogicalDrive children. Written as the element "Controller":
// the library's attributes, then LDPath, serial number, PCI location, battery and version
// state. LDPath is written (empty) but never read back.
#pragma once

#include <string>

#include "port/Export.h"
#include "raidlib/Adapter.h"
#include "snapshot/SnapshotElement.h"

class SimpleXmlParser;

class TLX_EXPORT TLXAdapter : public Adapter {
public:
    TLXAdapter() = default;
    TLXAdapter(const TLXAdapter& other) = default;
    ~TLXAdapter() override = default;

    bool isInstanceOf(const char* name) const override;
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new TLXAdapter(*this); }

    // Copies the controller's values and creates the snapshot copies of its channels and
    // logical drives (those inside a configuration group included).
    void copyFrom(const Adapter& live);
    // True when this copy and its children hold everything copyFrom(live) would copy.
    bool matches(const Adapter& live) const;
    virtual void buildFromXml(SimpleXmlParser& parser);

    const std::string& getLDPath() const { return ldPath_; }
    void setLDPath(const std::string& path) { ldPath_ = path; }

private:
    SnapshotElement element_;
    std::string ldPath_;
};
