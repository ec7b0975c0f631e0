// A list of the objects below a root, in tree order (depth first, children in order). At
// construction it holds every descendant; apply(typeName, exact) narrows it to those of
// that type and returns the collection itself. It borrows the objects: deleting the
// collection leaves the tree alone.
#pragma once

#include <vector>

#include "raidlib/RaidObject.h"

class BRIXVL_EXPORT FilterCollection {
public:
    explicit FilterCollection(RaidObject* root);
    virtual ~FilterCollection();

    // Keeps the objects that are instances of typeName (exact: whose typeName() is exactly
    // typeName). Returns this collection.
    FilterCollection* apply(const char* typeName, bool exact);

    int size() const { return static_cast<int>(objects_.size()); }
    // Null when index is out of range.
    RaidObject* elementAt(int index) const;

private:
    std::vector<RaidObject*> objects_;
};
