// Feeds arbitrary bytes to the snapshot reader as the contents of the snapshot file, then
// writes the rebuilt tree again, so that whatever values a damaged file holds also go
// through the snapshot classes' writing. Neither may crash, leak or throw.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"

namespace {

std::string& snapshotPath() {
    static std::string path;
    return path;
}

// The fuzzer's own directory, removed when the run ends so that runs leave nothing behind.
std::string& snapshotDirectory() {
    static std::string directory;
    return directory;
}

void removeSnapshotDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(snapshotDirectory(), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tlxvl-fuzz-readxml-XXXXXX").string();
    if (::mkdtemp(&pattern[0]) == nullptr) {
        std::abort();
    }
    snapshotDirectory() = pattern;
    snapshotPath() = pattern + "/TLXVLConfig.xml";
    std::atexit(removeSnapshotDirectory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(snapshotPath().c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    TLXConfigBuilder builder(snapshotPath());
    builder.readXML();
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
