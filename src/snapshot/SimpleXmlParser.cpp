#include "snapshot/SimpleXmlParser.h"

#include <cstring>

#include "snapshot/SimpleXmlException.h"

namespace {

// The characters that end a name, by kind of name: white space ends every one.
constexpr unsigned char kSpaceStop = 1;
constexpr unsigned char kEndNameStop = 2;        // ">"
constexpr unsigned char kStartNameStop = 4;      // ">" "/"
constexpr unsigned char kAttributeNameStop = 8;  // "=" "/" ">"

struct StopTable {
    constexpr StopTable() : of() {
        constexpr unsigned char kAll =
            kSpaceStop | kEndNameStop | kStartNameStop | kAttributeNameStop;
        of[static_cast<unsigned char>(' ')] = kAll;
        of[static_cast<unsigned char>('\t')] = kAll;
        of[static_cast<unsigned char>('\n')] = kAll;
        of[static_cast<unsigned char>('\r')] = kAll;
        of[static_cast<unsigned char>('>')] = kEndNameStop | kStartNameStop | kAttributeNameStop;
        of[static_cast<unsigned char>('/')] = kStartNameStop | kAttributeNameStop;
        of[static_cast<unsigned char>('=')] = kAttributeNameStop;
    }
    unsigned char of[256];
};
constexpr StopTable kStops;

// The first character at or after p that ends a name of that kind; end when none does.
char* scanName(char* p, char* end, unsigned char kind) {
    while (p < end && (kStops.of[static_cast<unsigned char>(*p)] & kind) == 0) {
        ++p;
    }
    return p;
}

// The first c at or after p; end when there is none.
char* scanFor(char* p, char* end, char c) {
    auto* found = static_cast<char*>(std::memchr(p, c, static_cast<size_t>(end - p)));
    return found != nullptr ? found : end;
}

}  // namespace

SimpleXmlParser::SimpleXmlParser(char* text, unsigned length)
    : begin_(text), end_(text ? text + length : nullptr), pos_(text) {}

void SimpleXmlParser::skipSpace() {
    while (!atEnd() && isSpace(*pos_)) {
        ++pos_;
    }
}

bool SimpleXmlParser::next() {
    attributeName_ = nullptr;
    attributeValue_ = nullptr;
    const unsigned oldFlags = flags_;
    flags_ = 0;
    if (begin_ == nullptr) {
        return false;
    }
    // An attribute token leaves the position inside its tag.
    bool insideTag = (oldFlags & kAttribute) != 0;
    // A bare attribute overwrote the character behind its name; put it back.
    if (saved_ != 0) {
        if (!atEnd()) {
            *pos_ = saved_;
        }
        saved_ = 0;
    }

    while (!atEnd()) {
        if (!insideTag) {
            pos_ = scanFor(pos_, end_, '<');
            if (atEnd()) {
                return false;
            }
            *pos_++ = '\0';
            if (atEnd()) {
                return false;
            }

            if (*pos_ == '/') {
                ++pos_;
                if (atEnd()) {
                    return false;
                }
                elementName_ = pos_;
                pos_ = scanName(pos_, end_, kEndNameStop);
                if (atEnd()) {
                    elementName_ = nullptr;
                    return false;
                }
                if (isSpace(*pos_)) {
                    *pos_++ = '\0';
                    pos_ = scanFor(pos_, end_, '>');
                    if (!atEnd()) {
                        ++pos_;
                    }
                } else {
                    *pos_++ = '\0';
                }
                flags_ = kEnd;
                return true;
            }

            elementName_ = pos_;
            pos_ = scanName(pos_, end_, kStartNameStop);
            if (atEnd()) {
                elementName_ = nullptr;
                return false;
            }
            flags_ = kStart;
            if (isSpace(*pos_)) {
                *pos_++ = '\0';
                skipSpace();
                if (atEnd()) {
                    break;
                }
            }
            if (*pos_ == '>') {
                *pos_++ = '\0';
                return true;
            }
            if (*pos_ == '/') {
                return closeEmptyElement(true);
            }
            insideTag = true;
            continue;
        }

        // Inside a tag: "/>", ">" or the next attribute.
        while (!atEnd() && isSpace(*pos_)) {
            ++pos_;
        }
        if (atEnd()) {
            break;
        }
        if (*pos_ == '>') {
            *pos_++ = '\0';
            if (flags_ & kStart) {
                return true;
            }
            insideTag = false;
            continue;
        }
        if (*pos_ == '/') {
            return closeEmptyElement(false);
        }

        attributeName_ = pos_;
        pos_ = scanName(pos_, end_, kAttributeNameStop);
        if (atEnd()) {
            attributeName_ = nullptr;
            return false;
        }
        flags_ |= kAttribute;
        if (isSpace(*pos_)) {
            *pos_++ = '\0';
            skipSpace();
            if (atEnd()) {
                break;
            }
        }
        if (*pos_ != '=') {
            // An attribute without value: keep the character that ends it for the next call.
            saved_ = *pos_;
            *pos_ = '\0';
            return true;
        }
        *pos_++ = '\0';
        skipSpace();
        if (atEnd()) {
            break;
        }
        const char quote = *pos_;
        if (quote != '\'' && quote != '"') {
            throw SimpleXmlException(quote, offsetOf(pos_));
        }
        ++pos_;
        if (atEnd()) {
            break;
        }
        attributeValue_ = pos_;
        pos_ = scanFor(pos_, end_, quote);
        if (atEnd()) {
            attributeValue_ = nullptr;
            break;
        }
        *pos_++ = '\0';
        return true;
    }
    return flags_ != 0;
}

// A "/" inside a tag: with the ">" after it, it closes an empty element. The text ends
// there (false) or another character follows the "/" (malformed).
bool SimpleXmlParser::closeEmptyElement(bool clearGreater) {
    char* slash = pos_;
    *pos_++ = '\0';
    if (atEnd()) {
        elementName_ = nullptr;
        return false;
    }
    if (*pos_ != '>') {
        elementName_ = nullptr;
        throw SimpleXmlException('/', offsetOf(slash));
    }
    if (clearGreater) {
        *pos_ = '\0';
    }
    ++pos_;
    flags_ |= kSelfClose | kEnd;
    return true;
}
