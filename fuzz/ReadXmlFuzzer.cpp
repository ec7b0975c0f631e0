// Feeds arbitrary bytes to the snapshot reader as the text of the snapshot file (read from
// memory, through the same parsing as a file's text), then writes the rebuilt tree again, so
// that whatever values a damaged file holds also go through the snapshot classes' writing.
// Neither may crash, leak or throw; the tree must always be there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TLXConfigBuilder builder("");
    builder.readXMLText(std::string(reinterpret_cast<const char*>(data), size));
    if (builder.getSystem() == nullptr) {
        __builtin_trap();  // a read always leaves a tree, if only an empty one
    }
    char* text = nullptr;
    {
        XMLWriter writer(&text);
        writer.writeElement(*builder.getSystem());
    }
    std::free(text);
    return 0;
}
