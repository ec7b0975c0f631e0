#include "raidlib/PhysicalDevice.h"

Ret PhysicalDevice::getProgress(Progress& task) const {
    task = task_;
    if (task.getDeviceAddr() == Addr()) {
        task.setDeviceAddr(getAddr());
    }
    return Ret();
}
