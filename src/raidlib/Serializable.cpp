#include "raidlib/Serializable.h"

bool Serializable::isInstanceOf(const char* typeName) const {
    return named(typeName, "Serializable");
}

void Serializable::writeTo(Writer*) {}
