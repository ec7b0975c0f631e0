#include "snapshot/XMLWriter.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "raidlib/Addr.h"
#include "raidlib/Addr2.h"
#include "raidlib/RaidObject.h"
#include "raidlib/Serializable.h"

namespace {

// The entity that replaces a character in an attribute value, or null to keep it.
const char* entityFor(char c) {
    switch (c) {
        case '"':
            return "&quot;";
        case '&':
            return "&amp;";
        case '\'':
            return "&apos;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        default:
            return nullptr;
    }
}

// Control characters in text values become this word, so that a value never breaks a line.
constexpr char kDelim[] = "DELIM";
constexpr size_t kDelimLength = sizeof(kDelim) - 1;

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 31;
}

// The length of each byte as a text attribute holds it: its entity, "DELIM" or itself.
struct StoredLengths {
    constexpr StoredLengths() : of() {
        for (int c = 0; c < 256; ++c) {
            of[c] = c >= 1 && c <= 31 ? kDelimLength : 1;
        }
        of[static_cast<unsigned char>('"')] = 6;
        of[static_cast<unsigned char>('&')] = 5;
        of[static_cast<unsigned char>('\'')] = 6;
        of[static_cast<unsigned char>('<')] = 4;
        of[static_cast<unsigned char>('>')] = 4;
    }
    unsigned char of[256];
};
constexpr StoredLengths kStoredLengths;

// The 7-bit form of a text, in place: what the char* attributes write.
void clearTopBits(char* text) {
    for (char* p = text; *p != '\0'; ++p) {
        *p = static_cast<char>(static_cast<unsigned char>(*p) & 0x7F);
    }
}

// Hands each character of value to emit(piece, length) as an attribute value holds it: a
// control character as "DELIM", a markup character as its entity when escape is set, any
// other as itself. The writer escapes; the reader's unescaping leaves the form without.
template <typename Emit>
void forEachStoredPiece(const char* value, bool escape, Emit&& emit) {
    for (const char* p = value; *p != '\0'; ++p) {
        const char* entity = escape ? entityFor(*p) : nullptr;
        if (entity != nullptr) {
            emit(entity, std::strlen(entity));
        } else if (isControl(*p)) {
            emit(kDelim, kDelimLength);
        } else {
            emit(p, 1);
        }
    }
}

}  // namespace

std::string XMLWriter::storedText(const char* value) {
    std::string cleared = value != nullptr ? value : "";
    clearTopBits(&cleared[0]);
    std::string stored;
    forEachStoredPiece(cleared.c_str(), false, [&stored](const char* piece, size_t length) {
        stored.append(piece, length);
    });
    return stored;
}

XMLWriter::XMLWriter(char** text)
    : XMLWriter(text, [](void* block, size_t size) { return std::realloc(block, size); }) {}

XMLWriter::XMLWriter(char** text, Reallocate reallocate)
    : reallocate_(reallocate), callerText_(text) {
    if (callerText_ != nullptr) {
        std::free(*callerText_);
        *callerText_ = nullptr;
    }
    text_ = static_cast<char*>(reallocate_(nullptr, kFirstBlock));
    if (text_ != nullptr) {
        text_[0] = '\0';
        capacity_ = kFirstBlock;
    } else {
        complete_ = false;
    }
    if (callerText_ != nullptr) {
        *callerText_ = text_;
    }
}

char* XMLWriter::reserve(size_t count) {
    // Without a first block there is nothing to grow from: the text stays empty.
    if (text_ == nullptr) {
        complete_ = false;
        return nullptr;
    }
    const uint64_t needed = uint64_t{length_} + 2 + count;
    if (needed < capacity_) {
        return text_ + length_;
    }
    uint64_t capacity = capacity_;
    while (capacity < needed) {
        capacity = capacity < kLinearGrowth ? capacity * 2 : capacity + kLinearGrowth;
    }
    if (capacity > UINT32_MAX) {
        complete_ = false;
        return nullptr;
    }
    // realloc rather than allocate-copy-free: above 64 KiB the block grows in fixed steps, and
    // copying the whole text at every step would make a large snapshot quadratic to write.
    // On failure the old block stays as it was.
    auto* grown = static_cast<char*>(reallocate_(text_, static_cast<size_t>(capacity)));
    if (grown == nullptr) {
        complete_ = false;
        return nullptr;
    }
    text_ = grown;
    capacity_ = static_cast<uint32_t>(capacity);
    if (callerText_ != nullptr) {
        *callerText_ = text_;
    }
    return text_ + length_;
}

