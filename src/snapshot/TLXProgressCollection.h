// The snapshot form of the task list: one TLXProgress child per controller. Written as the
// element "ProgressCollection" without attributes; it answers isInstanceOf only for
// "ProgressCollection". The monitor keeps one as its task snapshot.
#pragma once

#include "port/Export.h"
#include "raidlib/RaidObject.h"
#include "snapshot/SnapshotElement.h"

class SimpleXmlParser;

class TLX_EXPORT TLXProgressCollection : public RaidObject {
public:
    TLXProgressCollection() = default;
    TLXProgressCollection(const TLXProgressCollection& other) = default;
    ~TLXProgressCollection() override = default;

    bool isInstanceOf(const char* name) const override;
    const char* typeName() const override { return "ProgressCollection"; }
    const char* serializedName() const override { return "ProgressCollection"; }
    // The collection itself has no attributes.
    void writeTo(Writer*) override {}
    RaidObject* clone() const override { return new TLXProgressCollection(*this); }

    // Adds a TLXProgress copy of every child of live that is a "Progress" (library tasks and
    // snapshot tasks alike).
    void copyFrom(const RaidObject& live);
    // True when this collection holds exactly the copies that copyFrom(live) would add.
    bool matches(const RaidObject& live) const;
    void buildFromXml(SimpleXmlParser& parser);

private:
    SnapshotElement element_;
};
