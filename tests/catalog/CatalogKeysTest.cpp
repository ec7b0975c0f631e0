// Proves that the shipped catalog, data/RaidNLS.properties, has a text for every key that
// the code looks up, and that no text uses a placeholder beyond the arguments passed.
//
// The convention that keeps this check complete as code is added:
//  1. Every key the code looks up is listed, with the number of arguments its lookup passes
//     (0 for a plain lookup), in a constexpr table of CatalogKey (nls/CatalogKey.h) in the
//     code of the subsystem that looks it up, e.g. detect::kIdentityCatalogKeys in
//     src/detect/DetectCatalogKeys.h. Keys that already live in a data table of another
//     row type (the event-code table, ...) are listed by a function beside that table,
//     `std::vector<CatalogKey> somethingCatalogKeys()`, that derives them from its rows.
//  2. Each such table or function is registered below in kSources with CATALOG_SOURCE.
//  3. The source scan below fails when a string literal passed straight to a get("...")
//     call, or any string literal beginning with "agentEvent", "eventArg" or "deviceArg",
//     is listed in no registered table, and when a CatalogKey table or catalog-key
//     function declared under src/ is not registered (or a registered one is not found).
//     Settings-file keys contain a "." ("tlx.debugMask") and are not catalog keys.
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

std::string unqualified(const std::string& name) {
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

constexpr const char* kKeyPrefixes[] = {"agentEvent", "eventArg", "deviceArg"};

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// One source file with its comments removed and its string literals emptied, and the
// literals themselves with the offset of their opening quote in that code.
struct ScannedSource {
    std::string code;
    std::vector<std::pair<size_t, std::string>> literals;
};

ScannedSource scanSource(const std::string& text) {
    ScannedSource out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '/' && next == '/') {
            i = std::min(text.find('\n', i), text.size());
            out.code += ' ';
        } else if (c == '/' && next == '*') {
            const size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 2;
            out.code += ' ';
        } else if (c == '"' && i > 0 && text[i - 1] == 'R') {
            const size_t open = text.find('(', i);
            const std::string close = ")" + text.substr(i + 1, open - i - 1) + "\"";
            const size_t end = text.find(close, open);
            out.literals.emplace_back(out.code.size(), text.substr(open + 1, end - open - 1));
            out.code += "\"\"";
            i = end == std::string::npos ? text.size() : end + close.size();
        } else if (c == '"' || (c == '\'' && (i == 0 || !isIdentifierChar(text[i - 1])))) {
            std::string literal;
            for (++i; i < text.size() && text[i] != c && text[i] != '\n'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) {
                    literal += text[i++];
                }
                literal += text[i];
            }
            ++i;
            if (c == '"') {
                out.literals.emplace_back(out.code.size(), literal);
            }
            out.code += std::string(2, c);
        } else {
            out.code += c;
            ++i;
        }
    }
    return out;
}

// Whether the literal at quote is the first argument of a call named get.
bool isLookupArgument(const std::string& code, size_t quote) {
    size_t at = quote;
    auto skipBlanks = [&] {
        while (at > 0 && std::isspace(static_cast<unsigned char>(code[at - 1]))) {
            --at;
        }
    };
    skipBlanks();
    if (at == 0 || code[at - 1] != '(') {
        return false;
    }
    --at;
    skipBlanks();
    return at >= 3 && code.compare(at - 3, 3, "get") == 0 &&
           (at == 3 || !isIdentifierChar(code[at - 4]));
}

struct SourceFindings {
    std::map<std::string, std::string> keys;    // key -> file that uses it
    std::map<std::string, std::string> tables;  // table or function name -> file
};

void scanInto(const std::string& text, const std::string& file, SourceFindings& findings) {
    const ScannedSource source = scanSource(text);
    for (const auto& [quote, literal] : source.literals) {
        const bool prefixed =
            std::any_of(std::begin(kKeyPrefixes), std::end(kKeyPrefixes),
                        [&](const char* prefix) { return literal.rfind(prefix, 0) == 0; });
        const bool lookedUp =
            isLookupArgument(source.code, quote) && literal.find('.') == std::string::npos;
        if (prefixed || lookedUp) {
            findings.keys.emplace(literal, file);
        }
    }
    static const std::regex kTable(
        R"((?:\bCatalogKey\s+(\w+)\s*\[)|(?:std::vector\s*<\s*CatalogKey\s*>\s+(?:\w+::)*(\w+)\s*\())");
    for (std::sregex_iterator it(source.code.begin(), source.code.end(), kTable), end; it != end;
         ++it) {
        findings.tables.emplace((*it)[1].matched ? (*it)[1].str() : (*it)[2].str(), file);
    }
}

