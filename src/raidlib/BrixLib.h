// The controller library's interface: discovered trees, controller event records and task
// queries. This base is a library without hardware: it answers with nothing (null trees,
// no events, no tasks). VelmarLib implements it over an in-memory model.
#pragma once

#include <cstdint>

#include "port/Export.h"
#include "raidlib/Addr.h"
#include "raidlib/Ret.h"

class System;
class RaidObject;
class ProgressCollection;

class BRIXVL_EXPORT BrixLib {
public:
    BrixLib() = default;
    BrixLib(const BrixLib&) = delete;
    BrixLib& operator=(const BrixLib&) = delete;
    virtual ~BrixLib() = default;

    // A freshly discovered tree (kept by the library), or null.
    virtual System* getNewSystem() { return nullptr; }
    // The latest tree and the one before it, or null.
    virtual System* getCurrentSystem() { return nullptr; }
    virtual System* getOldSystem() { return nullptr; }
    // The event records of the controller at adapter numbered from and later, as text in
    // *buffer (a malloc block or null, grown with realloc; the caller frees it). *buffer is
    // freed and set to null when there are none.
    virtual Ret getEvents(const Addr& adapter, unsigned long from, char** buffer);
    // The object at addr in the latest tree, or null.
    virtual RaidObject* getCurrentObject(Addr& addr);
    // Appends the tasks running at addr to tasks.
    virtual Ret getTasks(const Addr& addr, ProgressCollection& tasks);
};
