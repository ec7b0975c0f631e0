// Runs the in-place tokenizer over arbitrary bytes (held without a terminating NUL) to the
// end of the text. Besides the sanitizers' checks it traps when a token's names leave the
// text or lack their terminator, and when the tokenizer stops making progress.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "snapshot/SimpleXmlException.h"
#include "snapshot/SimpleXmlParser.h"

namespace {

void checkInside(const char* name, const std::vector<char>& text) {
    if (name == nullptr) {
        return;
    }
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (name < begin || name >= end || std::memchr(name, '\0', end - name) == nullptr) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text(data, data + size);
    SimpleXmlParser parser(text.empty() ? nullptr : text.data(),
                           static_cast<unsigned>(text.size()));
    // Every call consumes at least one character, or the next one does.
    const size_t limit = 2 * size + 4;
    for (size_t calls = 0;; ++calls) {
        if (calls > limit) {
            __builtin_trap();
        }
        try {
            if (!parser.next()) {
                break;
            }
        } catch (const SimpleXmlException& e) {
            if (e.getOffset() >= size) {
                __builtin_trap();
            }
            continue;
        }
        checkInside(parser.getElementName(), text);
        checkInside(parser.getAttributeName(), text);
        checkInside(parser.getAttributeValue(), text);
    }
    return 0;
}
