#include "raidlib/System.h"

#include <vector>

System::System(long brixlibType) {
    Addr2 addr = getAddr2();
    addr.setBrixlibType(brixlibType);
    setAddr2(addr);
}

void System::refresh(VelmarLib*, Ret& ret) {
    ret.setReturnCode(Ret::kSuccess);
}

int System::discover(VelmarLib*, Ret& ret) {
    ret.setReturnCode(Ret::kSuccess);
    std::vector<RaidObject*> adapters;
    getChildren(adapters, "Adapter", true, false);
    return static_cast<int>(adapters.size());
}
