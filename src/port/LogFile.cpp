#include "port/LogFile.h"

namespace port {

LogFile::~LogFile() {
    std::lock_guard<std::mutex> lock(mutex_);
    closeLocked();
}

bool LogFile::open(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    closeLocked();
    path_ = path;
    return openLocked();
}

bool LogFile::reopen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_ != kNoFile || openLocked();
}

void LogFile::setMaxBytes(uint64_t maxBytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    maxBytes_ = maxBytes == 0 ? 1 : maxBytes;
}

bool LogFile::append(const char* text, size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_ != kNoFile && size_ > 0 && size_ + size > maxBytes_) {
        rotateLocked();
    }
    if (file_ == kNoFile) {
        appendFailed_ = true;
        return false;
    }
    FileOps& ops = FileOps::current();
    while (size > 0) {
        size_t written = 0;
        const int error = ops.write(file_, text, size, written);
        size_ += written;
        if (error != 0 || written == 0) {
            appendFailed_ = true;
            return false;
        }
        text += written;
        size -= written;
    }
    appendFailed_ = false;
    return true;
}

bool LogFile::openLocked() {
    if (path_.empty()) {
        return false;
    }
    FileOps& ops = FileOps::current();
    if (ops.open(path_, OpenMode::Append, file_) != 0) {
        file_ = kNoFile;
        return false;
    }
    // An existing file counts with the size it has: the bound is on the file, not on what
    // this log wrote.
    FileStat stat;
    size_ = ops.stat(file_, stat) == 0 ? stat.size : 0;
    appendFailed_ = false;
    open_ = true;
    return true;
}

void LogFile::closeLocked() {
    if (file_ != kNoFile) {
        FileOps::current().close(file_);
        file_ = kNoFile;
    }
    open_ = false;
}

// Closed before the rename, which a system may refuse for an open file. When the rename
// fails the old file is opened again and grows past the bound: no line is lost, and the
// next line tries again.
void LogFile::rotateLocked() {
    closeLocked();
    FileOps::current().rename(path_, path_ + kRotatedSuffix);
    openLocked();
}

}  // namespace port
