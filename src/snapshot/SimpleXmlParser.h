// A small in-place XML tokenizer for the snapshot file and the controllers' event records.
// next() reads one token (an element start, one attribute, a "/>" or an end tag) and
// NUL-terminates names and values inside the caller's text, which must stay unchanged and
// alive while they are used. Nothing is unescaped; text between tags is skipped. It never
// reads or writes outside [text, text + length).
#pragma once

#include <cstdint>

class SimpleXmlParser {
public:
    // Token flags (getFlags()).
    static constexpr unsigned kStart = 1;      // an element start was read
    static constexpr unsigned kAttribute = 2;  // an attribute was read
    static constexpr unsigned kSelfClose = 4;  // the element closed itself with "/>"
    static constexpr unsigned kEnd = 8;        // an element end was read

    SimpleXmlParser(char* text, unsigned length);

    // Reads the next token. True when one was read, false at the end of the text (also when
    // the text ends inside a tag). Throws SimpleXmlException on malformed markup.
    bool next();

    const char* getElementName() const { return elementName_; }
    const char* getAttributeName() const { return attributeName_; }
    // Null for an attribute written without "=value".
    const char* getAttributeValue() const { return attributeValue_; }
    unsigned getFlags() const { return flags_; }
    bool isEnd() const { return (flags_ & kEnd) != 0; }

private:
    bool atEnd() const { return pos_ >= end_; }
    // Directly after the element name the ">" is cleared too, as the name's terminator.
    bool closeEmptyElement(bool clearGreater);
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    void skipSpace();
    uint32_t offsetOf(const char* p) const { return static_cast<uint32_t>(p - begin_); }

    char* begin_;
    char* end_;
    char* pos_;
    unsigned flags_ = 0;
    char saved_ = 0;
    char* elementName_ = nullptr;
    char* attributeName_ = nullptr;
    char* attributeValue_ = nullptr;
};
