// Conversions between the library's UTF-8 texts (paths, environment values) and the UTF-16
// that the Windows calls take. Windows only; internal to src/port. Any thread may call them.
// A text that is not valid in its encoding converts with replacement characters.
#pragma once

#if defined(_WIN32)

#include <string>

namespace port {

std::wstring toWide(const std::string& utf8);
std::string toUtf8(const wchar_t* wide, size_t length);
inline std::string toUtf8(const std::wstring& wide) {
    return toUtf8(wide.data(), wide.size());
}

}  // namespace port

#endif
