#include "raidlib/Serializable.h"

#include <cstring>

bool Serializable::isInstanceOf(const char* typeName) const {
    return typeName != nullptr && std::strcmp(typeName, "Serializable") == 0;
}

void Serializable::writeTo(Writer*) {}
