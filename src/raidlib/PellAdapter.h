// A controller of the Pell family: its logical drives report their data space in 512-byte
// blocks.
#pragma once

#include "raidlib/Adapter.h"

class BRIXVL_EXPORT PellAdapter : public Adapter {
public:
    ~PellAdapter() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "PellAdapter") || Adapter::isInstanceOf(name);
    }
    const char* typeName() const override { return "PellAdapter"; }
    RaidObject* clone() const override { return new PellAdapter(*this); }
};
