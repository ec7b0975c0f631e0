// An address (Addr) that also names the library type of the object it belongs to, as the
// library's objects carry it. The type is written as "brixlibType" when it is not 0.
#pragma once

#include "raidlib/Addr.h"

class BRIXVL_EXPORT Addr2 : public Addr {
public:
    Addr2() = default;
    explicit Addr2(const Addr& addr, long brixlibType = 0)
        : Addr(addr), brixlibType_(brixlibType) {}
    ~Addr2() override;

    long getBrixlibType() const { return brixlibType_; }
    void setBrixlibType(long type) { brixlibType_ = type; }

private:
    long brixlibType_ = 0;
};
