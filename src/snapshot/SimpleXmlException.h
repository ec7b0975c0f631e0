// Thrown by SimpleXmlParser on malformed markup: a "/" inside a tag that is not followed by
// ">", or an attribute value that does not begin with a quote. It carries the offending
// character and its offset from the beginning of the parsed text. Callers catch it; it never
// leaves the library's exported interface.
#pragma once

#include <cstdint>
#include <exception>

class SimpleXmlException : public std::exception {
public:
    SimpleXmlException(char character, uint32_t offset) : character_(character), offset_(offset) {}

    char getCharacter() const { return character_; }
    uint32_t getOffset() const { return offset_; }

    const char* what() const noexcept override { return "malformed XML"; }

private:
    char character_;
    uint32_t offset_;
};
