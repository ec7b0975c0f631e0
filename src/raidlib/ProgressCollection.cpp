#include "raidlib/ProgressCollection.h"

int ProgressCollection::getProgressCount() const {
    int count = 0;
    for (const RaidObject* child : getChildren()) {
        if (child->isInstanceOf("Progress")) {
            ++count;
        }
    }
    return count;
}

Progress* ProgressCollection::getProgress(int index) const {
    int seen = 0;
    for (RaidObject* child : getChildren()) {
        if (child->isInstanceOf("Progress")) {
            if (seen == index) {
                return static_cast<Progress*>(child);
            }
            ++seen;
        }
    }
    return nullptr;
}
