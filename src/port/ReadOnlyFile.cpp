#include "port/ReadOnlyFile.h"

namespace port {

ReadOnlyFile::~ReadOnlyFile() {
    close();
}

bool ReadOnlyFile::open(const std::string& path) {
    close();
    return FileOps::current().open(path, OpenMode::Read, file_) == 0;
}

bool ReadOnlyFile::watch() {
    return file_ != kNoFile && !isWatched() && FileOps::current().watch(file_, watch_) == 0;
}

void ReadOnlyFile::close() {
    FileOps& ops = FileOps::current();
    ops.unwatch(watch_);
    if (file_ != kNoFile) {
        ops.close(file_);
        file_ = kNoFile;
    }
}

bool ReadOnlyFile::changeSignalled() const {
    bool changed = true;
    FileOps::current().pending(watch_, changed);
    return changed;
}

bool ReadOnlyFile::stat(FileStat& stat) const {
    return file_ != kNoFile && FileOps::current().stat(file_, stat) == 0;
}

bool ReadOnlyFile::readAll(std::string& text) const {
    text.clear();
    if (file_ == kNoFile) {
        return false;
    }
    FileOps& ops = FileOps::current();
    // Sized from the file's length, one byte over so that growth meanwhile shows; the text
    // is then read in one call in the common case.
    FileStat state;
    const size_t expected = ops.stat(file_, state) == 0 ? static_cast<size_t>(state.size) : 0;
    text.resize(expected + 1);
    size_t got = 0;
    for (;;) {
        if (got == text.size()) {
            text.resize(text.size() * 2 + 4096);
        }
        size_t n = 0;
        if (ops.read(file_, got, &text[got], text.size() - got, n) != 0) {
            text.resize(got);
            return false;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    text.resize(got);
    return true;
}

}  // namespace port
