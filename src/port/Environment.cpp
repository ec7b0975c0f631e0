#include "port/Environment.h"

#include <cstdlib>
#include <ctime>

#if defined(_WIN32)
#include "port/Win32Text.h"
#endif

namespace port {

#if defined(_WIN32)

std::string environmentVariable(const std::string& name) {
    const wchar_t* value = ::_wgetenv(toWide(name).c_str());
    return value != nullptr ? toUtf8(value, std::wcslen(value)) : std::string();
}

void setEnvironmentVariable(const std::string& name, const std::string& value) {
    ::_wputenv_s(toWide(name).c_str(), toWide(value).c_str());
    if (name == "TZ") {
        ::_tzset();
    }
}

#else

std::string environmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? std::string(value) : std::string();
}

void setEnvironmentVariable(const std::string& name, const std::string& value) {
    if (value.empty()) {
        ::unsetenv(name.c_str());
    } else {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    if (name == "TZ") {
        ::tzset();
    }
}

#endif

}  // namespace port
