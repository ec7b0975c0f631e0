// A disk drive on a channel: size, predictive-failure (PFA) flags, OS partition and task
// flags on top of the device data. Written as the element "HardDrive".
#pragma once

#include "raidlib/PhysicalDevice.h"

class BRIXVL_EXPORT HardDrive : public PhysicalDevice {
public:
    explicit HardDrive(Adapter* adapter = nullptr, Channel* channel = nullptr)
        : PhysicalDevice(adapter, channel) {}
    HardDrive(const HardDrive& other) = default;

    bool isInstanceOf(const char* name) const override {
        return named(name, "HardDrive") || PhysicalDevice::isInstanceOf(name);
    }
    const char* typeName() const override { return "HardDrive"; }
    const char* serializedName() const override { return "HardDrive"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new HardDrive(*this); }

    // Size in 512-byte blocks.
    uint64_t getSize() const { return size_; }
    void setSize(uint64_t size) { size_ = size; }
    bool getPfaError() const { return pfaError_; }
    void setPfaError(bool error) { pfaError_ = error; }
    bool getPfaSupported() const { return pfaSupported_; }
    void setPfaSupported(bool supported) { pfaSupported_ = supported; }
    bool getOSPartitionInfo() const { return osPartition_; }
    void setOSPartitionInfo(bool hasPartition) { osPartition_ = hasPartition; }
    bool getTaskInProgress() const { return taskInProgress_; }
    void setTaskInProgress(bool running) { taskInProgress_ = running; }

private:
    uint64_t size_ = 0;
    bool pfaError_ = false;
    bool pfaSupported_ = false;
    bool osPartition_ = false;
    bool taskInProgress_ = false;
};
