#include "snapshot/TLXSystem.h"

#include "raidlib/Adapter.h"
#include "snapshot/TLXAdapter.h"
#include "snapshot/TLXProgressCollection.h"

bool TLXSystem::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXSystem") || System::isInstanceOf(name);
}

void TLXSystem::copyFrom(const System& live) {
    copyFrom(live, nullptr);
}

bool TLXSystem::copyFrom(const System& live, const std::function<bool()>& abandon) {
    for (const RaidObject* child : live.getChildren()) {
        if (abandon && abandon()) {
            return false;
        }
        if (child != nullptr && child->isInstanceOf("Adapter")) {
            snapshot::copyChild<TLXAdapter, Adapter>(*this, child);
        }
    }
    return true;
}

void TLXSystem::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "System", [](const char*) {},
        [this, &parser](const char* name) {
            if (snapshot::named(name, "Controller")) {
                snapshot::buildChild<TLXAdapter>(*this, parser);
            } else if (snapshot::named(name, "ProgressCollection")) {
                snapshot::buildChild<TLXProgressCollection>(*this, parser);
            }
        });
    element_.attributes().Clear();
}
