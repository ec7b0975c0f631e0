// File operations for tests: every call goes on to the operating system's, except the ones
// a Fault row picks, which fail with its error (or, for a write, pass on fewer bytes). Every
// call is recorded as "<operation> <path>" in order, so a test can check what happened to
// which file and in what order. Installed for its lifetime (the previous instance restored
// by the destructor); its calls may come from any thread.
#pragma once

#include <cerrno>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "port/FileOps.h"

// clang-format off
enum class FileOp { Open, Read, Write, SyncRange, Sync, Close, Stat, Rename, Remove, MakeDirectory,
                    ListDirectory, SyncDirectory, TryLock };
// clang-format on

// Fails the call-th call (from 1; 0: every call) of op on a path containing pathPart, with
// error; a Write row with shortWrite > 0 instead writes that many bytes and reports success.
struct Fault {
    FileOp op;
    std::string pathPart;
    int error = EIO;
    int call = 0;
    size_t shortWrite = 0;
};

class FaultyFileOps : public port::FileOps {
public:
    explicit FaultyFileOps(std::vector<Fault> faults = {});
    ~FaultyFileOps() override;

    // The position among the calls so far of the first call of op on a path containing
    // pathPart; -1 when there was none.
    int firstCall(FileOp op, const std::string& pathPart) const;
    // How many calls of op there were on a path containing pathPart.
    int count(FileOp op, const std::string& pathPart) const;

    int open(const std::string& path, port::OpenMode mode, port::FileHandle& file) override;
    int read(port::FileHandle file, uint64_t offset, char* data, size_t size, size_t& got) override;
    int write(port::FileHandle file, const char* data, size_t size, size_t& written) override;
    int syncRange(port::FileHandle file, uint64_t offset, uint64_t size, bool wait) override;
    int sync(port::FileHandle file) override;
    int close(port::FileHandle file) override;
    int stat(port::FileHandle file, port::FileStat& stat) override;
    int stat(const std::string& path, port::FileStat& stat) override;
    int rename(const std::string& from, const std::string& to) override;
    int remove(const std::string& path) override;
    int makeDirectory(const std::string& path) override;
    int listDirectory(const std::string& path, std::vector<std::string>& names) override;
    int syncDirectory(const std::string& path) override;
    int tryLock(port::FileHandle file) override;
    int makeTemporaryDirectory(const std::string& prefix, std::string& path) override {
        return system_.makeTemporaryDirectory(prefix, path);
    }
    int64_t fileTimeNow() override { return system_.fileTimeNow() + timeAheadNs; }

    // How far the file clock runs ahead, so that files just written look old.
    int64_t timeAheadNs = 0;

private:
    // The positions among the calls so far of the calls of op on a path containing pathPart.
    std::vector<int> matches(FileOp op, const std::string& pathPart) const;
    // Records the call and returns the row that fails it, or null.
    const Fault* record(FileOp op, const std::string& path);
    // The chosen row's error, or the operating system's call.
    template <typename Call>
    int pass(FileOp op, const std::string& path, Call call) {
        const Fault* fault = record(op, path);
        return fault != nullptr ? fault->error : call();
    }
    std::string pathOf(port::FileHandle file);

    port::FileOps& system_;
    port::FileOps* previous_;
    mutable std::mutex mutex_;
    std::vector<Fault> faults_;
    std::vector<int> seen_;  // matching calls so far, per row
    std::vector<std::string> calls_;
    std::unordered_map<port::FileHandle, std::string> paths_;
};