void XMLWriter::commit(size_t count) {
    length_ += static_cast<uint32_t>(count);
    text_[length_] = '\0';
}

void XMLWriter::append(const char* bytes, size_t count) {
    if (count == 0) {
        return;
    }
    char* out = reserve(count);
    if (out != nullptr) {
        std::memcpy(out, bytes, count);
        commit(count);
    }
}

void XMLWriter::append(const char* text) {
    if (text != nullptr) {
        append(text, std::strlen(text));
    }
}

void XMLWriter::appendSpaces(uint32_t count) {
    if (count == 0) {
        return;
    }
    char* out = reserve(count);
    if (out != nullptr) {
        std::memset(out, ' ', count);
        commit(count);
    }
}

// " name=\"" + the value that fill(out) writes (valueLength bytes) + "\"", appended in one
// piece straight into the text: no line buffer, no heap block of its own.
template <typename Fill>
void XMLWriter::appendAttribute(const char* name, size_t valueLength, Fill&& fill) {
    if (name == nullptr) {
        return;
    }
    const size_t nameLength = std::strlen(name);
    const size_t total = nameLength + valueLength + 4;
    char* out = reserve(total);
    if (out == nullptr) {
        return;
    }
    out[0] = ' ';
    std::memcpy(out + 1, name, nameLength);
    out[nameLength + 1] = '=';
    out[nameLength + 2] = '"';
    fill(out + nameLength + 3);
    out[total - 1] = '"';
    commit(total);
}

void XMLWriter::appendValue(const char* name, const char* value, size_t length) {
    appendAttribute(name, length, [value, length](char* out) { std::memcpy(out, value, length); });
}

template <typename Number>
void XMLWriter::writeNumber(const char* name, Number value, int base) {
    char digits[72];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, base);
    appendValue(name, digits, static_cast<size_t>(result.ptr - digits));
}

// "%f": six decimals, as printf writes them (std::to_chars with a precision is exact in the
// same way). The largest double has 309 integer digits.
void XMLWriter::writeFixed(const char* name, double value) {
    char digits[400];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) {
        complete_ = false;
        return;
    }
    appendValue(name, digits, static_cast<size_t>(result.ptr - digits));
}

void XMLWriter::writeEscapedText(const char* name, const char* value) {
    if (value == nullptr) {
        value = "";
    }
    // Most texts hold nothing to escape: then the value is copied as it stands.
    size_t escaped = 0;
    size_t count = 0;
    for (const char* p = value; *p != '\0'; ++p, ++count) {
        escaped += kStoredLengths.of[static_cast<unsigned char>(*p)];
    }
    const bool plain = escaped == count;
    appendAttribute(name, escaped, [value, escaped, plain](char* out) {
        if (plain) {
            std::memcpy(out, value, escaped);
            return;
        }
        forEachStoredPiece(value, true, [&out](const char* piece, size_t length) {
            std::memcpy(out, piece, length);
            out += length;
        });
    });
}

void XMLWriter::writeCharacter(const char* name, char value) {
    const char* entity = entityFor(value);
    if (entity != nullptr) {
        appendValue(name, entity, std::strlen(entity));
    } else {
        // A NUL character would end the text inside the attribute: an empty value instead.
        appendValue(name, &value, value == '\0' ? 0 : 1);
    }
}

void XMLWriter::writeAttribute(const char* name, char value) {
    writeCharacter(name, value);
}

// Not a forwarding slot: it writes the same way as the char form, without dispatching to it.
void XMLWriter::writeAttribute(const char* name, unsigned char value) {
    writeCharacter(name, static_cast<char>(value));
}

