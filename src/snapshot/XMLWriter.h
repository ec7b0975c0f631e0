// The XML implementation of Writer: turns the serialisation calls into indented, escaped XML
// text in a growing heap buffer that belongs to the caller. The writer frees the block the
// caller's pointer held at construction, allocates its own, keeps the caller's pointer on the
// current block after every growth and never frees it: the caller releases the final text with
// free(). If the first block cannot be allocated, the writer writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "raidlib/Writer.h"

class Addr2;

class XMLWriter : public Writer {
public:
    explicit XMLWriter(char** text);
    ~XMLWriter() override = default;

    void writeAttribute(const char* name, char value) override;
    void writeAttribute(const char* name, unsigned char value) override;
    void writeAttribute(const char* name, int value) override;
    void writeAttribute(const char* name, unsigned int value) override;
    void writeAttribute(const char* name, int16_t value) override;
    void writeAttribute(const char* name, uint16_t value) override;
    void writeAttribute(const char* name, long value) override;
    void writeAttribute(const char* name, unsigned long value) override;
    void writeHexAttribute(const char* name, unsigned long value) override;
    void writeAttribute(const char* name, float value) override;
    void writeAttribute(const char* name, double value) override;
    void writeAttribute(const char* name, unsigned long long value) override;
    void writeAttribute(const char* name, long long value) override;
    void writeAttribute64(const char* name, unsigned long long value) override;
    void writeAttribute(const char* name, bool value) override;
    void writeAttribute(const char* name, const char* value) override;
    void writeAttribute(const char* name, char* value) override;

    void writeAddr(const Addr* addr) override;
    void writeAddr(const Addr& addr) override;
    void writeObject(Serializable* object) override;
    void writeObject(Serializable& object) override;
    void writeAddrAttributes(const Addr* addr) override;
    void writeAddrAttributes(const Addr& addr) override;
    void writeAddrAttributes(Addr* addr) override;

    void writeElement(RaidObject* object) override;
    void writeElement(RaidObject& object) override;

    void writeText(const char* text) override;
    void writeBytes(const char* name, const unsigned char* data, unsigned long count) override;
    void writeRaw(const char* text) override;

    // Operations of the XML writer itself, behind those of Writer.
    virtual void writeAddr2(const Addr2* addr);               // 30, forwards to 31
    virtual void writeAddr2(const Addr2& addr);               // 31
    virtual void writeAllAddrAttributes(const Addr* addr);    // 32, forwards to 33
    virtual void writeAllAddrAttributes(const Addr& addr);    // 33: all eight IDs
    virtual void writeAddr2Attributes(const Addr2* addr);     // 34, forwards to 35
    virtual void writeAddr2Attributes(const Addr2& addr);     // 35
    virtual void writeAllAddr2Attributes(const Addr2* addr);  // 36, forwards to 37
    virtual void writeAllAddr2Attributes(const Addr2& addr);  // 37
    virtual uint32_t getCapacity() { return capacity_; }      // 38
    virtual uint32_t getLength() { return length_; }          // 39

    // False once a piece of text was dropped because a block could not be allocated (the
    // first block included): the text is then valid but incomplete, and must not be taken
    // for the whole of what was written.
    bool isComplete() const { return complete_; }

    // Asked before each element is written; once it answers true the writer writes nothing
    // more and the text counts as incomplete. Lets a stop request cut a long write short.
    void setAbandonCheck(std::function<bool()> abandon) { abandon_ = std::move(abandon); }

    // The text that a value written with writeAttribute(name, char*) reads back as: every
    // byte's top bit cleared (a byte that becomes NUL ends the text) and every control
    // character replaced by "DELIM". A live text is compared with a stored one through it.
    static std::string storedText(const char* value);

    XMLWriter(const XMLWriter&) = delete;
    XMLWriter& operator=(const XMLWriter&) = delete;

protected:
    using Reallocate = void* (*)(void*, size_t);
    // Takes its blocks from `reallocate` (realloc's contract) instead of realloc; they are
    // still released with free. Lets tests exercise allocation failures.
    XMLWriter(char** text, Reallocate reallocate);

private:
    static constexpr uint32_t kFirstBlock = 512;
    static constexpr uint32_t kLinearGrowth = 0x10000;
    static constexpr size_t kLineSize = 64;
    static constexpr size_t kBytesFlush = 56;
    static constexpr uint32_t kMaxOpenIndent = 62;
    static constexpr uint32_t kMaxCloseIndent = 61;

    // Room for count more bytes behind the text (growing the block by the rule of the
    // format), or null when there is none: the piece is then dropped and the text marked
    // incomplete. commit(count) takes the bytes written there into the text.
    char* reserve(size_t count);
    void commit(size_t count);
    void append(const char* bytes, size_t count);
    void append(const char* text);
    void appendSpaces(uint32_t count);
    template <typename Fill>
    void appendAttribute(const char* name, size_t valueLength, Fill&& fill);
    void appendValue(const char* name, const char* value, size_t length);
    template <typename Number>
    void writeNumber(const char* name, Number value, int base = 10);
    void writeFixed(const char* name, double value);
    void writeCharacter(const char* name, char value);
    void writeEscapedText(const char* name, const char* value);

    Reallocate reallocate_;
    char* text_ = nullptr;
    char** callerText_;
    char line_[kLineSize] = {};
    uint32_t capacity_ = 0;
    uint32_t length_ = 0;
    uint32_t indent_ = 0;
    uint32_t step_ = 4;
    bool complete_ = true;
    std::function<bool()> abandon_;
    bool abandoned_ = false;
};
