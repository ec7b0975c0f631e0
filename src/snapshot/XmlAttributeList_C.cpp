#include "snapshot/XmlAttributeList_C.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "raidlib/DynamicBufferException.h"

namespace {

// The first entries reserved: elements carry about twenty attributes, so growing one entry
// at a time from none would reallocate five times per element.
constexpr unsigned long kFirstReservation = 32;

// A hash of the whole name, eight bytes at a step: attribute names are short, and every
// lookup and every indexed entry pays for one.
uint32_t hashName(const char* name) {
    const size_t length = std::strlen(name);
    uint64_t hash = 0x9E3779B97F4A7C15ULL ^ length;
    size_t at = 0;
    for (; at + 8 <= length; at += 8) {
        uint64_t word;
        std::memcpy(&word, name + at, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 32;
    }
    uint64_t tail = 0;
    for (; at < length; ++at) {
        tail = (tail << 8) | static_cast<unsigned char>(name[at]);
    }
    hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ULL;
    return static_cast<uint32_t>(hash ^ (hash >> 29));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits at text as a number, when there are at most 18 of them (no overflow) and the
// value does not go on with a 19th; false sends the caller to the general conversion.
bool readShortDecimal(const char* text, uint64_t& value) {
    value = 0;
    const char* p = text;
    for (; isDigit(*p) && p - text < 18; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
    }
    return p != text && !isDigit(*p);
}

// strtol as a 32-bit long reads it: decimal, stops at the first character that does not
// belong to the number, and saturates at the 32-bit limits.
int32_t toLong(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    // The common form, plain digits with an optional minus, without strtoll.
    uint64_t magnitude = 0;
    const bool negative = text[0] == '-';
    if (readShortDecimal(text + (negative ? 1 : 0), magnitude)) {
        if (magnitude > std::numeric_limits<int32_t>::max()) {
            return negative ? std::numeric_limits<int32_t>::min()
                            : std::numeric_limits<int32_t>::max();
        }
        const auto value = static_cast<int32_t>(magnitude);
        return negative ? -value : value;
    }
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

// strtoul as a 32-bit unsigned long reads it: a magnitude beyond 32 bits saturates, a minus
// sign negates the magnitude modulo 2^32.
uint32_t toULong(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    uint64_t digits = 0;
    if (readShortDecimal(text, digits)) {
        return digits > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                             : static_cast<uint32_t>(digits);
    }
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    if (!std::isdigit(static_cast<unsigned char>(*p))) {
        return 0;
    }
    errno = 0;
    const unsigned long long magnitude = std::strtoull(p, nullptr, 10);
    if (errno == ERANGE || magnitude > std::numeric_limits<uint32_t>::max()) {
        return std::numeric_limits<uint32_t>::max();
    }
    const auto value = static_cast<uint32_t>(magnitude);
    return negative ? 0u - value : value;
}

uint64_t toU64(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const double value = std::strtod(text, nullptr);
    // A conversion outside the target range is undefined; pin it to the range instead.
    if (std::isnan(value) || value <= 0.0) {
        return 0;
    }
    if (value >= 18446744073709551616.0) {
        return std::numeric_limits<uint64_t>::max();
    }
    return static_cast<uint64_t>(value);
}

bool toBool(const char* text) {
    return text != nullptr && (text[0] == 't' || text[0] == 'T' || text[0] == '1');
}

}  // namespace

XmlAttributeList_C::XmlAttributeList_C(unsigned long initial, unsigned long grow)
    : growEntries_(grow > 0 ? grow : 1) {
    reserve(initial);
}

XmlAttributeList_C::~XmlAttributeList_C() = default;

void XmlAttributeList_C::reserve(unsigned long entries) {
    try {
        entries_.reserve(entries);
    } catch (const std::exception&) {
        throw DynamicBufferException(DynamicBufferException::kOutOfMemory);
    }
}

void XmlAttributeList_C::setInitElements(unsigned long n, unsigned long grow) {
    growEntries_ = grow > 0 ? grow : 1;
    reserve(n);
}

void XmlAttributeList_C::setInitElements(unsigned long n) {
    reserve(n);
    growEntries_ = 1;
}

void XmlAttributeList_C::Append(const char* name, const char* value) {
    if (name == nullptr) {
        return;
    }
    if (entries_.size() == entries_.capacity()) {
        // At least the growth step, and at least double: a step of one entry (as every
        // snapshot object asks for) would otherwise copy the whole list at every append.
        const unsigned long capacity = entries_.capacity();
        const unsigned long step = growEntries_ > capacity ? growEntries_ : capacity;
        reserve(capacity + (step > kFirstReservation ? step : kFirstReservation));
    }
    entries_.push_back(Entry{name, value != nullptr ? value : ""});
}

void XmlAttributeList_C::Clear() {
    // The snapshot objects clear their list once they have read their element, never to
    // use it again: give the memory back rather than keep it for the tree's lifetime.
    std::vector<Entry>().swap(entries_);
    std::vector<Slot>().swap(slots_);
    indexed_ = 0;
}

size_t XmlAttributeList_C::slotOf(const char* name, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot& at = slots_[slot];
        if (at.entry == kEmptySlot ||
            (at.hash == hash &&
             std::strcmp(entries_[static_cast<size_t>(at.entry)].name, name) == 0)) {
            return slot;
        }
    }
}

void XmlAttributeList_C::indexPending() const {
    if (entries_.size() * 2 > slots_.size()) {
        size_t size = 32;
        while (size < entries_.size() * 2) {
            size *= 2;
        }
        slots_.assign(size, Slot{0, kEmptySlot});
        indexed_ = 0;
    }
    for (; indexed_ < entries_.size(); ++indexed_) {
        const uint32_t hash = hashName(entries_[indexed_].name);
        Slot& slot = slots_[slotOf(entries_[indexed_].name, hash)];
        if (slot.entry == kEmptySlot) {  // a repeated name keeps its first entry
            slot = Slot{hash, static_cast<int32_t>(indexed_)};
        }
    }
}

unsigned long XmlAttributeList_C::NumEntries() const {
    return entries_.size();
}

const char* XmlAttributeList_C::at(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= entries_.size()) {
        return nullptr;
    }
    return entries_[static_cast<size_t>(i)].value;
}

const char* XmlAttributeList_C::find(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    if (entries_.size() <= kScanLimit) {
        for (const Entry& entry : entries_) {
            if (std::strcmp(entry.name, name) == 0) {
                return entry.value;
            }
        }
        return nullptr;
    }
    indexPending();
    const int32_t entry = slots_[slotOf(name, hashName(name))].entry;
    return entry == kEmptySlot ? nullptr : entries_[static_cast<size_t>(entry)].value;
}

const char* XmlAttributeList_C::GetName(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= entries_.size()) {
        return nullptr;
    }
    return entries_[static_cast<size_t>(i)].name;
}

