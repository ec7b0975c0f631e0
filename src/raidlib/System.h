// The root of a discovered tree: the controllers (Adapter children) of one machine, and
// whatever else the library hangs below it. discover() reports how many controllers the
// tree holds.
#pragma once

#include "raidlib/RaidObject.h"
#include "raidlib/Ret.h"

class VelmarLib;

class BRIXVL_EXPORT System : public RaidObject {
public:
    explicit System(long brixlibType = 0);

    bool isInstanceOf(const char* name) const override {
        return named(name, "System") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "System"; }
    const char* serializedName() const override { return "System"; }
    RaidObject* clone() const override { return new System(*this); }

    // Brings the tree up to date with the hardware. The stand-in's trees are complete when
    // they are handed out, so this only clears ret.
    virtual void refresh(VelmarLib* library, Ret& ret);
    // The number of controllers in the tree; 0 means none. ret is cleared.
    virtual int discover(VelmarLib* library, Ret& ret);
};
