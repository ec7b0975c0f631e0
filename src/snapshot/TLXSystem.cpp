#include "snapshot/TLXSystem.h"

#include "raidlib/Adapter.h"
#include "snapshot/TLXAdapter.h"
#include "snapshot/TLXProgressCollection.h"

bool TLXSystem::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXSystem") || System::isInstanceOf(name);
}

void TLXSystem::copyFrom(const System& live) {
    for (const RaidObject* child : live.getChildren()) {
        if (child != nullptr && child->isInstanceOf("Adapter")) {
            snapshot::copyChild<TLXAdapter, Adapter>(*this, child);
        }
    }
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