const char* XmlAttributeList_C::GetValue(int i) const {
    const char* value = at(i);
    return value != nullptr ? value : "";
}

const char* XmlAttributeList_C::GetValue(const char* name) const {
    const char* value = find(name);
    return value != nullptr ? value : "";
}

bool XmlAttributeList_C::Exists(const char* name) const {
    return find(name) != nullptr;
}

int32_t XmlAttributeList_C::GetLong(int i) const {
    return toLong(at(i));
}
int32_t XmlAttributeList_C::GetLong(const char* name) const {
    return toLong(find(name));
}

uint32_t XmlAttributeList_C::GetULong(int i) const {
    return toULong(at(i));
}
uint32_t XmlAttributeList_C::GetULong(const char* name) const {
    return toULong(find(name));
}

int64_t XmlAttributeList_C::GetI64(int i) const {
    return toLong(at(i));
}
int64_t XmlAttributeList_C::GetI64(const char* name) const {
    return toLong(find(name));
}

uint64_t XmlAttributeList_C::GetU64(int i) const {
    return toU64(at(i));
}
uint64_t XmlAttributeList_C::GetU64(const char* name) const {
    return toU64(find(name));
}

bool XmlAttributeList_C::GetBool(int i) const {
    return toBool(at(i));
}
bool XmlAttributeList_C::GetBool(const char* name) const {
    return toBool(find(name));
}
