#include "port/StdioFile.h"

#if defined(_WIN32)
#include "port/Win32Text.h"
#endif

namespace port {

std::FILE* openFile(const std::string& path, const char* mode) {
    const std::string binary = std::string(mode) + "b";
#if defined(_WIN32)
    return ::_wfopen(toWide(path).c_str(), toWide(binary).c_str());
#else
    return std::fopen(path.c_str(), binary.c_str());
#endif
}

}  // namespace port
