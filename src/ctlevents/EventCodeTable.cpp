// The controller event codes: catalog key and category of each.
#include "monitor/VelmarMonitor.h"

std::string VelmarMonitor::getEventDescription(int, int, bool) {
    return "";
}
