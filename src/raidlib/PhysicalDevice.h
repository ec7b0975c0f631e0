// A device on a channel (hard drive or enclosure): identity texts, state, world-wide name
// and SATA port. getChannel() and getAdapter() lead to the channel and controller it sits
// on; its device ID is its place on the channel.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "raidlib/Enums.h"
#include "raidlib/Progress.h"
#include "raidlib/RaidObject.h"
#include "raidlib/Ret.h"

class BRIXVL_EXPORT PhysicalDevice : public RaidObject {
public:
    explicit PhysicalDevice(Adapter* adapter = nullptr, Channel* channel = nullptr) {
        setAdapterLink(adapter);
        setChannelLink(channel);
    }
    PhysicalDevice(const PhysicalDevice& other) = default;
    ~PhysicalDevice() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "PhysicalDevice") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "PhysicalDevice"; }
    const char* serializedName() const override { return "PhysicalDevice"; }
    RaidObject* clone() const override { return new PhysicalDevice(*this); }

    EnumPhysicalDeviceState getState() const { return state_; }
    void setState(EnumPhysicalDeviceState state) { state_ = state; }
    int getDeviceType() const { return deviceType_; }
    void setDeviceType(int type) { deviceType_ = type; }
    int getInterfaceType() const { return interfaceType_; }
    void setInterfaceType(int type) { interfaceType_ = type; }

    const char* getVendor() const { return vendor_.c_str(); }
    void setVendor(const std::string& text) { vendor_ = text; }
    const char* getModel() const { return model_.c_str(); }
    void setModel(const std::string& text) { model_ = text; }
    const char* getSerialNumber() const { return serialNumber_.c_str(); }
    void setSerialNumber(const std::string& text) { serialNumber_ = text; }
    const char* getFirmwareLevel() const { return firmwareLevel_.c_str(); }
    void setFirmwareLevel(const std::string& text) { firmwareLevel_ = text; }
    const char* getFruNumber() const { return fruNumber_.c_str(); }
    void setFruNumber(const std::string& text) { fruNumber_ = text; }

    // The world-wide name as text and as two 32-bit words (low word first).
    const char* getWWN() const { return wwn_.c_str(); }
    void setWWN(const std::string& text) { wwn_ = text; }
    uint32_t getWWN0() const { return wwn0_; }
    void setWWN0(uint32_t word) { wwn0_ = word; }
    uint32_t getWWN1() const { return wwn1_; }
    void setWWN1(uint32_t word) { wwn1_ = word; }

    // The SATA port of the device on its channel; 0x7FFFFFFF when not known.
    uint32_t getSataPort() const { return sataPort_; }
    void setSataPort(uint32_t port) { sataPort_ = port; }

    // A task running on the device itself (VelmarLib::getTasks reports it).
    Ret getProgress(Progress& task) const;
    void setProgress(const Progress& task) { task_ = task; }

    // The texts taken over rather than copied, for a caller done with its own string.
    void setVendor(std::string&& text) { vendor_ = std::move(text); }
    void setModel(std::string&& text) { model_ = std::move(text); }
    void setSerialNumber(std::string&& text) { serialNumber_ = std::move(text); }
    void setFirmwareLevel(std::string&& text) { firmwareLevel_ = std::move(text); }
    void setFruNumber(std::string&& text) { fruNumber_ = std::move(text); }
    void setWWN(std::string&& text) { wwn_ = std::move(text); }

protected:
    // Writes the attributes shared by hard drives and enclosures.
    void writeDeviceAttributes(Writer* writer);

private:
    EnumPhysicalDeviceState state_ = PD_STATE_ONLINE;
    int deviceType_ = 0;
    int interfaceType_ = 0;
    std::string vendor_;
    std::string model_;
    std::string serialNumber_;
    std::string firmwareLevel_;
    std::string fruNumber_;
    std::string wwn_;
    uint32_t wwn0_ = 0;
    uint32_t wwn1_ = 0;
    uint32_t sataPort_ = Addr::kUnset;
    Progress task_;
};
