// Prints a configuration as an indented tree, as an administrator reads it: controllers,
// channels, drives (state, serial, vendor), enclosures (fan and power-supply states), logical
// drives (RAID level, size, state) and tasks. Works on a live library tree and on a stored
// snapshot tree alike. Reads the tree only; any thread that owns the tree may call it.
#pragma once

#include <ostream>

class RaidObject;

class ConfigurationPrinter {
public:
    static void print(RaidObject* system, std::ostream& out);
};
