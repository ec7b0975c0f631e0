// Task tracking: the task snapshot written with the configuration, and the comparison of
// stored and current tasks at the start of a run.
#include "monitor/VelmarMonitor.h"

#include "snapshot/TLXProgress.h"

void VelmarMonitor::setProgress() {}
void VelmarMonitor::checkProgress(TLXEventCollection&, Adapter*) {}
void VelmarMonitor::compareProgress(TLXEventCollection&, Adapter*, Adapter*) {}
void VelmarMonitor::compare_LogicalProgress(TLXEventCollection&, Adapter*, Adapter*) {}
TLXProgress VelmarMonitor::GetTLXProgress(Progress) {
    return TLXProgress();
}
void VelmarMonitor::LDMProgressType(System*) {}
bool VelmarMonitor::isDuplicateEvent(uint32_t, int, int) {
    return false;
}
