// An append-only text log with a size bound, on FileOps::current(). A line that would take
// the file past the bound first moves the file to path + ".1" (replacing an older one) and
// starts a new file, so every line lands whole in one of the two. A failed open or write
// leaves the log usable: the next append (or reopen) tries again. One owner; every operation
// takes the log's own lock, so any thread may call any of them at any time.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "port/Export.h"
#include "port/FileOps.h"

namespace port {

class TLX_EXPORT LogFile {
public:
    static constexpr uint64_t kDefaultMaxBytes = uint64_t{16} << 20;  // 16 MB
    static constexpr const char* kRotatedSuffix = ".1";

    explicit LogFile(uint64_t maxBytes = kDefaultMaxBytes) : maxBytes_(maxBytes) {}
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Closes any open file and opens path for appending (created when missing); the path is
    // remembered for reopen() even when the open fails. False when it could not be opened.
    bool open(const std::string& path);
    // Opens the remembered path again unless the log is open; true when it is open after.
    bool reopen();
    bool isOpen() const { return open_.load(); }
    // Open, and the last append (if any) wrote its whole line.
    bool isWriting() const { return open_.load() && !appendFailed_.load(); }
    // A bound of 0 is taken as 1: every line then starts a new file.
    void setMaxBytes(uint64_t maxBytes);

    // Writes the whole of text (one line or more, with their newlines) at the end of the log,
    // rotating first when it would take a non-empty file past the bound; a text longer than
    // the bound gets a file of its own. False when the log is closed or the write failed
    // (part of the text may then be in the file); after a failed rotation the text goes to
    // the old file, or is lost when the new file could not be opened (the log is then closed
    // until reopen()).
    bool append(const char* text, size_t size);
    bool append(const std::string& text) { return append(text.data(), text.size()); }

private:
    // The caller holds mutex_.
    bool openLocked();
    void closeLocked();
    void rotateLocked();

    mutable std::mutex mutex_;
    std::string path_;
    FileHandle file_ = kNoFile;
    uint64_t size_ = 0;  // of the open file, as this log has seen it grow
    uint64_t maxBytes_;
    std::atomic<bool> open_{false};
    std::atomic<bool> appendFailed_{false};
};

}  // namespace port
