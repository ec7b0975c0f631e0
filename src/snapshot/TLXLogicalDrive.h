// The snapshot form of a logical drive: the library's LogicalDrive, linked to its controller
// at construction. Written as the element "LogicalDrive": the library's attributes, then the
// logical name, LDPath, secondary logicals, the creation time and the task flag. The logical
// name and LDPath are filled only by reading a snapshot.
#pragma once

#include <string>

#include "port/Export.h"
#include "raidlib/LogicalDrive.h"
#include "snapshot/SnapshotElement.h"

class SimpleXmlParser;

class TLX_EXPORT TLXLogicalDrive : public LogicalDrive {
public:
    explicit TLXLogicalDrive(Adapter* adapter = nullptr) : LogicalDrive(adapter) {}
    TLXLogicalDrive(const TLXLogicalDrive& other) = default;
    ~TLXLogicalDrive() override = default;

    bool isInstanceOf(const char* name) const override;
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new TLXLogicalDrive(*this); }

    void copyFrom(const LogicalDrive& live);
    // True when this copy holds every value that copyFrom(live) would take.
    bool matches(const LogicalDrive& live) const;
    void buildFromXml(SimpleXmlParser& parser);

    const std::string& getLogicalName() const { return logicalName_; }
    void setLogicalName(const std::string& name) { logicalName_ = name; }
    const std::string& getLDPath() const { return ldPath_; }
    void setLDPath(const std::string& path) { ldPath_ = path; }
    bool getBTaskInProgress() const { return bTaskInProgress_; }
    void setBTaskInProgress(bool running) { bTaskInProgress_ = running; }

private:
    SnapshotElement element_;
    std::string logicalName_;
    std::string ldPath_;
    bool bTaskInProgress_ = false;
};