void XMLWriter::writeAttribute(const char* name, int value) {
    writeNumber(name, value);
}

void XMLWriter::writeAttribute(const char* name, unsigned int value) {
    writeNumber(name, value);
}

void XMLWriter::writeAttribute(const char* name, int16_t value) {
    writeNumber(name, static_cast<int>(value));
}

void XMLWriter::writeAttribute(const char* name, uint16_t value) {
    writeNumber(name, static_cast<unsigned int>(value));
}

void XMLWriter::writeAttribute(const char* name, long value) {
    writeNumber(name, value);
}

void XMLWriter::writeAttribute(const char* name, unsigned long value) {
    writeNumber(name, value);
}

void XMLWriter::writeHexAttribute(const char* name, unsigned long value) {
    char digits[24] = {'0', 'x'};
    const auto result = std::to_chars(digits + 2, digits + sizeof digits, value, 16);
    appendValue(name, digits, static_cast<size_t>(result.ptr - digits));
}

void XMLWriter::writeAttribute(const char* name, float value) {
    writeFixed(name, static_cast<double>(value));
}

void XMLWriter::writeAttribute(const char* name, double value) {
    writeFixed(name, value);
}

void XMLWriter::writeAttribute(const char* name, unsigned long long value) {
    writeNumber(name, value);
}

void XMLWriter::writeAttribute(const char* name, long long value) {
    writeNumber(name, value);
}

void XMLWriter::writeAttribute64(const char* name, unsigned long long value) {
    writeAttribute(name, value);
}

void XMLWriter::writeAttribute(const char* name, bool value) {
    // Only the byte value 1 is true; whatever else the byte holds is written as false.
    unsigned char byte = 0;
    std::memcpy(&byte, &value, 1);
    if (byte == 1) {
        appendValue(name, "true", 4);
    } else {
        appendValue(name, "false", 5);
    }
}

void XMLWriter::writeAttribute(const char* name, const char* value) {
    writeEscapedText(name, value);
}

void XMLWriter::writeAttribute(const char* name, char* value) {
    // The caller's text is changed in place: the output holds 7-bit characters only.
    if (value != nullptr) {
        clearTopBits(value);
    }
    writeEscapedText(name, value);
}

void XMLWriter::writeAddr(const Addr* addr) {
    if (addr != nullptr) {
        writeAddr(*addr);
    }
}

void XMLWriter::writeAddr(const Addr& addr) {
    append("<");
    append(addr.serializedName());
    writeAddrAttributes(addr);
    append("/>");
}

void XMLWriter::writeObject(Serializable* object) {
    if (object != nullptr) {
        writeObject(*object);
    }
}

void XMLWriter::writeObject(Serializable& object) {
    append("<");
    append(object.serializedName());
    object.writeTo(this);
    append("/>");
}

void XMLWriter::writeAddrAttributes(const Addr* addr) {
    if (addr != nullptr) {
        writeAddrAttributes(*addr);
    }
}

void XMLWriter::writeAddrAttributes(const Addr& addr) {
    const auto id = [this](const char* name, uint32_t value) {
        if (value != Addr::kUnset) {
            writeAttribute(name, static_cast<unsigned int>(value));
        }
    };
    id("controllerID", addr.getAdapterID());
    id("arrayID", addr.getArrayID());
    id("logicalDriveID", addr.getLogicalDriveID());
    id("channelID", addr.getChannelID());
    id("deviceID", addr.getDeviceID());
    if (addr.getChunkID() != Addr::kUnsetChunk) {
        writeAttribute64("chunkID", addr.getChunkID());
    }
    id("itemID", addr.getItemID());
    id("phyID", addr.getPhyID());
}

void XMLWriter::writeAddrAttributes(Addr* addr) {
    writeAddrAttributes(static_cast<const Addr*>(addr));
}

void XMLWriter::writeElement(RaidObject* object) {
    if (object != nullptr) {
        writeElement(*object);
    }
}

