#include "port/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

#include "port/ReadOnlyFile.h"

namespace port {
namespace {

// Pieces of a large write between two looks at the abandon request.
constexpr size_t kWritePiece = size_t{1} << 19;

bool writeAll(FileOps& ops, FileHandle file, const char* data, size_t size) {
    while (size > 0) {
        size_t written = 0;
        if (ops.write(file, data, size, written) != 0 || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Creates a temporary file beside path under a name no other writer uses (process-wide
// counter and a random part, created exclusively, so an existing file is never taken over)
// and locks it, so that a later run can tell a dead writer's leftover from a live writer's
// file (removeStaleTemporaryFiles). A cleaner may take the lock of the new file in the moment
// before its writer does, and removes it while holding it: the writer then finds the file
// locked or unlinked and takes another name. A file system without locks leaves it unlocked.
FileHandle createTemporary(FileOps& ops, const std::string& path, std::string& temporary) {
    static std::atomic<unsigned> counter{0};
    static const int64_t salt = ops.fileTimeNow();
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary =
            path + kTemporarySuffix + std::to_string(salt) + "-" + std::to_string(counter++);
        FileHandle file = kNoFile;
        const int error = ops.open(temporary, OpenMode::CreateNew, file);
        if (error == EEXIST) {
            continue;
        }
        if (error != 0) {
            return kNoFile;
        }
        FileStat state;
        if (ops.tryLock(file) != EWOULDBLOCK && (ops.stat(file, state) != 0 || state.links > 0)) {
            return file;
        }
        ops.close(file);
    }
    return kNoFile;
}

// A name in the directory that directoryOf gave (never empty; "/" for the root).
std::string joinPath(const std::string& directory, const std::string& name) {
    const char last = directory.back();
    return directory + (last == '/' || last == '\\' ? "" : std::string(1, kPathSeparator)) + name;
}

}  // namespace

std::string directoryOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

MakeDirectoryResult makeDirectory(const std::string& path) {
    const int error = FileOps::current().makeDirectory(path);
    if (error == 0) {
        return MakeDirectoryResult::Created;
    }
    return error == EEXIST ? MakeDirectoryResult::AlreadyExists : MakeDirectoryResult::Failed;
}

bool replaceFileAtomically(const std::string& path, const char* data, size_t size) {
    return replaceFileAtomically(path, data, size, nullptr, nullptr);
}

bool replaceFileAtomically(const std::string& path, const char* data, size_t size,
                           const std::function<bool()>& abandon, FileStat* installed) {
    FileOps& ops = FileOps::current();
    const auto abandoned = [&abandon] { return abandon && abandon(); };
    std::string temporary;
    const FileHandle file = createTemporary(ops, path, temporary);
    if (file == kNoFile) {
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < size;) {
        const size_t piece = std::min(size - done, kWritePiece);
        ok = !abandoned() && writeAll(ops, file, data + done, piece);
        // Starts the piece on its way to the disk while the next one is written.
        if (ok) {
            ops.syncRange(file, done, piece, false);
        }
        done += piece;
    }
    // Waits for the data piece by piece, with a look at the abandon request between pieces,
    // so that the sync below has little left to wait for.
    for (size_t done = 0; ok && done < size; done += kWritePiece) {
        ok = !abandoned() &&
             ops.syncRange(file, done, std::min(size - done, kWritePiece), true) == 0;
    }
    ok = ok && !abandoned() && ops.sync(file) == 0;
    if (ok) {
        ok = ops.rename(temporary, path) == 0;
    }
    if (!ok) {
        ops.close(file);
        ops.remove(temporary);
        return false;
    }
    // Looked at through the open file after the rename: the state of exactly the file
    // installed, even if someone replaces path at once.
    if (installed != nullptr && ops.stat(file, *installed) != 0) {
        *installed = FileStat();
    }
    ops.close(file);
    // The directory's sync only makes the rename itself survive a crash; after a crash
    // without it the path holds the old file, which is whole. A stop need not wait for it.
    if (!abandoned()) {
        ops.syncDirectory(directoryOf(path));
    }
    return true;
}

bool renameFile(const std::string& from, const std::string& to) {
    FileOps& ops = FileOps::current();
    if (ops.rename(from, to) != 0) {
        return false;
    }
    ops.syncDirectory(directoryOf(to));
    return true;
}

bool fileExists(const std::string& path) {
    FileStat stat;
    return FileOps::current().stat(path, stat) == 0;
}

bool statFile(const std::string& path, FileStat& stat) {
    return FileOps::current().stat(path, stat) == 0;
}

int64_t fileTimeNow() {
    return FileOps::current().fileTimeNow();
}

bool createEmptyFile(const std::string& path) {
    FileOps& ops = FileOps::current();
    FileHandle file = kNoFile;
    if (ops.open(path, OpenMode::Append, file) != 0) {
        return false;
    }
    ops.close(file);
    return true;
}

int removeStaleTemporaryFiles(const std::string& path) {
    FileOps& ops = FileOps::current();
    const std::string directory = directoryOf(path);
    const std::string::size_type slash = path.find_last_of("/\\");
    const std::string prefix =
        (slash == std::string::npos ? path : path.substr(slash + 1)) + kTemporarySuffix;
    std::vector<std::string> names;
    if (ops.listDirectory(directory, names) != 0) {
        return 0;
    }
    int removed = 0;
    for (const std::string& name : names) {
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string stale = joinPath(directory, name);
        FileHandle file = kNoFile;
        if (ops.open(stale, OpenMode::Read, file) != 0) {
            continue;
        }
        // Free only when no writer holds it. Removed before the lock goes, so that a writer
        // that has just created it and not yet locked it finds it gone (createTemporary).
        if (ops.tryLock(file) == 0 && ops.remove(stale) == 0) {
            ++removed;
        }
        ops.close(file);
    }
    return removed;
}

bool readWholeFile(const std::string& path, std::string& text) {
    text.clear();
    ReadOnlyFile file;
    return file.open(path) && file.readAll(text);
}

std::string makeTemporaryDirectory(const std::string& prefix) {
    std::string path;
    if (FileOps::current().makeTemporaryDirectory(prefix, path) != 0) {
        return std::string();
    }
    if (!path.empty() && path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    return path;
}

}  // namespace port
