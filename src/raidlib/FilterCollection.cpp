#include "raidlib/FilterCollection.h"

#include <algorithm>
#include <cstring>

FilterCollection::FilterCollection(RaidObject* root) {
    if (root != nullptr) {
        root->getChildren(objects_, nullptr, true, true);
    }
}

FilterCollection* FilterCollection::apply(const char* typeName, bool exact) {
    if (typeName == nullptr) {
        return this;
    }
    const auto keep = [typeName, exact](const RaidObject* object) {
        return exact ? std::strcmp(object->typeName(), typeName) == 0
                     : object->isInstanceOf(typeName);
    };
    objects_.erase(std::remove_if(objects_.begin(), objects_.end(),
                                  [&keep](const RaidObject* object) { return !keep(object); }),
                   objects_.end());
    return this;
}

RaidObject* FilterCollection::elementAt(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= objects_.size()) {
        return nullptr;
    }
    return objects_[static_cast<size_t>(index)];
}
