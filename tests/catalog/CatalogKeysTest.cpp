// Proves that the shipped catalog, data/RaidNLS.properties, has a text for every key that
// the code looks up, with no placeholder beyond the arguments passed. The convention that
// keeps this check complete as code is added:
//  1. Every key the code looks up is listed, with the number of arguments its lookup passes
//     (0 for a plain lookup), in a constexpr CatalogKey table (nls/CatalogKey.h) of the
//     subsystem that looks it up, e.g. detect::kIdentityCatalogKeys in
//     src/detect/DetectCatalogKeys.h; keys that live in a data table of another row type
//     are derived from its rows by a function `std::vector<CatalogKey> xCatalogKeys()`.
//  2. Each such table or function is registered below in kSources with CATALOG_SOURCE.
//  3. The source scan fails when a literal passed straight to get("...") or beginning with
//     "agentEvent", "eventArg" or "deviceArg" is listed in no registered table, and when a
//     CatalogKey table or function under src/ is not registered (or a registered one is not
//     found). Settings-file keys contain a "." ("tlx.debugMask") and are not catalog keys.
//  4. New texts are appended to data/RaidNLS.properties in a block under a comment header
//     that names the subsystem; a key is defined once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ctlevents/EventCategoryTable.h"
#include "ctlevents/EventCodeTable.h"
#include "detect/ControllerCatalogKeys.h"
#include "detect/DetectCatalogKeys.h"
#include "detect/EnclosureEventTable.h"
#include "detect/LogicalDriveEvents.h"
#include "detect/PhysicalDriveEvents.h"
#include "monitor/ChangeDetectionCatalogKeys.h"
#include "monitor/MonitorCatalogKeys.h"
#include "monitor/TaskCatalogKeys.h"
#include "nls/CatalogKey.h"
#include "nls/NLSParser.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

namespace {

struct CatalogSource {
    std::string name;  // as written in kSources, possibly qualified
    std::vector<CatalogKey> keys;
};

template <size_t N>
CatalogSource makeSource(const char* name, const CatalogKey (&table)[N]) {
    return {name, std::vector<CatalogKey>(table, table + N)};
}

[[maybe_unused]] CatalogSource makeSource(const char* name, std::vector<CatalogKey> (*list)()) {
    return {name, list()};
}

#define CATALOG_SOURCE(table) makeSource(#table, table)

const std::vector<CatalogSource>& sources() {
    // One source a line, so that each subsystem adds its own line.
    // clang-format off
    static const std::vector<CatalogSource> kSources = {
        CATALOG_SOURCE(detect::kIdentityCatalogKeys),
        CATALOG_SOURCE(detect::raidLevelCatalogKeys),
        CATALOG_SOURCE(monitor::kPollLoopCatalogKeys),
        CATALOG_SOURCE(detect::adapterCatalogKeys),
        CATALOG_SOURCE(detect::kDriveMapCatalogKeys),
        CATALOG_SOURCE(monitor::taskEventCatalogKeys),
        CATALOG_SOURCE(monitor::kChangeDetectionCatalogKeys),
        CATALOG_SOURCE(detect::physicalDriveCatalogKeys),
        CATALOG_SOURCE(detect::logicalDriveCatalogKeys),
        CATALOG_SOURCE(detect::enclosureCatalogKeys),
        CATALOG_SOURCE(ctlevents::kTranslationCatalogKeys),
        CATALOG_SOURCE(ctlevents::eventCodeCatalogKeys),
    };
    // clang-format on
    return kSources;
}

constexpr const char* kKeyPrefixes[] = {"agentEvent", "eventArg", "deviceArg"};

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Whether the literal that opens at the end of code is the first argument of a call named get.
bool isLookupArgument(const std::string& code) {
    constexpr const char* kBlanks = " \t\r\n\v\f";
    const size_t paren = code.find_last_not_of(kBlanks);
    if (paren == std::string::npos || paren == 0 || code[paren] != '(') {
        return false;
    }
    const size_t name = code.find_last_not_of(kBlanks, paren - 1);
    return name != std::string::npos && name >= 2 && code.compare(name - 2, 3, "get") == 0 &&
           (name == 2 || !isIdentifierChar(code[name - 3]));
}

struct SourceFindings {
    std::map<std::string, std::string> keys;    // key -> file that uses it
    std::map<std::string, std::string> tables;  // table or function name -> file
};

// Reads one source file: comments are blanked and string literals emptied in `code`, and each
// literal is checked for a key when it is met, with the code before it.
void scanInto(const std::string& text, const std::string& file, SourceFindings& findings) {
    std::string code;
    const auto literal = [&](const std::string& value) {
        const bool prefixed =
            std::any_of(std::begin(kKeyPrefixes), std::end(kKeyPrefixes),
                        [&](const char* prefix) { return value.rfind(prefix, 0) == 0; });
        if (prefixed || (isLookupArgument(code) && value.find('.') == std::string::npos)) {
            findings.keys.emplace(value, file);
        }
    };
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '/' && (next == '/' || next == '*')) {
            const size_t end = next == '/' ? text.find('\n', i) : text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + (next == '/' ? 0 : 2);
            code += ' ';
        } else if (c == '"' && i > 0 && text[i - 1] == 'R') {
            const size_t open = text.find('(', i);
            const std::string close = ")" + text.substr(i + 1, open - i - 1) + "\"";
            const size_t end = text.find(close, open);
            literal(text.substr(open + 1, end - open - 1));
            code += "\"\"";
            i = end == std::string::npos ? text.size() : end + close.size();
        } else if (c == '"' || (c == '\'' && (i == 0 || !isIdentifierChar(text[i - 1])))) {
            std::string value;
            for (++i; i < text.size() && text[i] != c && text[i] != '\n'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) {
                    value += text[i++];
                }
                value += text[i];
            }
            ++i;
            if (c == '"') {
                literal(value);
            }
            code += std::string(2, c);
        } else {
            code += c;
            ++i;
        }
    }
    static const std::regex kTable(
        R"((?:\bCatalogKey\s+(\w+)\s*\[)|(?:std::vector\s*<\s*CatalogKey\s*>\s+(?:\w+::)*(\w+)\s*\())");
    for (std::sregex_iterator it(code.begin(), code.end(), kTable), end; it != end; ++it) {
        findings.tables.emplace((*it)[1].matched ? (*it)[1].str() : (*it)[2].str(), file);
    }
}

