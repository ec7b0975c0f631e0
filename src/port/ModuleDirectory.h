// Where the monitor keeps its files: the directory of the tlxvl library itself, or the
// directory named by the environment variable TLXVL_HOME when that is set (the demo host
// and the tests give each monitor a directory of its own this way).
#pragma once

#include <string>

#include "port/Export.h"

namespace port {

// The directory, ending in kPathSeparator; empty when it cannot be found.
TLX_EXPORT std::string moduleDirectory();

// Makes every later moduleDirectory() answer dir (by setting TLXVL_HOME for this process);
// an empty dir removes TLXVL_HOME, so that the library's own directory is answered again.
TLX_EXPORT void setModuleDirectory(const std::string& dir);

// The directory of the file that holds the monitor's code (libtlxvl, or a program linked
// with its objects) whatever TLXVL_HOME says, ending in kPathSeparator; empty when it
// cannot be found. The installed catalog sits there.
std::string libraryDirectory();

}  // namespace port
