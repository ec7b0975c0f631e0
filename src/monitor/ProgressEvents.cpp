// Task events: a task detected, completed, failed or stopped, and its percentage.
#include "monitor/VelmarMonitor.h"

void VelmarMonitor::AddProgressEvent(TLXEventCollection&, EnumTaskType, EnumTaskState, Adapter*,
                                     unsigned long) {}
void VelmarMonitor::logProgressEvent(Adapter*, Progress&) {}
