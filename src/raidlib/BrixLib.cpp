#include "raidlib/BrixLib.h"

#include <cstdlib>

Ret BrixLib::getEvents(const Addr&, unsigned long, char** buffer) {
    if (buffer != nullptr) {
        std::free(*buffer);
        *buffer = nullptr;
    }
    return Ret(Ret::kNotFound);
}

RaidObject* BrixLib::getCurrentObject(Addr&) {
    return nullptr;
}

Ret BrixLib::getTasks(const Addr&, ProgressCollection&) {
    return Ret(Ret::kNotFound);
}
