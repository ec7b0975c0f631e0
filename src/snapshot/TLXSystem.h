// The root of a snapshot tree: TLXAdapter children, one per controller, and the task list
// (TLXProgressCollection). Written as the element "System" without attributes. It stands
// for a stored configuration, so refreshing and discovering do nothing.
#pragma once

#include <functional>

#include "port/Export.h"
#include "raidlib/System.h"
#include "snapshot/SnapshotElement.h"

class SimpleXmlParser;

class TLX_EXPORT TLXSystem : public System {
public:
    explicit TLXSystem(long brixlibType = 0) : System(brixlibType) {}
    TLXSystem(const TLXSystem& other) = default;
    ~TLXSystem() override = default;

    bool isInstanceOf(const char* name) const override;
    void writeTo(Writer*) override {}
    RaidObject* clone() const override { return new TLXSystem(*this); }
    void refresh(VelmarLib*, Ret&) override {}
    int discover(VelmarLib*, Ret&) override { return 0; }

    // Adds a TLXAdapter copy of every controller of the live system.
    void copyFrom(const System& live);
    // As copyFrom(live), asking abandon (may be empty) before each controller; false when
    // it answered true and the copy was given up part way.
    bool copyFrom(const System& live, const std::function<bool()>& abandon);
    // Reads the "System" element; the parser may stand before its first token.
    void buildFromXml(SimpleXmlParser& parser);
    // As buildFromXml(parser), asking abandon (may be empty) before each child; false when it
    // answered true and the children from then on were skipped.
    bool buildFromXml(SimpleXmlParser& parser, const std::function<bool()>& abandon);

private:
    SnapshotElement element_;
};
