// The directory a fuzz target works in: made once per process under the temporary directory
// (tools/fuzz.sh points TMPDIR at a memory file system when there is one), holding a copy of
// the shipped catalog, set as the module directory, and removed when the process exits.
// trimLogs() empties the monitor's logs now and then, so that a long run does not fill the
// disk. Only the fuzzer's thread uses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "port/FileSystem.h"
#include "port/ModuleDirectory.h"

class FuzzHome {
public:
    // The home of this process, made on the first call; aborts when it cannot be made.
    static FuzzHome& make(const char* prefix) {
        static FuzzHome* home = nullptr;
        if (home == nullptr) {
            home = new FuzzHome(prefix);
            std::atexit([] { home->remove(); });
        }
        return *home;
    }

    // The path of name in the home ("" for the home itself, which ends in '/').
    std::string file(const std::string& name) const { return path_ + name; }

    // Replaces the file name with the bytes; aborts when that fails.
    void write(const std::string& name, const void* data, size_t size) const {
        std::FILE* out = std::fopen(file(name).c_str(), "wb");
        if (out == nullptr || (size > 0 && std::fwrite(data, 1, size, out) != size)) {
            std::abort();
        }
        std::fclose(out);
    }

    // Every 1024th call, empties the monitor's logs when they have grown past 1 MB. The
    // monitor appends, so its open logs carry on at the new end.
    void trimLogs() {
        if (++calls_ % 1024 != 0) {
            return;
        }
        for (const char* log : {"kvorlogs/TLXVLDebug.log", "kvorlogs/TLXVLEvents.log"}) {
            std::error_code ignored;
            if (std::filesystem::file_size(file(log), ignored) > (1u << 20)) {
                std::filesystem::resize_file(file(log), 0, ignored);
            }
        }
    }

private:
    explicit FuzzHome(const char* prefix) : path_(port::makeTemporaryDirectory(prefix)) {
        if (path_.empty()) {
            std::abort();
        }
        if (path_.back() != '/') {
            path_ += '/';
        }
        port::setModuleDirectory(path_);
        std::error_code error;
        std::filesystem::copy_file(std::string(TLXVL_SOURCE_DIR) + "/data/RaidNLS.properties",
                                   file("RaidNLS.properties"), error);
        if (error) {
            std::abort();
        }
    }

    void remove() const {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    std::string path_;
    uint64_t calls_ = 0;
};
