// Root of every library object that can be written through a Writer. isInstanceOf answers
// for the object's own type name and every base's; typeName is the class name and
// serializedName the element name the object is written under. writeTo appends the
// object's attributes (not its children) to the writer.
#pragma once

#include <cstring>

#include "port/Export.h"

class Writer;

class BRIXVL_EXPORT Serializable {
public:
    Serializable() = default;
    Serializable(const Serializable&) = default;
    Serializable& operator=(const Serializable&) = default;
    virtual ~Serializable() = default;

    virtual bool isInstanceOf(const char* typeName) const;
    virtual const char* typeName() const { return "Serializable"; }
    virtual const char* serializedName() const { return typeName(); }
    // Writes nothing here; each library class writes its own attributes.
    virtual void writeTo(Writer* writer);

protected:
    // The test each isInstanceOf makes for its own class; false for a null name.
    static bool named(const char* name, const char* typeName) {
        return name != nullptr && std::strcmp(name, typeName) == 0;
    }
};
