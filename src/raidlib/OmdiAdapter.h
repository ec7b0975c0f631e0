// A controller of the Omdi family: its logical drives report their data space in megabytes.
#pragma once

#include "raidlib/Adapter.h"

class BRIXVL_EXPORT OmdiAdapter : public Adapter {
public:
    ~OmdiAdapter() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "OmdiAdapter") || Adapter::isInstanceOf(name);
    }
    const char* typeName() const override { return "OmdiAdapter"; }
    RaidObject* clone() const override { return new OmdiAdapter(*this); }
};
