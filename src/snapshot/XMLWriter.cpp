#include "snapshot/XMLWriter.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
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

struct FreeBlock {
    void operator()(char* block) const { std::free(block); }
};

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 31;
}

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

void XMLWriter::append(const char* bytes, size_t count) {
    // Without a first block there is nothing to grow from: the text stays empty.
    if (text_ == nullptr || count == 0) {
        return;
    }
    const uint64_t needed = uint64_t{length_} + 2 + count;
    if (needed < capacity_) {
        std::memcpy(text_ + length_, bytes, count);
        length_ += static_cast<uint32_t>(count);
        text_[length_] = '\0';
        return;
    }
    uint64_t capacity = capacity_;
    while (capacity < needed) {
        capacity = capacity < kLinearGrowth ? capacity * 2 : capacity + kLinearGrowth;
    }
    if (capacity > UINT32_MAX) {
        complete_ = false;
        return;
    }
    // realloc rather than allocate-copy-free: above 64 KiB the block grows in fixed steps, and
    // copying the whole text at every step would make a large snapshot quadratic to write.
    // On failure the old block stays as it was.
    auto* grown = static_cast<char*>(reallocate_(text_, static_cast<size_t>(capacity)));
    if (grown == nullptr) {
        complete_ = false;
        return;
    }
    std::memcpy(grown + length_, bytes, count);
    length_ += static_cast<uint32_t>(count);
    grown[length_] = '\0';
    text_ = grown;
    capacity_ = static_cast<uint32_t>(capacity);
    if (callerText_ != nullptr) {
        *callerText_ = text_;
    }
}

void XMLWriter::append(const char* text) {
    if (text != nullptr) {
        append(text, std::strlen(text));
    }
}

void XMLWriter::appendSpaces(uint32_t count) {
    std::memset(line_, ' ', count < kLineSize ? count : kLineSize - 1);
    while (count > 0) {
        const uint32_t piece = count < kLineSize - 1 ? count : kLineSize - 1;
        append(line_, piece);
        count -= piece;
    }
    line_[0] = '\0';
}

void XMLWriter::writeFormatted(const char* name, const char* format, ...) {
    if (name == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int valueLength = std::vsnprintf(nullptr, 0, format, args);
    if (valueLength >= 0) {
        // " name=\"value\"" goes through the line buffer; an attribute too long for it (a very
        // long name, or a huge "%f" value) is composed in a block of its own instead.
        const size_t nameLength = std::strlen(name);
        const size_t total = nameLength + static_cast<size_t>(valueLength) + 4;
        std::unique_ptr<char, FreeBlock> wide;
        char* out = line_;
        if (total + 1 > kLineSize) {
            wide.reset(static_cast<char*>(reallocate_(nullptr, total + 1)));
            out = wide.get();
        }
        if (out != nullptr) {
            out[0] = ' ';
            std::memcpy(out + 1, name, nameLength);
            out[nameLength + 1] = '=';
            out[nameLength + 2] = '"';
            std::vsnprintf(out + nameLength + 3, static_cast<size_t>(valueLength) + 1, format,
                           again);
            out[total - 1] = '"';
            out[total] = '\0';
            append(out, total);
        } else {
            complete_ = false;
        }
    } else {
        complete_ = false;
    }
#pragma GCC diagnostic pop
    va_end(again);
    va_end(args);
    line_[0] = '\0';
}

void XMLWriter::writeDecimal(const char* name, bool negative, unsigned long long magnitude) {
    char digits[24];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    char text[24];
    size_t length = 0;
    if (negative) {
        text[length++] = '-';
    }
    while (count > 0) {
        text[length++] = digits[--count];
    }
    text[length] = '\0';
    writeFormatted(name, "%s", text);
}

void XMLWriter::writeEscapedText(const char* name, const char* value) {
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = "";
    }
    size_t escaped = 0;
    forEachStoredPiece(value, true, [&escaped](const char*, size_t length) { escaped += length; });
    const size_t nameLength = std::strlen(name);
    const size_t size = nameLength + escaped + 5;
    std::unique_ptr<char, FreeBlock> block(static_cast<char*>(reallocate_(nullptr, size)));
    if (!block) {
        complete_ = false;
        return;
    }
    char* out = block.get();
    *out++ = ' ';
    std::memcpy(out, name, nameLength);
    out += nameLength;
    *out++ = '=';
    *out++ = '"';
    forEachStoredPiece(value, true, [&out](const char* piece, size_t length) {
        std::memcpy(out, piece, length);
        out += length;
    });
    *out++ = '"';
    *out = '\0';
    append(block.get(), size - 1);
}

void XMLWriter::writeCharacter(const char* name, char value) {
    const char* entity = entityFor(value);
    if (entity != nullptr) {
        writeFormatted(name, "%s", entity);
    } else if (value == '\0') {
        // A NUL character would end the text inside the attribute; write an empty value.
        writeFormatted(name, "%s", "");
    } else {
        writeFormatted(name, "%c", value);
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
    writeFormatted(name, "%d", value);
}

void XMLWriter::writeAttribute(const char* name, unsigned int value) {
    writeFormatted(name, "%u", value);
}

void XMLWriter::writeAttribute(const char* name, int16_t value) {
    writeFormatted(name, "%d", value);
}

void XMLWriter::writeAttribute(const char* name, uint16_t value) {
    writeFormatted(name, "%u", value);
}

void XMLWriter::writeAttribute(const char* name, long value) {
    writeFormatted(name, "%ld", value);
}

void XMLWriter::writeAttribute(const char* name, unsigned long value) {
    writeFormatted(name, "%lu", value);
}

void XMLWriter::writeHexAttribute(const char* name, unsigned long value) {
    writeFormatted(name, "0x%lx", value);
}

void XMLWriter::writeAttribute(const char* name, float value) {
    writeFormatted(name, "%f", static_cast<double>(value));
}

void XMLWriter::writeAttribute(const char* name, double value) {
    writeFormatted(name, "%f", value);
}

void XMLWriter::writeAttribute(const char* name, unsigned long long value) {
    writeDecimal(name, false, value);
}

void XMLWriter::writeAttribute(const char* name, long long value) {
    const bool negative = value < 0;
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                    : static_cast<unsigned long long>(value);
    writeDecimal(name, negative, magnitude);
}

void XMLWriter::writeAttribute64(const char* name, unsigned long long value) {
    writeAttribute(name, value);
}

void XMLWriter::writeAttribute(const char* name, bool value) {
    // Only the byte value 1 is true; whatever else the byte holds is written as false.
    unsigned char byte = 0;
    std::memcpy(&byte, &value, 1);
    writeFormatted(name, "%s", byte == 1 ? "true" : "false");
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
