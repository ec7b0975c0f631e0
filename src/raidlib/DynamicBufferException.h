// Thrown by the library's growable buffers when they cannot grow. The reason tells why
// (kOutOfMemory, 1, for a failed allocation).
#pragma once

#include <exception>

#include "port/Export.h"

class BRIXVL_EXPORT DynamicBufferException : public std::exception {
public:
    static constexpr int kOutOfMemory = 1;

    explicit DynamicBufferException(int reason) : reason_(reason) {}
    ~DynamicBufferException() override;

    int getReason() const { return reason_; }
    const char* what() const noexcept override { return "dynamic buffer cannot grow"; }

private:
    int reason_;
};
