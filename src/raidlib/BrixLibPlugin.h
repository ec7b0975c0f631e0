// A controller library loaded as a plug-in for one controller family; the monitor frame
// holds the library through this type.
#pragma once

#include "raidlib/BrixLib.h"

class BRIXVL_EXPORT BrixLibPlugin : public BrixLib {
public:
    ~BrixLibPlugin() override;
};
