#include "snapshot/TLXChannel.h"

#include "raidlib/Adapter.h"
#include "raidlib/Enclosure.h"
#include "raidlib/HardDrive.h"
#include "snapshot/TLXEnclosure.h"
#include "snapshot/TLXHardDrive.h"

bool TLXChannel::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXChannel") || Channel::isInstanceOf(name);
}

void TLXChannel::copyFrom(const Channel& live) {
    setAddr2(live.getAddr2());
    setChannelType(live.getChannelType());
    Adapter* adapter = getAdapter();
    for (const RaidObject* child : live.getChildren()) {
        if (child == nullptr) {
            continue;
        }
        if (child->isInstanceOf("HardDrive")) {
            snapshot::copyChild<TLXHardDrive, HardDrive>(*this, child, adapter, this);
        } else if (child->isInstanceOf("Enclosure")) {
            snapshot::copyChild<TLXEnclosure, Enclosure>(*this, child, adapter, this);
        }
    }
}

bool TLXChannel::matches(const Channel& live) const {
    if (!snapshot::same(getAddr2(), live.getAddr2()) || getChannelType() != live.getChannelType()) {
        return false;
    }
    snapshot::KeptChildren kept(*this);
    for (const RaidObject* child : live.getChildren()) {
        if (child == nullptr) {
            continue;
        }
        if (child->isInstanceOf("HardDrive")) {
            if (!kept.match<TLXHardDrive, HardDrive>(child)) {
                return false;
            }
        } else if (child->isInstanceOf("Enclosure") &&
                   !kept.match<TLXEnclosure, Enclosure>(child)) {
            return false;
        }
    }
    return kept.done();
}

void TLXChannel::buildFromXml(SimpleXmlParser& parser) {
    Adapter* adapter = getAdapter();
    element_.read(
        parser, "Channel",
        [this](const char* name) {
            if (snapshot::named(name, "channelID")) {
                setChannelID(element_.attributes().GetULong(name));
            }
        },
        [this, adapter, &parser](const char* name) {
            if (snapshot::named(name, "HardDrive")) {
                snapshot::buildChild<TLXHardDrive>(*this, parser, adapter, this);
            } else if (snapshot::named(name, "Enclosure")) {
                snapshot::buildChild<TLXEnclosure>(*this, parser, adapter, this);
            }
        });
    setChannelType(element_.getEnum<EnumChannelType>("channelType"));
    if (Adapter* owner = getAdapter()) {
        setAdapterID(owner->getAdapterID());
    }
    element_.attributes().Clear();
}
