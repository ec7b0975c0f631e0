// An enclosure that speaks SES-2 instead of SAF-TE: its units are SESElement children. It
// is an Enclosure whose SAF-TE data is not valid.
#pragma once

#include "raidlib/Enclosure.h"
#include "raidlib/SESElement.h"

class BRIXVL_EXPORT SES2EnclosureDevice : public Enclosure {
public:
    explicit SES2EnclosureDevice(Adapter* adapter = nullptr, Channel* channel = nullptr)
        : Enclosure(adapter, channel) {}
    ~SES2EnclosureDevice() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "SES2EnclosureDevice") || Enclosure::isInstanceOf(name);
    }
    const char* typeName() const override { return "SES2EnclosureDevice"; }
    RaidObject* clone() const override { return new SES2EnclosureDevice(*this); }
};
