// A host that loads the libraries with dlopen can unload them again: after dlclose neither
// the library nor the controller library it pulled in stays mapped. A GNU_UNIQUE symbol or a
// thread-local destructor would pin a library for the life of the process.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

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
