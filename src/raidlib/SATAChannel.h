// A SATA channel: a channel of type 1 with a number of ports. The monitor numbers SATA
// drives across the controller by adding up the port counts of the channels before theirs.
#pragma once

#include "raidlib/Channel.h"

class BRIXVL_EXPORT SATAChannel : public Channel {
public:
    explicit SATAChannel(Adapter* adapter = nullptr) : Channel(adapter) {
        setChannelType(CHANNEL_TYPE_SATA);
    }
    ~SATAChannel() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "SATAChannel") || Channel::isInstanceOf(name);
    }
    const char* typeName() const override { return "SATAChannel"; }
    RaidObject* clone() const override { return new SATAChannel(*this); }

    unsigned getPortCount() const { return portCount_; }
    void setPortCount(unsigned count) { portCount_ = count; }

private:
    unsigned portCount_ = 0;
};
