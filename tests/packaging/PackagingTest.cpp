// What a host links against and compiles against: the exported symbols of libtlxvl and
// libbrixvl (nm -D --defined-only, demangled) equal the committed lists, so that every new
// export is a reviewed change (rebuild the target tlxvl_update_symbols and review the
// difference); every header a public header includes is public; and the README's hosting
// sample is the example that CI builds and runs; and a host that loaded the libraries with
// dlopen can unload them again.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readSource(const std::string& path) {
    std::ifstream in(std::string(TLXVL_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The non-empty lines of text, or of each part of it between separators.
std::set<std::string> lines(const std::string& text, char separator = '\n') {
    std::set<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, separator);) {
        if (!line.empty()) {
            found.insert(line);
        }
    }
    return found;
}

// The demangled names of the symbols a library exports, as tlxvl_update_symbols writes them.
std::set<std::string> exportedNames(const std::string& file) {
    std::string text;
    const std::string command =
        std::string(TLXVL_NM) + " -D --defined-only -C '" + file + "' 2>/dev/null";
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        ::pclose(pipe);
    }
    std::set<std::string> names;
    for (const std::string& line : lines(text)) {
        // "address type name"; names only, since the type letters differ between compilers.
        names.insert(line.substr(std::min(line.size(), line.find(' ', line.find(' ') + 1) + 1)));
    }
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += "\n  " + name;
    }
    return text;
}

TEST(Packaging, ExportsEqualTheCommittedLists) {
    // clang-format off
    const struct { const char *file, *committedList; } kLibraries[] = {
        {TLXVL_LIBTLXVL, "tests/packaging/libtlxvl.symbols"}, {TLXVL_LIBBRIXVL, "tests/packaging/libbrixvl.symbols"}};
    // clang-format on
    for (const auto& library : kLibraries) {
        const std::set<std::string> names = exportedNames(library.file);
        const std::set<std::string> committed = lines(readSource(library.committedList));
        ASSERT_FALSE(names.empty()) << "nm found no symbols in " << library.file;
        std::vector<std::string> added, removed;
        std::set_difference(names.begin(), names.end(), committed.begin(), committed.end(),
                            std::back_inserter(added));
        std::set_difference(committed.begin(), committed.end(), names.begin(), names.end(),
                            std::back_inserter(removed));
        EXPECT_TRUE(added.empty() && removed.empty())
            << "exports differ from " << library.committedList
            << " (rebuild the target tlxvl_update_symbols and review the difference)\nnew:"
            << joined(added) << "\ngone:" << joined(removed);
    }
}

TEST(Packaging, PublicHeadersIncludeOnlyPublicHeadersAndTheReadmeSampleIsTheExample) {
    const std::set<std::string> headers = lines(TLXVL_PUBLIC_HEADERS, ',');
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
    const std::string readme = readSource("README.md");
    const std::string fence = "```cpp\n";
    const size_t begin = readme.find(fence, readme.find("## Hosting the monitor"));
    ASSERT_NE(begin, std::string::npos);
    const size_t end = readme.find("```\n", begin + fence.size());
    EXPECT_EQ(readme.substr(begin + fence.size(), end - begin - fence.size()),
              readSource("examples/HostMonitor.cpp"));
}

// A unique symbol (a template's static, an inline variable) or a vtable pinned by another
// object would keep a library loaded after dlclose; closing libtlxvl unloads libbrixvl too.
TEST(LibraryUnload, DlcloseUnloadsTheLibraryAndWhatItPulledIn) {
    for (const char* opened : {TLXVL_LIBBRIXVL, TLXVL_LIBTLXVL}) {
        void* handle = ::dlopen(opened, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << ::dlerror();
        ASSERT_EQ(::dlclose(handle), 0) << ::dlerror();
        for (const char* file : {TLXVL_LIBBRIXVL, TLXVL_LIBTLXVL}) {
            void* still = ::dlopen(file, RTLD_NOW | RTLD_NOLOAD);
            EXPECT_EQ(still, nullptr) << file << " is still loaded after closing " << opened;
            if (still != nullptr) {
                ::dlclose(still);
            }
        }
    }
}

}  // namespace
