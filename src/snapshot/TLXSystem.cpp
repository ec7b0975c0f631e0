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
    buildFromXml(parser, nullptr);
}

bool TLXSystem::buildFromXml(SimpleXmlParser& parser, const std::function<bool()>& abandon) {
    bool abandoned = false;
    element_.read(
        parser, "System", [](const char*) {},
        [this, &parser, &abandon, &abandoned](const char* name) {
            // Once given up, the rest of the text is only tokenized, which is quick.
            abandoned = abandoned || (abandon && abandon());
            if (abandoned) {
                return;
            }
            if (snapshot::named(name, "Controller")) {
                snapshot::buildChild<TLXAdapter>(*this, parser);
            } else if (snapshot::named(name, "ProgressCollection")) {
                snapshot::buildChild<TLXProgressCollection>(*this, parser);
            }
        });
    element_.attributes().Clear();
    return !abandoned;
}
