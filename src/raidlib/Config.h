// A configuration group below a controller that holds logical drives; the snapshot takes
// the logical drives out of it.
#pragma once

#include "raidlib/RaidObject.h"

class BRIXVL_EXPORT Config : public RaidObject {
public:
    ~Config() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "Config") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "Config"; }
    const char* serializedName() const override { return "Config"; }
    RaidObject* clone() const override { return new Config(*this); }
};
