// The result record of a library call: a return code, 0 on success.
#pragma once

#include "port/Export.h"

class BRIXVL_EXPORT Ret {
public:
    static constexpr int kSuccess = 0;
    static constexpr int kNotFound = 1;
    static constexpr int kNoMemory = 2;
    static constexpr int kInvalidArgument = 3;

    Ret() = default;
    explicit Ret(int returnCode) : returnCode_(returnCode) {}
    virtual ~Ret();

    int getReturnCode() const { return returnCode_; }
    void setReturnCode(int code) { returnCode_ = code; }

private:
    int returnCode_ = kSuccess;
};
