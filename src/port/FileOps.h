// The primitive file operations every file access of the library goes through: open, read,
// write, sync, close, look at, rename, remove, list, lock, watch for changes. One
// process-wide instance serves (the operating system's by default); a test installs its own
// to inject failures (a full disk, an I/O error, a refused rename, a short write) before it
// starts any monitor, and restores the previous one when done. The operations themselves may
// be called from any thread; install() must not race with them.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "port/Export.h"

namespace port {

// An open file: a descriptor on POSIX, a HANDLE's value on Windows.
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

// What tells one state of a file from another without reading it: which file it is (device
// and file number), whether it is a directory, its size, its link count and its modification
// and status-change times in nanoseconds since 1970. Equal states with distant times mean
// equal contents; a change made within the file system's time granularity of the last look
// may leave the times as they were (see FileOps::fileTimeNow()).
struct FileStat {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    uint64_t links = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    bool directory = false;

    bool sameFile(const FileStat& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator==(const FileStat& other) const {
        return sameFile(other) && size == other.size && links == other.links &&
               modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
    bool operator!=(const FileStat& other) const { return !(*this == other); }
};

// The change signal on one open file (see FileOps::watch): a queue of the file's changes
// and, where asking the queue itself costs more, a handle that tells cheaply whether it holds
// any.
struct FileWatch {
    FileHandle queue = kNoFile;
    FileHandle ready = kNoFile;

    bool active() const { return queue != kNoFile; }
};

enum class OpenMode {
    Read,       // an existing file, for reading
    Append,     // for writing at its end, created (empty) when missing
    CreateNew,  // a new file for writing; EEXIST when the name is taken
};

// Every operation returns 0 on success or an errno value (ENOENT, EEXIST, EACCES, ENOSPC,
// EIO, EWOULDBLOCK, ...; on Windows the system's error mapped to the nearest of those).
class TLX_EXPORT FileOps {
public:
    virtual ~FileOps() = default;

    virtual int open(const std::string& path, OpenMode mode, FileHandle& file) = 0;
    // Reads up to size bytes at offset; got is 0 at the end of the file.
    virtual int read(FileHandle file, uint64_t offset, char* data, size_t size, size_t& got) = 0;
    // Writes up to size bytes at the file's end or position; written may be less than size.
    virtual int write(FileHandle file, const char* data, size_t size, size_t& written) = 0;
    // Starts writing [offset, offset + size) to the disk, and with wait also waits for it: a
    // hint that lets a long write be synced piece by piece. May do nothing.
    virtual int syncRange(FileHandle file, uint64_t offset, uint64_t size, bool wait) = 0;
    // Returns once the file's data is on the disk.
    virtual int sync(FileHandle file) = 0;
    virtual int close(FileHandle file) = 0;
    virtual int stat(FileHandle file, FileStat& stat) = 0;
    virtual int stat(const std::string& path, FileStat& stat) = 0;
    // Renames from to to in one step, replacing a file named to (both in one directory).
    virtual int rename(const std::string& from, const std::string& to) = 0;
    virtual int remove(const std::string& path) = 0;
    virtual int makeDirectory(const std::string& path) = 0;
    // The names in the directory, "." and ".." left out, in no particular order.
    virtual int listDirectory(const std::string& path, std::vector<std::string>& names) = 0;
    // Makes renames and creations in the directory at path survive a crash. May do nothing.
    virtual int syncDirectory(const std::string& path) = 0;
    // Takes an exclusive lock on the open file without waiting: EWOULDBLOCK when another
    // open file (of this or another process) holds it. The lock goes with the close, or with
    // the process that holds it.
    virtual int tryLock(FileHandle file) = 0;
    // A new, empty directory under the system's temporary directory, its name starting with
    // prefix; its path, ending in the separator, in path.
    virtual int makeTemporaryDirectory(const std::string& prefix, std::string& path) = 0;
    // The current time on the clock that stamps files, in nanoseconds since 1970.
    virtual int64_t fileTimeNow() = 0;

    // A change signal on an open file, where the system offers one: once the file is
    // written, truncated, has its times, mode or links changed (deleted, replaced by a
    // rename) or is renamed, pending() says so, from the moment the changing call returns.
    // Cheaper to ask than a look at the file, but blind to writes through a memory mapping
    // and to other machines' writes to a network file system. ENOSYS where there is none
    // (the default). unwatch() ends the signal; a watch that was not made ends as well.
    virtual int watch(FileHandle file, FileWatch& watch) {
        (void)file;
        watch = FileWatch();
        return ENOSYS;
    }
    // Whether a change was signalled since the watch was made; true as well on an error.
    virtual int pending(const FileWatch& watch, bool& changed) {
        (void)watch;
        changed = true;
        return ENOSYS;
    }
    // Closes the watch's handles with close(), so a watch outlives a change of instance.
    virtual void unwatch(FileWatch& watch) {
        for (FileHandle handle : {watch.ready, watch.queue}) {
            if (handle != kNoFile) {
                close(handle);
            }
        }
        watch = FileWatch();
    }

    // The instance in use; the operating system's unless a test installed another.
    static FileOps& current();
    // Makes ops (not owned; null: the operating system's) the instance in use and returns
    // the previous one.
    static FileOps* install(FileOps* ops);
    // The operating system's instance, for a test instance to pass calls on to.
    static FileOps& system();
};

}  // namespace port
