// An XML writer whose blocks come from an allocator that fails from a chosen call on, for
// tests of what the writer and its users do when memory runs out part way.
#pragma once

#include <cstdlib>

#include "snapshot/XMLWriter.h"

class LimitedWriter : public XMLWriter {
public:
    // The budget (number of successful allocations) is set before the base class takes its
    // first block.
    LimitedWriter(char** text, int allowed)
        : XMLWriter(text, (allowed_ = allowed, &LimitedWriter::allocate)) {}
    static void setAllowed(int allowed) { allowed_ = allowed; }

private:
    static void* allocate(void* block, size_t size) {
        if (allowed_ <= 0) {
            return nullptr;
        }
        --allowed_;
        return std::realloc(block, size);
    }
    static inline int allowed_ = 0;
};
