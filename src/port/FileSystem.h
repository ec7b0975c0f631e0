// File-system operations that the monitor needs beyond plain stdio.
#pragma once

#include <cstddef>
#include <string>

#include "port/Export.h"

namespace port {

// The separator that ends a directory path ("kvorlogs" + kPathSeparator).
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

enum class MakeDirectoryResult { Created, AlreadyExists, Failed };

// Creates one directory. AlreadyExists when anything of that name is there, a plain file
// included (the caller then finds out when it opens files through it).
TLX_EXPORT MakeDirectoryResult makeDirectory(const std::string& path);

// Replaces path with data so that a crash or a full disk leaves either the old or the new
// file, never a cut one: writes a temporary file beside it, flushes and syncs it, renames it
// over path and syncs the directory. On failure the temporary file is removed, path is left
// untouched and false is returned.
TLX_EXPORT bool replaceFileAtomically(const std::string& path, const char* data, size_t size);

// Renames from to to in one step, replacing a file named to, so that to is at every moment
// either its old file or the whole of from (Win32: MoveFileEx with MOVEFILE_REPLACE_EXISTING
// and MOVEFILE_WRITE_THROUGH), and syncs the directory. Both paths lie in one directory. On
// failure (from missing, say) nothing changes and false is returned.
TLX_EXPORT bool renameFile(const std::string& from, const std::string& to);

TLX_EXPORT bool fileExists(const std::string& path);

// Creates a new, empty directory under the system's temporary directory, its name starting
// with prefix. Returns its path ending in kPathSeparator, or an empty string on failure.
TLX_EXPORT std::string makeTemporaryDirectory(const std::string& prefix);

}  // namespace port
