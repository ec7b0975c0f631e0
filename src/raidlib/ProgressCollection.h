// A list of tasks: Progress children in the order they were added. VelmarLib::getTasks fills
// one; copies are deep.
#pragma once

#include "raidlib/Progress.h"

class BRIXVL_EXPORT ProgressCollection : public RaidObject {
public:
    ~ProgressCollection() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "ProgressCollection") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "ProgressCollection"; }
    const char* serializedName() const override { return "ProgressCollection"; }
    RaidObject* clone() const override { return new ProgressCollection(*this); }

    // Number of Progress children.
    int getProgressCount() const;
    // The index-th Progress child, or null.
    Progress* getProgress(int index) const;
    // Adds a copy of task.
    void addProgress(const Progress& task) { addChild(new Progress(task)); }
};
