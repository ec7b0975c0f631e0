#include "port/ModuleDirectory.h"

#include <cstdlib>
#include <cstring>

#include <dlfcn.h>

#include "port/FileSystem.h"

namespace port {

std::string moduleDirectory() {
    const char* home = std::getenv("TLXVL_HOME");
    if (home != nullptr && home[0] != '\0') {
        std::string dir(home);
        if (dir.back() != kPathSeparator) {
            dir += kPathSeparator;
        }
        return dir;
    }
    return libraryDirectory();
}

std::string libraryDirectory() {
    // The path of the shared object that holds this function, that is the monitor library.
    Dl_info info;
    std::memset(&info, 0, sizeof info);
    if (::dladdr(reinterpret_cast<void*>(&libraryDirectory), &info) == 0 ||
        info.dli_fname == nullptr) {
        return std::string();
    }
    std::string file(info.dli_fname);
    std::string::size_type slash = file.find_last_of(kPathSeparator);
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

void setModuleDirectory(const std::string& dir) {
    ::setenv("TLXVL_HOME", dir.c_str(), 1);
}

}  // namespace port
