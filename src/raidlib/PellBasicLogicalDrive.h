// The basic logical-drive kind of Pell controllers; the monitor names it with its logical
// name in event texts.
#pragma once

#include "raidlib/LogicalDrive.h"

class BRIXVL_EXPORT PellBasicLogicalDrive : public LogicalDrive {
public:
    explicit PellBasicLogicalDrive(Adapter* adapter = nullptr) : LogicalDrive(adapter) {}
    ~PellBasicLogicalDrive() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "PellBasicLogicalDrive") || LogicalDrive::isInstanceOf(name);
    }
    const char* typeName() const override { return "PellBasicLogicalDrive"; }
    RaidObject* clone() const override { return new PellBasicLogicalDrive(*this); }
};
