#include "port/ModuleDirectory.h"

#include "port/Environment.h"
#include "port/FileSystem.h"

#if defined(_WIN32)
#include <windows.h>

#include "port/Win32Text.h"
#else
#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#endif

namespace port {
namespace {

bool isSeparator(char c) {
#if defined(_WIN32)
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// The directory part of the file path, ending in its separator; empty when it has none.
std::string directoryOfFile(const std::string& file) {
    for (std::string::size_type i = file.size(); i > 0; --i) {
        if (isSeparator(file[i - 1])) {
            return file.substr(0, i);
        }
    }
    return std::string();
}

}  // namespace

std::string moduleDirectory() {
    std::string dir = environmentVariable("TLXVL_HOME");
    if (!dir.empty()) {
        if (!isSeparator(dir.back())) {
            dir += kPathSeparator;
        }
        return dir;
    }
    return libraryDirectory();
}

#if defined(_WIN32)

std::string libraryDirectory() {
    // The module (DLL, or a program linked with the monitor's objects) that holds this
    // function, whatever the host's working directory or the process's main program.
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&libraryDirectory), &module)) {
        return std::string();
    }
    // A path longer than the buffer comes back cut, with the buffer's length: grow and retry.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) {
            return std::string();
        }
        path.resize(path.size() * 2);
    }
    return directoryOfFile(toUtf8(path));
}

#else

namespace {

// The file mapped at address, from the process's memory map: always an absolute path.
std::string mappedFile(uintptr_t address) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        // "start-end perms offset dev inode   path"
        uintptr_t start = 0;
        uintptr_t end = 0;
        char dash = 0;
        std::istringstream fields(line);
        fields >> std::hex >> start >> dash >> end;
        const std::string::size_type path = line.find('/');
        if (fields && dash == '-' && start <= address && address < end &&
            path != std::string::npos) {
            return line.substr(path);
        }
    }
    return std::string();
}

}  // namespace

std::string libraryDirectory() {
    // The path of the shared object that holds this function, that is the monitor library.
    Dl_info info;
    std::memset(&info, 0, sizeof info);
    const auto self = reinterpret_cast<void*>(&libraryDirectory);
    if (::dladdr(self, &info) == 0 || info.dli_fname == nullptr) {
        return std::string();
    }
    // A program started by a relative path (or a library loaded by one) is named relative to
    // the working directory of that moment; the memory map names it absolutely.
    if (info.dli_fname[0] != '/') {
        const std::string file = mappedFile(reinterpret_cast<uintptr_t>(self));
        if (!file.empty()) {
            return directoryOfFile(file);
        }
    }
    return directoryOfFile(info.dli_fname);
}

#endif

void setModuleDirectory(const std::string& dir) {
    setEnvironmentVariable("TLXVL_HOME", dir);
}

}  // namespace port
