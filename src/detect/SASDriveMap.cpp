// The SAS drive map: one event per drive on a controller's SAS channels.
#include "monitor/BaseRaidMonitor.h"

void BaseRaidMonitor::logSASDriveMap(TLXEventCollection&, Adapter*) {}
