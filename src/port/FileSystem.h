// File-system operations that the monitor needs, built on the primitive operations of
// FileOps::current(), so that a test can make any of them fail. Any thread may call them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "port/Export.h"
#include "port/FileOps.h"

namespace port {

// The separator that ends a directory path ("kvorlogs" + kPathSeparator).
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The temporary files that replaceFileAtomically writes beside a file are named after it with
// this suffix and a unique part.
constexpr const char* kTemporarySuffix = ".tmp";

// The directory part of path ("." when it has none), without a trailing separator.
TLX_EXPORT std::string directoryOf(const std::string& path);

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

// The state of the file at path; false when there is none (or it cannot be looked at).
TLX_EXPORT bool statFile(const std::string& path, FileStat& stat);

// The current time on the clock that stamps files, in nanoseconds since 1970. A file whose
// modification or status-change time lies within kFileTimeGranularityNs of a look at it may
// have been changed again since without a visible change of its size or times.
TLX_EXPORT int64_t fileTimeNow();
constexpr int64_t kFileTimeGranularityNs = 2000000000;  // 2 s: the coarsest file systems

// Whether a file seen in state stat at time seenAt (file clock) had changed within the time
// granularity before: then it may have changed again since without moving its size or times,
// and only its contents tell. The status-change time counts too: an edit that put the old
// modification time back (as copying with preserved times does) moves only that one.
inline bool isRecentlyChanged(const FileStat& stat, int64_t seenAt) {
    return seenAt - stat.modifiedNs < kFileTimeGranularityNs ||
           seenAt - stat.changedNs < kFileTimeGranularityNs;
}

// Creates an empty file at path, leaving a file already there as it is. False when no file
// can be had there.
TLX_EXPORT bool createEmptyFile(const std::string& path);

// Removes the temporary files that replaceFileAtomically writers of path left beside it when
// they died before finishing (a crash, a kill): those whose lock no open file holds. A live
// writer's file, locked, stays. Returns how many were removed.
TLX_EXPORT int removeStaleTemporaryFiles(const std::string& path);

// Reads the whole file at path into text (replacing its contents). False when it cannot be
// opened or read; text then holds what was read.
TLX_EXPORT bool readWholeFile(const std::string& path, std::string& text);

// As replaceFileAtomically(path, data, size), with two additions. abandon (may be empty) is
// asked between pieces of the write and of the wait for the disk and once more before the
// file's sync; when it answers true the temporary file is removed and false returned, path
// untouched: a stop request need not wait for a long write. Once the file's sync has begun,
// the replacement completes (asked after the rename, true skips the directory's sync, so a
// crash right after may leave the old file). On success *installed (when not null)
// receives the state of the file now at path.
TLX_EXPORT bool replaceFileAtomically(const std::string& path, const char* data, size_t size,
                                      const std::function<bool()>& abandon, FileStat* installed);

// Creates a new, empty directory under the system's temporary directory, its name starting
// with prefix. Returns its path ending in kPathSeparator, or an empty string on failure.
TLX_EXPORT std::string makeTemporaryDirectory(const std::string& prefix);

}  // namespace port