SourceFindings scanSourceTree() {
    SourceFindings findings;
    for (const auto& entry :
         fs::recursive_directory_iterator(std::string(TLXVL_SOURCE_DIR) + "/src")) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        scanInto(text.str(), entry.path().lexically_relative(TLXVL_SOURCE_DIR).string(), findings);
    }
    return findings;
}

// What is wrong with a text that its lookup fills with the given number of arguments.
std::string placeholderProblem(const std::string& text, int arguments) {
    for (size_t at = text.find('{'); at != std::string::npos; at = text.find('{', at + 1)) {
        if (at + 2 >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at + 1])) ||
            text[at + 2] != '}') {
            return "a \"{\" that is not one of the placeholders {0}..{9}";
        }
        if (text[at + 1] - '0' >= arguments) {
            return "placeholder " + text.substr(at, 3) + " but the code passes " +
                   std::to_string(arguments) + " argument(s)";
        }
    }
    return std::string();
}

}  // namespace

TEST(CatalogKeys, EveryListedKeyHasATextThatFitsItsArguments) {
    NLSParser catalog(shippedCatalogPath());
    for (const CatalogSource& source : sources()) {
        for (const CatalogKey& entry : source.keys) {
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
}

TEST(CatalogKeys, EveryKeyAndKeyTableInTheSourceIsRegistered) {
    const SourceFindings findings = scanSourceTree();
    std::set<std::string> listedKeys;
    std::set<std::string> registeredTables;
    for (const CatalogSource& source : sources()) {
        registeredTables.insert(unqualified(source.name));
        for (const CatalogKey& entry : source.keys) {
            listedKeys.insert(entry.key);
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

TEST(CatalogKeys, SourceScanSeesLookupsAndKeyLiteralsOutsideComments) {
    SourceFindings findings;
    scanInto(
        "auto a = nls->get(\"keyOne\", args);\n"
        "auto b = settings.get ( \"tlx.debugMask\" );\n"
        "// catalog->get(\"inComment\")\n"
        "/* get(\"inBlock\") */ char q = '\"'; budget(\"notALookup\");\n"
        "constexpr Row kRows[] = {{5, \"agentEventErrX\"}};\n"
        "inline constexpr CatalogKey kSomeKeys[] = {};\n"
        "std::vector<CatalogKey> ctl::eventCatalogKeys() { return {}; }\n",
        "sample.cpp", findings);
    std::set<std::string> keys;
    for (const auto& [key, file] : findings.keys) {
        keys.insert(key);
    }
    EXPECT_EQ(keys, (std::set<std::string>{"agentEventErrX", "keyOne"}));
    EXPECT_EQ(findings.tables.size(), 2u);
    EXPECT_TRUE(findings.tables.count("kSomeKeys"));
    EXPECT_TRUE(findings.tables.count("eventCatalogKeys"));
}

// Every entry line is "key=text" from the first column, and no key is defined twice (the
// first definition would silently win over a block appended later).
TEST(CatalogKeys, ShippedCatalogLinesAreWellFormedAndKeysUnique) {
    std::ifstream in(shippedCatalogPath());
    ASSERT_TRUE(in.is_open());
    std::map<std::string, int> firstLine;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') {
            continue;
        }
        const size_t keyEnd = line.find_first_of(" \t=");
        const std::string key = line.substr(0, keyEnd);
        EXPECT_FALSE(key.empty()) << "line " << number << " does not begin with a key: " << line;
        const size_t equals = line.find_first_not_of(" \t", keyEnd);
        EXPECT_TRUE(equals != std::string::npos && line[equals] == '=')
            << "line " << number << " has no \"=\" after its key: " << line;
        const auto [it, added] = firstLine.emplace(key, number);
        EXPECT_TRUE(added) << "\"" << key << "\" on line " << number
                           << " was already defined on line " << it->second;
    }
}
