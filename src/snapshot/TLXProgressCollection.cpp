#include "snapshot/TLXProgressCollection.h"

#include "snapshot/TLXProgress.h"

bool TLXProgressCollection::isInstanceOf(const char* name) const {
    return snapshot::named(name, "ProgressCollection");
}

bool TLXProgressCollection::matches(const RaidObject& live) const {
    snapshot::KeptChildren kept(*this);
    for (const RaidObject* child : live.getChildren()) {
        if (child != nullptr && child->isInstanceOf("Progress") &&
            !kept.match<TLXProgress, RaidObject>(child)) {
            return false;
        }
    }
    return kept.done();
}

void TLXProgressCollection::copyFrom(const RaidObject& live) {
    for (const RaidObject* child : live.getChildren()) {
        if (child != nullptr && child->isInstanceOf("Progress")) {
            snapshot::copyChild<TLXProgress, RaidObject>(*this, child);
        }
    }
}

void TLXProgressCollection::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "ProgressCollection", [](const char*) {},
        [this, &parser](const char* name) {
            if (snapshot::named(name, "Progress")) {
                snapshot::buildChild<TLXProgress>(*this, parser);
            }
        });
    element_.attributes().Clear();
}