// What is wrong with a text that its lookup fills with the given number of arguments.
std::string placeholderProblem(const std::string& text, int arguments) {
    static const std::regex kBrace(R"(\{(\d\})?)");
    for (std::sregex_iterator it(text.begin(), text.end(), kBrace), end; it != end; ++it) {
        if (!(*it)[1].matched) {
            return "a \"{\" that is not one of the placeholders {0}..{9}";
        }
        if (it->str()[1] - '0' >= arguments) {
            return "placeholder " + it->str() + " but the code passes " +
                   std::to_string(arguments) + " argument(s)";
        }
    }
    return std::string();
}

}  // namespace

// Every registered key has a text that fits its arguments; every key and key table that the
// source scan finds is registered, and every registered table is found. The scan is first
// shown a sample, so that a scan that sees nothing cannot pass.
TEST(CatalogKeys, EveryKeyIsRegisteredAndHasATextThatFitsItsArguments) {
    SourceFindings sample;
    scanInto(
        "auto a = nls->get(\"keyOne\", args);\n"
        "auto b = settings.get ( \"tlx.debugMask\" );\n"
        "// catalog->get(\"inComment\")\n"
        "/* get(\"inBlock\") */ char q = '\"'; budget(\"notALookup\");\n"
        "constexpr Row kRows[] = {{5, \"agentEventErrX\"}};\n"
        "inline constexpr CatalogKey kSomeKeys[] = {};\n"
        "std::vector<CatalogKey> ctl::eventCatalogKeys() { return {}; }\n",
        "sample.cpp", sample);
    using Found = std::map<std::string, std::string>;
    EXPECT_EQ(sample.keys, (Found{{"agentEventErrX", "sample.cpp"}, {"keyOne", "sample.cpp"}}));
    EXPECT_EQ(sample.tables,
              (Found{{"eventCatalogKeys", "sample.cpp"}, {"kSomeKeys", "sample.cpp"}}));

    SourceFindings findings;
    for (const auto& file :
         fs::recursive_directory_iterator(std::string(TLXVL_SOURCE_DIR) + "/src")) {
        const std::string extension = file.path().extension().string();
        if (file.is_regular_file() && (extension == ".h" || extension == ".cpp")) {
            std::ifstream in(file.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            scanInto(text.str(), file.path().lexically_relative(TLXVL_SOURCE_DIR).string(),
                     findings);
        }
    }
    NLSParser catalog(shippedCatalogPath());
    std::set<std::string> listedKeys;
    std::set<std::string> registeredTables;
    for (const CatalogSource& source : sources()) {
        registeredTables.insert(source.name.substr(source.name.rfind(':') + 1));
        for (const CatalogKey& entry : source.keys) {
            listedKeys.insert(entry.key);
            std::string text = catalog.get(entry.key);
            EXPECT_FALSE(text.empty())
                << entry.key << " (" << source.name << ") has no text in the catalog";
            const std::string asWritten = text;
            catalog.replacePhraseStrings(text);
            // A plain lookup shows the text as written, phrase references included.
            EXPECT_TRUE(entry.arguments > 0 || text == asWritten)
                << entry.key << " (" << source.name
                << ") is looked up plainly but refers to a phrase: " << asWritten;
            const std::string problem = placeholderProblem(text, entry.arguments);
            EXPECT_TRUE(problem.empty())
                << entry.key << " (" << source.name << "): " << problem << ": " << text;
        }
    }
    for (const auto& [key, file] : findings.keys) {
        EXPECT_TRUE(listedKeys.count(key))
            << "\"" << key << "\" (" << file << ") is listed in no registered key table";
    }
    for (const auto& [table, file] : findings.tables) {
        EXPECT_TRUE(registeredTables.count(table))
            << table << " (" << file << ") is not registered in tests/catalog";
    }
    for (const std::string& table : registeredTables) {
        EXPECT_TRUE(findings.tables.count(table)) << table << " was not found under src/";
    }
}

// No key is defined twice: the first definition would silently win over a block appended
// later.
TEST(CatalogKeys, ShippedCatalogKeysAreUnique) {
    std::ifstream in(shippedCatalogPath());
    ASSERT_TRUE(in.is_open());
    std::map<std::string, int> firstLine;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#' || line.find('=') == std::string::npos) {
            continue;
        }
        const auto [it, added] =
            firstLine.emplace(line.substr(0, line.find_first_of(" \t=")), number);
        EXPECT_TRUE(added) << "\"" << it->first << "\" on line " << number
                           << " was already defined on line " << it->second;
    }
}
