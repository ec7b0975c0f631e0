// The binary interface of libtlxvl and libbrixvl as a host sees it: the exported symbols
// (nm -D --defined-only, demangled) equal the committed lists, so that every new export is a
// reviewed change (rebuild the target tlxvl_update_symbols and review the difference); no
// exported function takes a type the libraries keep hidden, no template instantiation or
// GNU_UNIQUE object is exported, and the controller library's virtual tables and type
// information are defined in libbrixvl only.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Library {
    const char* file;
    const char* committedList;
};

const Library kLibraries[] = {
    {TLXVL_LIBTLXVL, "tests/packaging/libtlxvl.symbols"},
    {TLXVL_LIBBRIXVL, "tests/packaging/libbrixvl.symbols"},
};

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

std::set<std::string> exportedSymbols(const std::string& file) {
    return symbolLines("-D --defined-only -C", file);
}

std::set<std::string> committedList(const char* path) {
    std::set<std::string> lines;
    std::ifstream in(std::string(TLXVL_SOURCE_DIR) + "/" + path);
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
        exported.push_back(exportedSymbols(library.file));
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
        for (const std::string& name : names) {
            if (committed.count(name) == 0) {
                added.push_back(name);
            }
        }
        for (const std::string& name : committed) {
            if (names.count(name) == 0) {
                removed.push_back(name);
            }
        }
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
    for (const std::string& line : exportedSymbols(TLXVL_LIBBRIXVL)) {
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

}  // namespace
