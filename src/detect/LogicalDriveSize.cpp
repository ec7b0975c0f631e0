#include "detect/LogicalDriveSize.h"

#include "raidlib/Adapter.h"
#include "raidlib/LogicalDrive.h"

namespace detect {

double logicalDriveGigabytes(const LogicalDrive* logicalDrive) {
    const Adapter* adapter = logicalDrive != nullptr ? logicalDrive->getAdapter() : nullptr;
    if (adapter == nullptr) {
        return 0.0;
    }
    const double space = static_cast<double>(logicalDrive->getDataSpace64());
    if (adapter->isInstanceOf("OmdiAdapter")) {
        return space / 1024.0;
    }
    if (adapter->isInstanceOf("PellAdapter")) {
        return space * 512.0 / 1073741824.0;
    }
    return 0.0;
}

}  // namespace detect
