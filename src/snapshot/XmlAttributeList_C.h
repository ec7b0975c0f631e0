// An ordered list of attribute name/value pairs, collected while one XML element is read.
// The texts are not copied: they point into the parsed text, which must outlive the list's
// use. Names may repeat; lookups by name find the first entry. Absent attributes read as "",
// 0 or false. Growth failure throws DynamicBufferException (reason 1). A lookup by name costs
// constant time however many attributes an element has: past a few entries the list keeps a
// hash index of the first entry of each name, extended lazily by the lookups.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "port/Export.h"

class TLX_EXPORT XmlAttributeList_C {
public:
    // An empty list with storage for `initial` entries that grows by `grow` entries (at least
    // one) when full.
    XmlAttributeList_C(unsigned long initial, unsigned long grow);
    ~XmlAttributeList_C();

    // Sets the growth step to `grow` entries, then reserves `n` entries.
    void setInitElements(unsigned long n, unsigned long grow);
    // Reserves `n` entries, then sets the growth step to one entry.
    void setInitElements(unsigned long n);

    // Adds the pair at the end; nothing when name is null, a null value is stored as "".
    void Append(const char* name, const char* value);
    void Clear();
    unsigned long NumEntries() const;

    // Null when i is out of range.
    const char* GetName(int i) const;
    const char* GetValue(int i) const;
    const char* GetValue(const char* name) const;
    bool Exists(const char* name) const;

    // Signed 32-bit decimal (strtol); out-of-range values clamp to the 32-bit limits.
    int32_t GetLong(int i) const;
    int32_t GetLong(const char* name) const;
    // Unsigned 32-bit decimal (strtoul).
    uint32_t GetULong(int i) const;
    uint32_t GetULong(const char* name) const;
    // The signed 32-bit reading, sign-extended.
    int64_t GetI64(int i) const;
    int64_t GetI64(const char* name) const;
    // Read as a floating-point number (strtod) and converted; negative and NaN read as 0,
    // values beyond the 64-bit range as the largest value.
    uint64_t GetU64(int i) const;
    uint64_t GetU64(const char* name) const;
    // True when the value begins with 't', 'T' or '1'.
    bool GetBool(int i) const;
    bool GetBool(const char* name) const;

private:
    struct Entry {
        const char* name;
        const char* value;
    };

    // Below this many entries a scan beats hashing the name.
    static constexpr size_t kScanLimit = 8;
    static constexpr int32_t kEmptySlot = -1;

    // Null when there is no such entry.
    const char* find(const char* name) const;
    const char* at(int i) const;
    void reserve(unsigned long entries);
    // Adds the entries appended since the last lookup to the index.
    void indexPending() const;
    // The slot of name in slots_: the one holding its first entry, or the empty slot where
    // it would go.
    size_t slotOf(const char* name, uint32_t hash) const;

    unsigned long growEntries_ = 1;
    std::vector<Entry> entries_;
    // Open addressing over entry numbers, with each name's hash; a power of two in size, at
    // most half full.
    struct Slot {
        uint32_t hash;
        int32_t entry;
    };
    mutable std::vector<Slot> slots_;
    mutable size_t indexed_ = 0;
};
