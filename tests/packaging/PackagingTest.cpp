// What a host links against, loads and compiles against. The binary interface of libtlxvl
// and libbrixvl as a host sees it: the exported symbols
// (nm -D --defined-only, demangled) equal the committed lists, so that every new export is a
// reviewed change (rebuild the target tlxvl_update_symbols and review the difference); no
// exported function takes a type the libraries keep hidden, no template instantiation or
// GNU_UNIQUE object is exported, and the controller library's virtual tables and type
// information are defined in libbrixvl only.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// clang-format off
struct Library { const char* file; const char* committedList; };
const Library kLibraries[] = {{TLXVL_LIBTLXVL, "tests/packaging/libtlxvl.symbols"},
                              {TLXVL_LIBBRIXVL, "tests/packaging/libbrixvl.symbols"}};
// clang-format on

std::string commandOutput(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            text.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return text;
}

// "T name" per symbol: nm's line without the address; tlxvl_update_symbols writes the names.
std::set<std::string> symbolLines(const std::string& nmOptions, const std::string& file) {
    std::set<std::string> lines;
    std::istringstream text(
        commandOutput(std::string(TLXVL_NM) + " " + nmOptions + " '" + file + "' 2>/dev/null"));
    for (std::string line; std::getline(text, line);) {
        const size_t space = line.find(' ');
        if (space != std::string::npos) {
            lines.insert(line.substr(space + 1));
        }
    }
    return lines;
}

