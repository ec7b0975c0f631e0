#include "port/FileSystem.h"

#include "port/ReadOnlyFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace port {
namespace {

// Pieces of a large write between two looks at the abandon request.
constexpr size_t kWritePiece = size_t{1} << 19;

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Creates a temporary file beside path under a name no other writer uses (process ID and a
// counter, created exclusively, so an existing file is never taken over). It gets 0666 less
// the umask, as an fopen'ed file would, without touching the process-wide umask: another
// thread of the host may be creating files at the same moment.
int createTemporary(const std::string& path, std::string& temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

std::string directoryOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a rename in the directory of path survive a crash.
void syncDirectoryOf(const std::string& path) {
    int dir = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

FileStat toFileStat(const struct stat& st) {
    FileStat stat;
    stat.device = static_cast<uint64_t>(st.st_dev);
    stat.inode = static_cast<uint64_t>(st.st_ino);
    stat.size = static_cast<uint64_t>(st.st_size);
    stat.links = static_cast<uint64_t>(st.st_nlink);
    stat.modifiedNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    stat.changedNs = int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    return stat;
}

MakeDirectoryResult makeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) {
        return MakeDirectoryResult::Created;
    }
    return errno == EEXIST ? MakeDirectoryResult::AlreadyExists : MakeDirectoryResult::Failed;
}

bool replaceFileAtomically(const std::string& path, const char* data, size_t size) {
    return replaceFileAtomically(path, data, size, nullptr, nullptr);
}

bool replaceFileAtomically(const std::string& path, const char* data, size_t size,
                           const std::function<bool()>& abandon, FileStat* installed) {
    const auto abandoned = [&abandon] { return abandon && abandon(); };
    std::string temporary;
    int fd = createTemporary(path, temporary);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < size;) {
        const size_t piece = std::min(size - done, kWritePiece);
        ok = !abandoned() && writeAll(fd, data + done, piece);
#if defined(SYNC_FILE_RANGE_WRITE)
        // Starts the piece on its way to the disk while the next one is written.
        if (ok) {
            ::sync_file_range(fd, static_cast<off_t>(done), static_cast<off_t>(piece),
                              SYNC_FILE_RANGE_WRITE);
        }
#endif
        done += piece;
    }
#if defined(SYNC_FILE_RANGE_WRITE)
    // Waits for the data piece by piece, with a look at the abandon request between pieces,
    // so that the sync below has little left to wait for.
    for (size_t done = 0; ok && done < size; done += kWritePiece) {
        ok = !abandoned() &&
             ::sync_file_range(fd, static_cast<off_t>(done),
                               static_cast<off_t>(std::min(size - done, kWritePiece)),
                               SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                   SYNC_FILE_RANGE_WAIT_AFTER) == 0;
    }
#endif
    ok = ok && !abandoned() && ::fsync(fd) == 0;
    if (ok) {
        ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    // Looked at through the open file after the rename: the state of exactly the file
    // installed, even if someone replaces path at once.
    struct stat st;
    if (installed != nullptr && ::fstat(fd, &st) == 0) {
        *installed = toFileStat(st);
    }
    ::close(fd);
    // The directory's sync only makes the rename itself survive a crash; after a crash
    // without it the path holds the old file, which is whole. A stop need not wait for it.
    if (!abandoned()) {
        syncDirectoryOf(path);
    }
    return true;
}

bool renameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    syncDirectoryOf(to);
    return true;
}

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool statFile(const std::string& path, FileStat& stat) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return false;
    }
    stat = toFileStat(st);
    return true;
}

int64_t fileTimeNow() {
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

bool readWholeFile(const std::string& path, std::string& text) {
    text.clear();
    ReadOnlyFile file;
    return file.open(path) && file.readAll(text);
}

std::string makeTemporaryDirectory(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/" + prefix + "XXXXXX";
    if (::mkdtemp(&pattern[0]) == nullptr) {
        return std::string();
    }
    return pattern + kPathSeparator;
}

}  // namespace port
