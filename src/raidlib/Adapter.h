// A RAID controller: status, battery, versions, PCI location, limits, features and its
// current task. Its children are channels, logical drives and configurations. Written as
// the element "Controller". Every getter has a setter of the same stem so tests shape it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "raidlib/Enums.h"
#include "raidlib/Progress.h"
#include "raidlib/RaidObject.h"
#include "raidlib/Ret.h"

class BRIXVL_EXPORT Adapter : public RaidObject {
public:
    Adapter();

    bool isInstanceOf(const char* name) const override {
        return named(name, "Adapter") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "Adapter"; }
    const char* serializedName() const override { return "Controller"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new Adapter(*this); }

    EnumControllerStatus getAdapterStatus() const { return adapterStatus_; }
    void setAdapterStatus(EnumControllerStatus status) { adapterStatus_ = status; }
    int getAdapterType() const { return adapterType_; }
    void setAdapterType(int type) { adapterType_ = type; }

    EnumBatteryStatus getBatStatus() const { return batStatus_; }
    void setBatStatus(EnumBatteryStatus status) { batStatus_ = status; }
    bool IsBatTempWarning() const { return batTempWarning_; }
    void setBatTempWarning(bool warning) { batTempWarning_ = warning; }

    EnumCodeVersionStatus getVersionMatchStatus() const { return versionMatchStatus_; }
    void setVersionMatchStatus(EnumCodeVersionStatus status) { versionMatchStatus_ = status; }
    const char* getBiosVersion() const { return biosVersion_.c_str(); }
    void setBiosVersion(const std::string& text) { biosVersion_ = text; }
    const char* getFirmwareVersion() const { return firmwareVersion_.c_str(); }
    void setFirmwareVersion(const std::string& text) { firmwareVersion_ = text; }
    const char* getDeviceDriverVersion() const { return deviceDriverVersion_.c_str(); }
    void setDeviceDriverVersion(const std::string& text) { deviceDriverVersion_ = text; }

    const char* getDeviceVendor() const { return deviceVendor_.c_str(); }
    void setDeviceVendor(const std::string& text) { deviceVendor_ = text; }
    const char* getDeviceName() const { return deviceName_.c_str(); }
    void setDeviceName(const std::string& text) { deviceName_ = text; }
    const char* getSerialNumString() const { return serialNumber_.c_str(); }
    void setSerialNumString(const std::string& text) { serialNumber_ = text; }

    // The physical slot; 0x7FFFFFFF when unknown.
    int getPhysicalSlot() const { return physicalSlot_; }
    void setPhysicalSlot(int slot) { physicalSlot_ = slot; }
    unsigned getPCIBus() const { return pciBus_; }
    void setPCIBus(unsigned bus) { pciBus_ = bus; }
    unsigned getPCIFunction() const { return pciFunction_; }
    void setPCIFunction(unsigned function) { pciFunction_ = function; }
    unsigned getPciDevice() const { return pciDevice_; }
    void setPciDevice(unsigned device) { pciDevice_ = device; }

    // Heat-sink temperature and its upper threshold; meaningful only with feature 47.
    long getHSTemperature() const { return hsTemperature_; }
    void setHSTemperature(long value) { hsTemperature_ = value; }
    long getHSThresholdHi() const { return hsThresholdHi_; }
    void setHSThresholdHi(long value) { hsThresholdHi_ = value; }

    // Limit values by number (Limit: 1 = maximum logical drive ID, ...); 0 outside the table.
    uint32_t getLimit(int limit) const;
    void setLimit(int limit, uint32_t value);
    // Feature values by number (EnumFeature); 0 (off) outside the table.
    int getFeature(int feature) const;
    void setFeature(int feature, int value);

    // The controller's current task: the one set with setProgress, else the first task of a
    // logical drive below it, else an empty task (type 0). The return code is the one set
    // with setProgressReturnCode (0 by default).
    virtual Ret getProgress(Progress& task) const;
    void setProgress(const Progress& task) { task_ = task; }
    void setProgressReturnCode(int code) { progressReturnCode_ = code; }

    // The texts taken over rather than copied, for a caller done with its own string.
    void setDeviceVendor(std::string&& text) { deviceVendor_ = std::move(text); }
    void setDeviceName(std::string&& text) { deviceName_ = std::move(text); }
    void setSerialNumString(std::string&& text) { serialNumber_ = std::move(text); }

private:
    EnumControllerStatus adapterStatus_ = CONTROLLER_STATUS_OKAY;
    int adapterType_ = 0;
    EnumBatteryStatus batStatus_ = BATTERY_STATUS_NONE;
    bool batTempWarning_ = false;
    EnumCodeVersionStatus versionMatchStatus_ = CODE_VERSION_MATCH;
    std::string biosVersion_;
    std::string firmwareVersion_;
    std::string deviceDriverVersion_;
    std::string deviceVendor_;
    std::string deviceName_;
    std::string serialNumber_;
    int physicalSlot_ = 0x7FFFFFFF;
    unsigned pciBus_ = 0;
    unsigned pciFunction_ = 0;
    unsigned pciDevice_ = 0;
    long hsTemperature_ = 0;
    long hsThresholdHi_ = 0;
    std::array<uint32_t, LIMIT_COUNT> limits_{};
    std::array<int, FEATURE_COUNT> features_{};
    Progress task_;
    int progressReturnCode_ = 0;
};
