// The operating system's file operations on POSIX systems.
#if !defined(_WIN32)

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/epoll.h>
#include <sys/inotify.h>
#endif

#include "port/FileOps.h"

namespace port {
namespace {

FileStat toFileStat(const struct stat& st) {
    FileStat stat;
    stat.device = static_cast<uint64_t>(st.st_dev);
    stat.inode = static_cast<uint64_t>(st.st_ino);
    stat.size = static_cast<uint64_t>(st.st_size);
    stat.links = static_cast<uint64_t>(st.st_nlink);
    stat.modifiedNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    stat.changedNs = int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    stat.directory = S_ISDIR(st.st_mode);
    return stat;
}

int descriptor(FileHandle file) {
    return static_cast<int>(file);
}

class PosixFileOps final : public FileOps {
public:
    int open(const std::string& path, OpenMode mode, FileHandle& file) override {
        int flags = O_CLOEXEC;
        switch (mode) {
            case OpenMode::Read:
                flags |= O_RDONLY;
                break;
            case OpenMode::Append:
                flags |= O_WRONLY | O_APPEND | O_CREAT;
                break;
            case OpenMode::CreateNew:
                flags |= O_WRONLY | O_CREAT | O_EXCL;
                break;
        }
        // 0666 less the umask, as an fopen'ed file gets.
        const int fd = ::open(path.c_str(), flags, 0666);
        file = fd >= 0 ? FileHandle{fd} : kNoFile;
        return fd >= 0 ? 0 : errno;
    }

    int read(FileHandle file, uint64_t offset, char* data, size_t size, size_t& got) override {
        for (;;) {
            const ssize_t n = ::pread(descriptor(file), data, size, static_cast<off_t>(offset));
            if (n >= 0) {
                got = static_cast<size_t>(n);
                return 0;
            }
            if (errno != EINTR) {
                got = 0;
                return errno;
            }
        }
    }

    int write(FileHandle file, const char* data, size_t size, size_t& written) override {
        for (;;) {
            const ssize_t n = ::write(descriptor(file), data, size);
            if (n >= 0) {
                written = static_cast<size_t>(n);
                return 0;
            }
            if (errno != EINTR) {
                written = 0;
                return errno;
            }
        }
    }

    int syncRange(FileHandle file, uint64_t offset, uint64_t size, bool wait) override {
#if defined(SYNC_FILE_RANGE_WRITE)
        const unsigned flags =
            wait ? SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER
                 : SYNC_FILE_RANGE_WRITE;
        return ::sync_file_range(descriptor(file), static_cast<off_t>(offset),
                                 static_cast<off_t>(size), flags) == 0
                   ? 0
                   : errno;
#else
        (void)file, (void)offset, (void)size, (void)wait;
        return 0;
#endif
    }

    int sync(FileHandle file) override {
        return ::fsync(descriptor(file)) == 0 ? 0 : errno;
    }

    int close(FileHandle file) override {
        return ::close(descriptor(file)) == 0 ? 0 : errno;
    }

    int stat(FileHandle file, FileStat& stat) override {
        struct stat st;
        if (::fstat(descriptor(file), &st) != 0) {
            return errno;
        }
        stat = toFileStat(st);
        return 0;
    }

    int stat(const std::string& path, FileStat& stat) override {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) {
            return errno;
        }
        stat = toFileStat(st);
        return 0;
    }

    int rename(const std::string& from, const std::string& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    int remove(const std::string& path) override {
        return ::unlink(path.c_str()) == 0 ? 0 : errno;
    }

    int makeDirectory(const std::string& path) override {
        return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
    }

    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        names.clear();
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr) {
            return errno;
        }
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        const int error = errno;
        ::closedir(dir);
        return error;
    }

    int syncDirectory(const std::string& path) override {
        const int dir = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0) {
            return errno;
        }
        const int error = ::fsync(dir) == 0 ? 0 : errno;
        ::close(dir);
        return error;
    }

    int tryLock(FileHandle file) override {
        if (::flock(descriptor(file), LOCK_EX | LOCK_NB) == 0) {
            return 0;
        }
        return errno == EAGAIN ? EWOULDBLOCK : errno;
    }

    int makeTemporaryDirectory(const std::string& prefix, std::string& path) override {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") +
                              "/" + prefix + "XXXXXX";
        if (::mkdtemp(&pattern[0]) == nullptr) {
            path.clear();
            return errno;
        }
        path = pattern + "/";
        return 0;
    }

    int64_t fileTimeNow() override {
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
    }

#if defined(__linux__)
    // An inotify queue with one watch, made through the descriptor's own /proc link so that
    // it is on the file that is open even when its path names another file by now, and an
    // epoll set on the queue: asking that with no wait is cheaper than asking the queue.
    int watch(FileHandle file, FileWatch& watch) override {
        watch = FileWatch();
        const int queue = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (queue < 0) {
            return errno;
        }
        watch.queue = FileHandle{queue};
        const std::string link = "/proc/self/fd/" + std::to_string(descriptor(file));
        int error = 0;
        if (::inotify_add_watch(queue, link.c_str(),
                                IN_MODIFY | IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF) < 0) {
            error = errno;
        } else {
            const int ready = ::epoll_create1(EPOLL_CLOEXEC);
            if (ready < 0) {
                error = errno;
            } else {
                watch.ready = FileHandle{ready};
                struct epoll_event event = {};
                event.events = EPOLLIN;
                if (::epoll_ctl(ready, EPOLL_CTL_ADD, queue, &event) != 0) {
                    error = errno;
                }
            }
        }
        if (error != 0) {
            unwatch(watch);
        }
        return error;
    }

    // The queue's events stay unread until the watch ends, so the set stays ready. An
    // overflowed or removed watch queues an event of its own, so it counts as a change.
    int pending(const FileWatch& watch, bool& changed) override {
        struct epoll_event event;
        const int ready = ::epoll_wait(descriptor(watch.ready), &event, 1, 0);
        changed = ready != 0;
        return ready < 0 ? errno : 0;
    }

#endif
};

}  // namespace

FileOps& FileOps::system() {
    static PosixFileOps ops;
    return ops;
}

}  // namespace port

#endif  // !_WIN32