std::string readSource(const std::string& path) {
    std::ifstream in(std::string(TLXVL_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> committedList(const char* path) {
    std::set<std::string> lines;
    std::istringstream in(readSource(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.insert(line);
        }
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "\n  " + line;
    }
    return text;
}

// The class part of "X::member(...)" (up to the last "::" before the parameter list).
std::string classOf(const std::string& name) {
    const size_t paren = name.find('(');
    const size_t colons = name.rfind("::", paren);
    return colons == std::string::npos ? std::string() : name.substr(0, colons);
}

// The parameter list of a function symbol: the text between the first "(" and its match.
std::string parameterList(const std::string& name) {
    const size_t open = name.find('(');
    if (open == std::string::npos) {
        return std::string();
    }
    int depth = 0;
    for (size_t i = open; i < name.size(); ++i) {
        depth += name[i] == '(' ? 1 : name[i] == ')' ? -1 : 0;
        if (depth == 0) {
            return name.substr(open + 1, i - open - 1);
        }
    }
    return std::string();
}

// A parameter type is visible to a host when it is a built-in or standard type, one of the
// public enumerations (Enum...), or a class whose members either library exports.
bool isVisibleType(const std::string& type, const std::set<std::string>& exportedClasses) {
    static const std::set<std::string> kBuiltins = {"bool", "char",     "short", "int",
                                                    "long", "unsigned", "float", "double",
                                                    "void", "const",    "signed"};
    return kBuiltins.count(type) > 0 || type.rfind("std::", 0) == 0 ||
           type.rfind("__gnu_cxx::", 0) == 0 || type.rfind("Enum", 0) == 0 ||
           exportedClasses.count(type) > 0;
}

TEST(LibrarySymbols, ExportsEqualTheCommittedListsAndFollowTheInterfaceRules) {
    std::set<std::string> exportedClasses;
    std::vector<std::set<std::string>> exported;
    for (const Library& library : kLibraries) {
        exported.push_back(symbolLines("-D --defined-only -C", library.file));
        ASSERT_FALSE(exported.back().empty()) << "nm found no symbols in " << library.file;
        for (const std::string& line : exported.back()) {
            exportedClasses.insert(classOf(line.substr(2)));
        }
    }

    for (size_t i = 0; i < std::size(kLibraries); ++i) {
        const Library& library = kLibraries[i];
        SCOPED_TRACE(library.file);
        // Names only: the symbol type letters differ between compilers (GCC makes every
        // virtual table weak, clang only those without a key function).
        const std::set<std::string> committed = committedList(library.committedList);
        std::set<std::string> names;
        for (const std::string& line : exported[i]) {
            names.insert(line.substr(2));
        }
        std::vector<std::string> added, removed;
        std::set_difference(names.begin(), names.end(), committed.begin(), committed.end(),
                            std::back_inserter(added));
        std::set_difference(committed.begin(), committed.end(), names.begin(), names.end(),
                            std::back_inserter(removed));
        EXPECT_TRUE(added.empty() && removed.empty())
            << "exports differ from " << library.committedList
            << " (rebuild the target tlxvl_update_symbols and review the difference)\nnew:"
            << joined(added) << "\ngone:" << joined(removed);

        std::vector<std::string> unique, instantiations, hiddenTypes;
        const std::regex identifier("[A-Za-z_][A-Za-z0-9_]*(::[A-Za-z_][A-Za-z0-9_]*)*");
        for (const std::string& line : exported[i]) {
            const std::string name = line.substr(2);
            if (line[0] == 'u') {
                unique.push_back(line);
            }
            if (name.substr(0, name.find('(')).find('<') != std::string::npos) {
                instantiations.push_back(line);
            }
            const std::string parameters = parameterList(name);
            for (std::sregex_iterator it(parameters.begin(), parameters.end(), identifier), end;
                 it != end; ++it) {
                if (!isVisibleType(it->str(), exportedClasses)) {
                    hiddenTypes.push_back(line + "  [" + it->str() + "]");
                }
            }
        }
        EXPECT_TRUE(unique.empty())
            << "GNU_UNIQUE objects keep the library loaded:" << joined(unique);
        EXPECT_TRUE(instantiations.empty()) << "template instantiations:" << joined(instantiations);
        EXPECT_TRUE(hiddenTypes.empty())
            << "exported functions taking hidden types:" << joined(hiddenTypes);
    }
}

// A class of the controller library whose virtual table or type information libtlxvl also
// defined would exist twice in a host; its out-of-line key function keeps it in libbrixvl.
TEST(LibrarySymbols, ControllerLibraryTypesAreDefinedInLibbrixvlOnly) {
    const std::set<std::string> monitorSymbols = symbolLines("--defined-only -C", TLXVL_LIBTLXVL);
    if (monitorSymbols.empty()) {
        GTEST_SKIP() << "libtlxvl carries no symbol table (stripped)";
    }
    const std::regex typeData("^. ((vtable|typeinfo|typeinfo name) for .*)$");
    std::set<std::string> controllerTypeData;
    for (const std::string& line : symbolLines("-D --defined-only -C", TLXVL_LIBBRIXVL)) {
        std::smatch match;
        if (std::regex_match(line, match, typeData)) {
            controllerTypeData.insert(match[1]);
        }
    }
    ASSERT_FALSE(controllerTypeData.empty());
    std::vector<std::string> duplicated;
    for (const std::string& line : monitorSymbols) {
        std::smatch match;
        if (std::regex_match(line, match, typeData) && controllerTypeData.count(match[1]) > 0) {
            duplicated.push_back(line);
        }
    }
    EXPECT_TRUE(duplicated.empty()) << "defined in libtlxvl as well:" << joined(duplicated);
}

// What a host compiles against: every header that a public header includes is itself in the
// installed list (TLXVL_PUBLIC_HEADERS of cmake/TlxvlInstall.cmake), so an installed prefix
// compiles without the private ones; and the README's hosting sample is examples/HostMonitor.cpp
// word for word, so the sample that readers copy is the one CI builds and runs.
std::set<std::string> publicHeaders() {
    std::set<std::string> headers;
    std::istringstream list(TLXVL_PUBLIC_HEADERS);
    for (std::string header; std::getline(list, header, ',');) {
        headers.insert(header);
    }
    return headers;
}

TEST(PublicHeaders, EveryIncludeOfAPublicHeaderIsPublic) {
    const std::set<std::string> headers = publicHeaders();
    ASSERT_TRUE(headers.count("monitor/VelmarMonitor.h") && headers.count("raidlib/raidlib.h"));
    const std::regex include("#include \"([^\"]+)\"");
    for (const std::string& header : headers) {
        const std::string text = readSource("src/" + header);
        EXPECT_FALSE(text.empty()) << header << " is missing";
        for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
            EXPECT_EQ(headers.count((*it)[1]), 1u)
                << header << " includes the private header " << (*it)[1];
        }
    }
}

TEST(PublicHeaders, ReadmeHostingSampleIsTheExample) {
    const std::string readme = readSource("README.md");
    const size_t section = readme.find("## Hosting the monitor");
    ASSERT_NE(section, std::string::npos);
    const std::string fence = "```cpp\n";
    const size_t begin = readme.find(fence, section);
    ASSERT_NE(begin, std::string::npos);
    const size_t end = readme.find("```\n", begin + fence.size());
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(readme.substr(begin + fence.size(), end - begin - fence.size()),
              readSource("examples/HostMonitor.cpp"));
}

// A host that loads the libraries with dlopen can unload them again: after dlclose neither
// the library nor the controller library it pulled in stays mapped. A GNU_UNIQUE symbol or a
// thread-local destructor would pin a library for the life of the process.
std::string realPath(const char* path) {
    char resolved[PATH_MAX];
    return ::realpath(path, resolved) != nullptr ? std::string(resolved) : std::string(path);
}

bool isMapped(const std::string& file) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.size() >= file.size() &&
            line.compare(line.size() - file.size(), file.size(), file) == 0) {
            return true;
        }
    }
    return false;
}

TEST(LibraryUnload, DlcloseUnmapsTheLibraryAndWhatItPulledIn) {
    struct Row {
        const char* opened;
        std::vector<const char*> goneAfterClose;
    };
    const Row rows[] = {
        {TLXVL_LIBBRIXVL, {TLXVL_LIBBRIXVL}},
        {TLXVL_LIBTLXVL, {TLXVL_LIBTLXVL, TLXVL_LIBBRIXVL}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.opened);
        void* handle = ::dlopen(row.opened, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << ::dlerror();
        for (const char* file : row.goneAfterClose) {
            EXPECT_TRUE(isMapped(realPath(file))) << file << " not loaded with it";
        }
        ASSERT_EQ(::dlclose(handle), 0) << ::dlerror();
        for (const char* file : row.goneAfterClose) {
            void* still = ::dlopen(file, RTLD_NOW | RTLD_NOLOAD);
            EXPECT_EQ(still, nullptr) << file << " is still loaded";
            if (still != nullptr) {
                ::dlclose(still);
            }
            EXPECT_FALSE(isMapped(realPath(file))) << file << " is still mapped";
        }
    }
}

}  // namespace
