#include "snapshot/SimpleXmlParser.h"

#include "snapshot/SimpleXmlException.h"

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
            while (!atEnd() && *pos_ != '<') {
                ++pos_;
            }
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
                while (!atEnd() && *pos_ != '>' && !isSpace(*pos_)) {
                    ++pos_;
                }
                if (atEnd()) {
                    elementName_ = nullptr;
                    return false;
                }
                if (isSpace(*pos_)) {
                    *pos_++ = '\0';
                    while (!atEnd() && *pos_ != '>') {
                        ++pos_;
                    }
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
            while (!atEnd() && *pos_ != '>' && *pos_ != '/' && !isSpace(*pos_)) {
                ++pos_;
            }
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
        while (!atEnd() && *pos_ != '=' && *pos_ != '/' && *pos_ != '>' && !isSpace(*pos_)) {
            ++pos_;
        }
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
        while (!atEnd() && *pos_ != quote) {
            ++pos_;
        }
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
