// Feeds arbitrary bytes to the catalog reader as a catalog file and looks up the keys of its
// first lines, plainly and with arguments, so that phrase references (%name%, nested and
// self-referring) and placeholders ({0}.., with signs, blanks and huge indexes) are expanded
// over fuzzed text. Besides the sanitizers' checks it traps when a value without markup
// comes back changed by the lookup with arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzHome.h"
#include "nls/NLSParser.h"

namespace {

constexpr size_t kKeysLookedUp = 8;

// Arguments that hold markup themselves: inserted text is never scanned again.
const std::vector<std::string> kTextArguments = {"zero", "{1}", "%key%", "", "{0}{0}"};
const std::vector<int> kNumberArguments = {0, -1, 2147483647, -2147483647 - 1};

// The keys of the first lines that have one, as the catalog reader splits them.
std::vector<std::string> firstKeys(std::string_view text) {
    std::vector<std::string> keys;
    while (!text.empty() && keys.size() < kKeysLookedUp) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const size_t keyEnd = line.find_first_of(" \t=\r");
        if (!line.empty() && line[0] != '#' && keyEnd != 0) {
            keys.emplace_back(line.substr(0, keyEnd));
        }
    }
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzHome& home = FuzzHome::make("tlxvl-fuzz-catalog-");
    home.write("catalog.properties", data, size);
    NLSParser catalog(home.file("catalog.properties"));
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& key : firstKeys(text)) {
        const std::string plain = catalog.get(key);
        const std::string withText = catalog.get(key, kTextArguments);
        catalog.get(key, kNumberArguments);
        if (plain.find_first_of("{%") == std::string::npos && withText != plain) {
            __builtin_trap();
        }
    }
    catalog.get("missing", kTextArguments);
    return 0;
}
