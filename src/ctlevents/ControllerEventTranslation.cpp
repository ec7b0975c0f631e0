// Translation of the controllers' own event records into monitor events.
#include "monitor/VelmarMonitor.h"

void VelmarMonitor::GetEventFromXml(char* text, Adapter* adapter) {
    (void)text;
    (void)adapter;
}
