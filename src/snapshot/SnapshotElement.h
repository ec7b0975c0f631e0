// What every snapshot object keeps for reading its own XML element: the attribute list it
// collects (constructed as (0, 1)) and the element loop they all share. The collected values
// point into the parser's text, so a copied or assigned object starts with an empty list.
// Also the small helpers the snapshot classes use for writing texts and adding children.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "raidlib/RaidObject.h"
#include "raidlib/Writer.h"
#include "snapshot/SimpleXmlParser.h"
#include "snapshot/XmlAttributeList_C.h"

class SnapshotElement {
public:
    SnapshotElement() : attributes_(0, 1) {}
    SnapshotElement(const SnapshotElement&) : attributes_(0, 1) {}
    SnapshotElement& operator=(const SnapshotElement&) {
        attributes_.Clear();
        return *this;
    }

    XmlAttributeList_C& attributes() { return attributes_; }
    const XmlAttributeList_C& attributes() const { return attributes_; }

    // Reads the element `name` on whose opening token the parser stands, up to and
    // including its end token (or the end of the text). Attributes of the element are
    // collected, and onAttribute(attributeName) is called right after each one, so that an
    // identifier is known before the children are read. At the start of any other element
    // onChild(elementName) is called; it builds a child when the name is one of its kinds
    // (consuming the child's tokens) and ignores it otherwise. Every other token is skipped.
    // Depth is bounded by the classes: a child only ever reads its own child kinds.
    template <typename OnAttribute, typename OnChild>
    void read(SimpleXmlParser& parser, const char* name, OnAttribute&& onAttribute,
              OnChild&& onChild) {
        // The tokens of one tag share its name's text: compared once, then by address.
        const char* own = nullptr;
        for (;;) {
            const char* element = parser.getElementName();
            if (element != nullptr && (element == own || std::strcmp(element, name) == 0)) {
                own = element;
                if (parser.isEnd()) {
                    return;
                }
                const char* attribute = parser.getAttributeName();
                if (attribute != nullptr) {
                    attributes_.Append(attribute, parser.getAttributeValue());
                    onAttribute(attribute);
                }
            } else if (element != nullptr && (parser.getFlags() & SimpleXmlParser::kStart) != 0) {
                // Only a start tag opens a child: a stray end tag of a child kind must not
                // add an empty object.
                onChild(element);
            }
            if (!parser.next()) {
                return;
            }
        }
    }

    // The text of an attribute with the writer's five entities turned back into their
    // characters, so that a serial number holding "&" reads as it was; empty when absent.
    std::string text(const char* attribute) const {
        const char* value = attributes_.GetValue(attribute);
        return value != nullptr ? unescape(value) : std::string();
    }

    static std::string unescape(const char* value) {
        static constexpr struct {
            const char* entity;
            size_t length;
            char character;
        } kEntities[] = {
            {"&quot;", 6, '"'}, {"&amp;", 5, '&'}, {"&apos;", 6, '\''},
            {"&lt;", 4, '<'},   {"&gt;", 4, '>'},
        };
        const char* amp = std::strchr(value, '&');
        if (amp == nullptr) {
            return std::string(value);  // nothing to turn back: one copy
        }
        std::string text(value, static_cast<size_t>(amp - value));
        for (const char* p = amp; *p != '\0';) {
            bool replaced = false;
            if (*p == '&') {
                for (const auto& entry : kEntities) {
                    if (std::strncmp(p, entry.entity, entry.length) == 0) {
                        text += entry.character;
                        p += entry.length;
                        replaced = true;
                        break;
                    }
                }
            }
            if (!replaced) {
                text += *p++;
            }
        }
        return text;
    }

    // A library enumeration read with GetLong. The enumerations have a fixed underlying
    // type, so a number no enumerator names is kept as it stands, as the comparisons expect.
    template <typename E>
    E getEnum(const char* attribute) const {
        return static_cast<E>(attributes_.GetLong(attribute));
    }

    // The unsigned 64-bit decimal value of an attribute; 0 when absent or not a number.
    uint64_t getU64Exact(const char* attribute) const {
        const char* value = attributes_.GetValue(attribute);
        if (value == nullptr) {
            return 0;
        }
        while (*value == ' ' || *value == '\t' || *value == '\n' || *value == '\r') {
            ++value;
        }
        // strtoull would turn "-1" into the largest value.
        return *value == '-' ? 0 : std::strtoull(value, nullptr, 10);
    }

private:
    XmlAttributeList_C attributes_;
};

namespace snapshot {

// Writes a text attribute through the writer's form that clears the top bit of every byte,
// on a copy so that the object's own text stays as it is.
inline void writeClearedText(Writer* writer, const char* name, const std::string& text) {
    // Identity texts are short: a copy on the stack spares a heap block per attribute.
    char local[128];
    if (text.size() < sizeof local) {
        std::memcpy(local, text.c_str(), text.size() + 1);
        writer->writeAttribute(name, local);
        return;
    }
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    writer->writeAttribute(name, copy.data());
}

// Adds a finished child to parent, which takes ownership. A child that could not be
// allocated is not added.
template <typename T>
void adoptChild(RaidObject& parent, std::unique_ptr<T> child) {
    if (child == nullptr) {
        return;
    }
    parent.addChild(child.get());
    child.release();
}

// Builds a child of type T (constructed with args) from the element on which the parser
// stands and adds it to parent.
template <typename T, typename... Args>
void buildChild(RaidObject& parent, SimpleXmlParser& parser, Args... args) {
    std::unique_ptr<T> child(new (std::nothrow) T(args...));
    if (child != nullptr) {
        child->buildFromXml(parser);
        adoptChild(parent, std::move(child));
    }
}

// Adds to parent a child of type T (constructed with args) copied from live, when live is
// an object of the class Live. Running out of memory throws: a copy that lacks a child must
// not pass for the whole configuration.
template <typename T, typename Live, typename... Args>
void copyChild(RaidObject& parent, const RaidObject* live, Args... args) {
    const auto* source = dynamic_cast<const Live*>(live);
    if (source == nullptr) {
        return;
    }
    std::unique_ptr<T> child(new T(args...));
    child->copyFrom(*source);
    adoptChild(parent, std::move(child));
}

// Walks the children of a kept copy in step with the live children that copyChild copies,
// so that a kept tree is compared with a live one without a copy being made.
class KeptChildren {
public:
    explicit KeptChildren(const RaidObject& kept) : children_(kept.getChildren()) {}

    // True when copyChild<T, Live> would copy nothing of live, or when the next kept child
    // is a T that matches it (T::matches holds exactly the values that T::copyFrom takes).
    template <typename T, typename Live>
    bool match(const RaidObject* live) {
        const auto* source = dynamic_cast<const Live*>(live);
        if (source == nullptr) {
            return true;
        }
        const auto* own =
            next_ < children_.size() ? dynamic_cast<const T*>(children_[next_]) : nullptr;
        ++next_;
        return own != nullptr && own->matches(*source);
    }
    // True when every kept child was matched.
    bool done() const { return next_ == children_.size(); }

private:
    const std::vector<RaidObject*>& children_;
    size_t next_ = 0;
};

inline bool same(const char* own, const char* live) {
    return std::strcmp(own, live) == 0;
}
inline bool same(const Addr2& own, const Addr2& live) {
    return own == live && own.getBrixlibType() == live.getBrixlibType();
}

inline bool named(const char* text, const char* name) {
    // The first characters settle most comparisons, which run once per attribute read.
    return text != nullptr && text[0] == name[0] && std::strcmp(text, name) == 0;
}

}  // namespace snapshot