void XMLWriter::writeElement(RaidObject& object) {
    if (abandoned_ || (abandon_ && abandon_())) {
        abandoned_ = true;  // the text will not be used: write nothing more
        complete_ = false;
        return;
    }
    appendSpaces(indent_ < kMaxOpenIndent ? indent_ : kMaxOpenIndent);
    append("<");
    append(object.serializedName());
    object.writeTo(this);

    const std::vector<RaidObject*>& children = object.getChildren();
    if (children.empty()) {
        append("/>\n");
        return;
    }
    indent_ += step_;
    append(">\n");
    for (RaidObject* child : children) {
        writeElement(child);
    }
    if (indent_ != 0) {
        indent_ -= step_;
    }
    appendSpaces(indent_ < kMaxCloseIndent ? indent_ : kMaxCloseIndent);
    append("</");
    append(object.serializedName());
    append(">\n");
}

void XMLWriter::writeText(const char* text) {
    if (text != nullptr && *text != '\0') {
        append(text);
    }
}

void XMLWriter::writeBytes(const char* name, const unsigned char* data, unsigned long count) {
    if (name == nullptr) {
        return;
    }
    append(" ");
    append(name);
    append("=\"");
    static constexpr char kHex[] = "0123456789abcdef";
    size_t used = 0;
    for (unsigned long i = 0; data != nullptr && i < count; ++i) {
        line_[used++] = kHex[data[i] >> 4];
        line_[used++] = kHex[data[i] & 0x0F];
        if (i + 1 < count) {
            line_[used++] = ' ';
        }
        if (used >= kBytesFlush) {
            append(line_, used);
            used = 0;
        }
    }
    line_[used++] = '"';
    append(line_, used);
    line_[0] = '\0';
}

void XMLWriter::writeRaw(const char* text) {
    if (text != nullptr) {
        append(text);
    }
}

void XMLWriter::writeAddr2(const Addr2* addr) {
    if (addr != nullptr) {
        writeAddr2(*addr);
    }
}

void XMLWriter::writeAddr2(const Addr2& addr) {
    append("<");
    append(addr.Addr::serializedName());
    writeAddr2Attributes(addr);
    append("/>");
}

void XMLWriter::writeAllAddrAttributes(const Addr* addr) {
    if (addr != nullptr) {
        writeAllAddrAttributes(*addr);
    }
}

void XMLWriter::writeAllAddrAttributes(const Addr& addr) {
    writeAttribute("controllerID", static_cast<unsigned int>(addr.getAdapterID()));
    writeAttribute("arrayID", static_cast<unsigned int>(addr.getArrayID()));
    writeAttribute("logicalDriveID", static_cast<unsigned int>(addr.getLogicalDriveID()));
    writeAttribute("channelID", static_cast<unsigned int>(addr.getChannelID()));
    writeAttribute("deviceID", static_cast<unsigned int>(addr.getDeviceID()));
    writeAttribute64("chunkID", addr.getChunkID());
    writeAttribute("itemID", static_cast<unsigned int>(addr.getItemID()));
    writeAttribute("phyID", static_cast<unsigned int>(addr.getPhyID()));
}

void XMLWriter::writeAddr2Attributes(const Addr2* addr) {
    if (addr != nullptr) {
        writeAddr2Attributes(*addr);
    }
}

void XMLWriter::writeAddr2Attributes(const Addr2& addr) {
    if (addr.getBrixlibType() != 0) {
        writeAttribute("brixlibType", static_cast<long>(addr.getBrixlibType()));
    }
    writeAddrAttributes(static_cast<const Addr&>(addr));
}

void XMLWriter::writeAllAddr2Attributes(const Addr2* addr) {
    if (addr != nullptr) {
        writeAllAddr2Attributes(*addr);
    }
}

void XMLWriter::writeAllAddr2Attributes(const Addr2& addr) {
    writeAttribute("brixlibType", static_cast<long>(addr.getBrixlibType()));
    writeAllAddrAttributes(static_cast<const Addr&>(addr));
}
