#include "port/ReadOnlyFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace port {

FileStat toFileStat(const struct stat& st);

ReadOnlyFile::~ReadOnlyFile() {
    close();
}

bool ReadOnlyFile::open(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd_ >= 0;
}

void ReadOnlyFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool ReadOnlyFile::stat(FileStat& stat) const {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        return false;
    }
    stat = toFileStat(st);
    return true;
}

bool ReadOnlyFile::readAll(std::string& text) const {
    text.clear();
    if (fd_ < 0) {
        return false;
    }
    // Sized from the file's length, one byte over so that growth meanwhile shows; the text
    // is then read in one call in the common case.
    struct stat st;
    const size_t expected =
        ::fstat(fd_, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
    text.resize(expected + 1);
    size_t got = 0;
    for (;;) {
        if (got == text.size()) {
            text.resize(text.size() * 2 + 4096);
        }
        const ssize_t n = ::pread(fd_, &text[got], text.size() - got, static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            text.resize(got);
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    text.resize(got);
    return true;
}

}  // namespace port
