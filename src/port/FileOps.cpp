#include "port/FileOps.h"

#include <atomic>

namespace port {
namespace {

std::atomic<FileOps*> installed{nullptr};

}  // namespace

FileOps& FileOps::current() {
    FileOps* ops = installed.load(std::memory_order_acquire);
    return ops != nullptr ? *ops : system();
}

FileOps* FileOps::install(FileOps* ops) {
    return installed.exchange(ops, std::memory_order_acq_rel);
}

}  // namespace port
