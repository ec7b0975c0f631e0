// The abstract serialisation sink that every library object and every snapshot object writes
// itself through (writeTo). It holds no data. The 29 operations keep a fixed order (the order
// of the virtual table); several come in pairs where one form only forwards to the other
// through the table, so that an implementation replacing the target changes both. XMLWriter in
// snapshot/ is the one implementation and adds its own operations behind these.
#pragma once

#include <cstdint>

#include "port/Export.h"

class Addr;
class Serializable;
class RaidObject;

class BRIXVL_EXPORT Writer {
public:
    virtual ~Writer();  // slot 0

    // Single attributes: " name=\"value\"".
    virtual void writeAttribute(const char* name, char value) = 0;                  // 1
    virtual void writeAttribute(const char* name, unsigned char value) = 0;         // 2
    virtual void writeAttribute(const char* name, int value) = 0;                   // 3
    virtual void writeAttribute(const char* name, unsigned int value) = 0;          // 4
    virtual void writeAttribute(const char* name, int16_t value) = 0;               // 5
    virtual void writeAttribute(const char* name, uint16_t value) = 0;              // 6
    virtual void writeAttribute(const char* name, long value) = 0;                  // 7
    virtual void writeAttribute(const char* name, unsigned long value) = 0;         // 8
    virtual void writeHexAttribute(const char* name, unsigned long value) = 0;      // 9
    virtual void writeAttribute(const char* name, float value) = 0;                 // 10
    virtual void writeAttribute(const char* name, double value) = 0;                // 11
    virtual void writeAttribute(const char* name, unsigned long long value) = 0;    // 12
    virtual void writeAttribute(const char* name, long long value) = 0;             // 13
    virtual void writeAttribute64(const char* name, unsigned long long value) = 0;  // 14
    virtual void writeAttribute(const char* name, bool value) = 0;                  // 15
    virtual void writeAttribute(const char* name, const char* value) = 0;           // 16
    // Clears the top bit of every byte of `value` in place before writing it.
    virtual void writeAttribute(const char* name, char* value) = 0;  // 17

    // Addresses and plain objects as empty elements.
    virtual void writeAddr(const Addr* addr) = 0;            // 18, forwards to 19
    virtual void writeAddr(const Addr& addr) = 0;            // 19
    virtual void writeObject(Serializable* object) = 0;      // 20, forwards to 21
    virtual void writeObject(Serializable& object) = 0;      // 21
    virtual void writeAddrAttributes(const Addr* addr) = 0;  // 22, forwards to 23
    virtual void writeAddrAttributes(const Addr& addr) = 0;  // 23: only the set IDs
    virtual void writeAddrAttributes(Addr* addr) = 0;        // 24, forwards to 22

    // A whole object tree as indented elements.
    virtual void writeElement(RaidObject* object) = 0;  // 25, forwards to 26
    virtual void writeElement(RaidObject& object) = 0;  // 26

    virtual void writeText(const char* text) = 0;  // 27
    virtual void writeBytes(const char* name, const unsigned char* data,
                            unsigned long count) = 0;  // 28
    virtual void writeRaw(const char* text) = 0;       // 29
};
