#include "raidlib/Adapter.h"

#include <vector>

#include "raidlib/LogicalDrive.h"

namespace {
// Limits of a controller that has not been told otherwise, indexed by Limit.
constexpr std::array<uint32_t, LIMIT_COUNT> kDefaultLimits = {0, 63, 64, 16, 16, 255, 128, 16};
}  // namespace

Adapter::Adapter() : limits_(kDefaultLimits) {}

uint32_t Adapter::getLimit(int limit) const {
    if (limit < 0 || limit >= LIMIT_COUNT) {
        return 0;
    }
    return limits_[static_cast<size_t>(limit)];
}

void Adapter::setLimit(int limit, uint32_t value) {
    if (limit >= 0 && limit < LIMIT_COUNT) {
        limits_[static_cast<size_t>(limit)] = value;
    }
}

int Adapter::getFeature(int feature) const {
    if (feature < 0 || feature >= FEATURE_COUNT) {
        return 0;
    }
    return features_[static_cast<size_t>(feature)];
}

void Adapter::setFeature(int feature, int value) {
    if (feature >= 0 && feature < FEATURE_COUNT) {
        features_[static_cast<size_t>(feature)] = value;
    }
}

Ret Adapter::getProgress(Progress& task) const {
    if (task_.getType() != TASK_TYPE_NONE) {
        task = task_;
        return Ret(progressReturnCode_);
    }
    std::vector<RaidObject*> drives;
    getChildren(drives, "LogicalDrive", true, true);
    for (RaidObject* object : drives) {
        Progress candidate;
        static_cast<LogicalDrive*>(object)->getProgress(candidate);
        if (candidate.getType() != TASK_TYPE_NONE) {
            task = candidate;
            return Ret(progressReturnCode_);
        }
    }
    task = Progress();
    task.setDeviceAddr(getAddr());
    return Ret(progressReturnCode_);
}
