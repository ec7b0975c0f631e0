// The data size of a logical drive in GB by its controller's family: Omdi controllers count
// megabytes, Pell controllers 512-byte blocks; any other controller, or none, gives 0.
#pragma once

class LogicalDrive;

namespace detect {

double logicalDriveGigabytes(const LogicalDrive* logicalDrive);

}  // namespace detect
