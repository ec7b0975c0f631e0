// The process's environment variables, names and values in UTF-8 (on Windows through the
// wide-character environment, so that a directory named outside the ANSI code page keeps its
// name). Any thread may read; setting is for start-up and tests, before other threads read.
#pragma once

#include <string>

namespace port {

// The value of name; empty when it is not set.
std::string environmentVariable(const std::string& name);

// Sets name to value, or removes it when value is empty. Setting TZ also makes the local time
// of later ctimeText() calls follow it.
void setEnvironmentVariable(const std::string& name, const std::string& value);

}  // namespace port
