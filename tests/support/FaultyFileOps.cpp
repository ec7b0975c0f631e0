#include "support/FaultyFileOps.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const char* kOpName[] = {"open",  "read",          "write",  "syncRange", "sync",
                                   "close", "stat",          "rename", "remove",    "makeDirectory",
                                   "list",  "syncDirectory", "tryLock"};

}  // namespace

FaultyFileOps::FaultyFileOps(std::vector<Fault> faults)
    : system_(port::FileOps::system()), faults_(std::move(faults)), seen_(faults_.size(), 0) {
    previous_ = port::FileOps::install(this);
}

FaultyFileOps::~FaultyFileOps() {
    port::FileOps::install(previous_);
}

std::vector<int> FaultyFileOps::matches(FileOp op, const std::string& pathPart) const {
    const std::string prefix = std::string(kOpName[static_cast<int>(op)]) + " ";
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<int> found;
    for (size_t i = 0; i < calls_.size(); ++i) {
        if (calls_[i].compare(0, prefix.size(), prefix) == 0 &&
            calls_[i].find(pathPart, prefix.size()) != std::string::npos) {
            found.push_back(static_cast<int>(i));
        }
    }
    return found;
}

int FaultyFileOps::firstCall(FileOp op, const std::string& pathPart) const {
    const std::vector<int> found = matches(op, pathPart);
    return found.empty() ? -1 : found[0];
}

int FaultyFileOps::count(FileOp op, const std::string& pathPart) const {
    return static_cast<int>(matches(op, pathPart).size());
}

const Fault* FaultyFileOps::record(FileOp op, const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(kOpName[static_cast<int>(op)] + (" " + path));
    const Fault* hit = nullptr;
    for (size_t i = 0; i < faults_.size(); ++i) {
        const Fault& fault = faults_[i];
        if (fault.op == op && path.find(fault.pathPart) != std::string::npos &&
            (++seen_[i] == fault.call || fault.call == 0) && hit == nullptr) {
            hit = &fault;
        }
    }
    return hit;
}

std::string FaultyFileOps::pathOf(port::FileHandle file) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = paths_.find(file);
    return found != paths_.end() ? found->second : "?";
}

int FaultyFileOps::open(const std::string& path, port::OpenMode mode, port::FileHandle& file) {
    if (const Fault* fault = record(FileOp::Open, path)) {
        file = port::kNoFile;
        return fault->error;
    }
    const int error = system_.open(path, mode, file);
    if (error == 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        paths_[file] = path;
    }
    return error;
}

int FaultyFileOps::read(port::FileHandle file, uint64_t offset, char* data, size_t size,
                        size_t& got) {
    if (const Fault* fault = record(FileOp::Read, pathOf(file))) {
        got = 0;
        return fault->error;
    }
    return system_.read(file, offset, data, size, got);
}

int FaultyFileOps::write(port::FileHandle file, const char* data, size_t size, size_t& written) {
    if (const Fault* fault = record(FileOp::Write, pathOf(file))) {
        if (fault->shortWrite == 0) {
            written = 0;
            return fault->error;
        }
        size = std::min(size, fault->shortWrite);
    }
    return system_.write(file, data, size, written);
}

int FaultyFileOps::syncRange(port::FileHandle file, uint64_t offset, uint64_t size, bool wait) {
    return pass(FileOp::SyncRange, pathOf(file),
                [&] { return system_.syncRange(file, offset, size, wait); });
}

int FaultyFileOps::sync(port::FileHandle file) {
    return pass(FileOp::Sync, pathOf(file), [&] { return system_.sync(file); });
}

int FaultyFileOps::close(port::FileHandle file) {
    const std::string path = pathOf(file);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        paths_.erase(file);
    }
    // The file is closed even when the call reports a failure, as close() does.
    const Fault* fault = record(FileOp::Close, path);
    const int error = system_.close(file);
    return fault != nullptr ? fault->error : error;
}

int FaultyFileOps::stat(port::FileHandle file, port::FileStat& stat) {
    return pass(FileOp::Stat, pathOf(file), [&] { return system_.stat(file, stat); });
}

int FaultyFileOps::stat(const std::string& path, port::FileStat& stat) {
    return pass(FileOp::Stat, path, [&] { return system_.stat(path, stat); });
}

int FaultyFileOps::rename(const std::string& from, const std::string& to) {
    return pass(FileOp::Rename, from + " " + to, [&] { return system_.rename(from, to); });
}

int FaultyFileOps::remove(const std::string& path) {
    return pass(FileOp::Remove, path, [&] { return system_.remove(path); });
}

int FaultyFileOps::makeDirectory(const std::string& path) {
    return pass(FileOp::MakeDirectory, path, [&] { return system_.makeDirectory(path); });
}

int FaultyFileOps::listDirectory(const std::string& path, std::vector<std::string>& names) {
    if (const Fault* fault = record(FileOp::ListDirectory, path)) {
        names.clear();
        return fault->error;
    }
    return system_.listDirectory(path, names);
}

int FaultyFileOps::syncDirectory(const std::string& path) {
    return pass(FileOp::SyncDirectory, path, [&] { return system_.syncDirectory(path); });
}

int FaultyFileOps::tryLock(port::FileHandle file) {
    return pass(FileOp::TryLock, pathOf(file), [&] { return system_.tryLock(file); });
}
