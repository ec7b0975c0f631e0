// A FileOps for tests that passes every call to the system's, except that `fail` may answer
// an errno value for an open, a write, a rename or a makeDirectory, given the path (a write's
// is the path its file was opened with). Installed for its lifetime; make it before any
// monitor and let it go after. `fail` is set while no other thread uses the files.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "port/FileOps.h"

class FailingFileOps : public port::FileOps {
public:
    enum class Op { Open, Write, Rename, MakeDirectory };
    std::function<int(Op op, const std::string& path)> fail;

    FailingFileOps() : previous_(install(this)) {}
    ~FailingFileOps() override { install(previous_); }

    int open(const std::string& path, port::OpenMode mode, port::FileHandle& file) override {
        if (const int error = check(Op::Open, path)) {
            return error;
        }
        const int error = sys().open(path, mode, file);
        if (error == 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            paths_[file] = path;
        }
        return error;
    }
    int write(port::FileHandle file, const char* data, size_t size, size_t& written) override {
        std::string path;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            path = paths_[file];
        }
        written = 0;
        const int error = check(Op::Write, path);
        return error != 0 ? error : sys().write(file, data, size, written);
    }
    int rename(const std::string& from, const std::string& to) override {
        const int error = check(Op::Rename, from);
        return error != 0 ? error : sys().rename(from, to);
    }
    int makeDirectory(const std::string& path) override {
        const int error = check(Op::MakeDirectory, path);
        return error != 0 ? error : sys().makeDirectory(path);
    }
    int read(port::FileHandle f, uint64_t at, char* data, size_t size, size_t& got) override {
        return sys().read(f, at, data, size, got);
    }
    int syncRange(port::FileHandle f, uint64_t at, uint64_t size, bool wait) override {
        return sys().syncRange(f, at, size, wait);
    }
    int sync(port::FileHandle f) override { return sys().sync(f); }
    int close(port::FileHandle f) override { return sys().close(f); }
    int stat(port::FileHandle f, port::FileStat& s) override { return sys().stat(f, s); }
    int stat(const std::string& p, port::FileStat& s) override { return sys().stat(p, s); }
    int remove(const std::string& p) override { return sys().remove(p); }
    int listDirectory(const std::string& p, std::vector<std::string>& names) override {
        return sys().listDirectory(p, names);
    }
    int syncDirectory(const std::string& p) override { return sys().syncDirectory(p); }
    int tryLock(port::FileHandle f) override { return sys().tryLock(f); }
    int makeTemporaryDirectory(const std::string& prefix, std::string& path) override {
        return sys().makeTemporaryDirectory(prefix, path);
    }
    int64_t fileTimeNow() override { return sys().fileTimeNow(); }

private:
    static port::FileOps& sys() { return port::FileOps::system(); }
    int check(Op op, const std::string& path) const { return fail ? fail(op, path) : 0; }

    port::FileOps* previous_;
    std::mutex mutex_;
    std::map<port::FileHandle, std::string> paths_;
};
