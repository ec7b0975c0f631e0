#include "raidlib/LogicalDrive.h"

Ret LogicalDrive::getProgress(Progress& task) const {
    task = task_;
    if (task.getLogicalDrive() == Addr::kUnset) {
        task.setLogicalDrive(getLogicalDriveID());
    }
    if (task.getDeviceAddr() == Addr()) {
        task.setDeviceAddr(getAddr());
    }
    return Ret(progressReturnCode_);
}
