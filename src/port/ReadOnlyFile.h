// A file opened for reading and kept open, so that its state can be looked at again through
// the open file (cheaper than resolving its path, and still about the file that was read
// when the path has since been given to another) and its contents read again; where the
// system offers it, a change signal tells, without even that look, whether it changed. One
// owner, one thread at a time; closed by the destructor. Not copyable.
#pragma once

#include <string>

#include "port/Export.h"
#include "port/FileSystem.h"

namespace port {

class TLX_EXPORT ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Closes any open file, then opens path; false when it cannot be opened.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != kNoFile; }
    // Asks for a change signal on the open file (see FileOps::watch): every change from now
    // on is signalled. False where the system has none. Ending a signal (close) can take the
    // system a millisecond, so it pays only for a file that stays open a while.
    bool watch();
    bool isWatched() const { return watch_.active(); }
    // With a change signal: whether it reports a change since watch().
    bool changeSignalled() const;
    // The open file's state; false when none is open.
    bool stat(FileStat& stat) const;
    // The whole contents from the start, into text (replaced). False on a read error, text
    // then holding what was read, or when no file is open.
    bool readAll(std::string& text) const;

private:
    FileHandle file_ = kNoFile;
    FileWatch watch_;
};

}  // namespace port
