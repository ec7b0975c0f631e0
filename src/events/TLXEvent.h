// One monitor event: when it happened, its number and event-code name, its severity, the
// kind and address of the object, and the message text. A plain value type (copyable, no
// virtual operations): detectors fill one in and hand a copy to TLXEventCollection, the
// host receives copies. 0x7FFFFFFF (kUnset) in an integer field means "not given".
#pragma once

#include <cstdint>
#include <string>

#include "events/EnumObjectType.h"
#include "port/Export.h"
#include "raidlib/Addr.h"

class Adapter;

class TLX_EXPORT TLXEvent {
public:
    static constexpr int kUnset = 0x7FFFFFFF;

    TLXEvent();
    TLXEvent(int eventCode, int eventType, const std::string& eventDesc,
             const std::string& identifier);
    TLXEvent(int eventCode, int eventType, const std::string& eventDesc, const Addr& addr, int lun,
             int fan, int powerSupply, const std::string& adapterSerial,
             const std::string& identifier, const std::string& fru);

    int64_t getEventTime() const { return eventTime_; }

    int getEventCode() const { return eventCode_; }
    void setEventCode(int code) { eventCode_ = code; }
    int getEventType() const { return eventType_; }
    void setEventType(int type) { eventType_ = type; }
    std::string getEventDesc() const { return eventDesc_; }
    void setEventDesc(const std::string& desc) { eventDesc_ = desc; }
    EnumObjectType getObjectType() const { return objectType_; }
    void setObjectType(EnumObjectType type) { objectType_ = type; }

    Addr getAddr() const { return addr_; }
    void setAddr(const Addr& addr) { addr_ = addr; }
    uint32_t getAdapterID() const { return addr_.getAdapterID(); }
    uint32_t getArrayID() const { return addr_.getArrayID(); }
    uint32_t getLogicalDriveID() const { return addr_.getLogicalDriveID(); }
    uint32_t getChannelID() const { return addr_.getChannelID(); }
    uint32_t getDeviceID() const { return addr_.getDeviceID(); }
    uint64_t getChunkID() const { return addr_.getChunkID(); }
    void setAdapterID(uint32_t id) { addr_.setAdapterID(id); }
    void setArrayID(uint32_t id) { addr_.setArrayID(id); }
    void setLogicalDriveID(uint32_t id) { addr_.setLogicalDriveID(id); }
    void setChannelID(uint32_t id) { addr_.setChannelID(id); }
    void setDeviceID(uint32_t id) { addr_.setDeviceID(id); }
    void setChunkID(uint32_t id) { addr_.setChunkID(id); }

    std::string getFru() const { return fru_; }
    void setFru(const std::string& fru) { fru_ = fru; }
    int getLun() const { return lun_; }
    void setLun(int lun) { lun_ = lun; }
    int getFan() const { return fan_; }
    void setFan(int fan) { fan_ = fan; }
    int getPowerSupply() const { return powerSupply_; }
    void setPowerSupply(int powerSupply) { powerSupply_ = powerSupply; }
    std::string getAdapterSerial() const { return adapterSerial_; }
    void setAdapterSerial(const std::string& serial) { adapterSerial_ = serial; }
    // The controller's serial number or, when it has none, its PCI location
    // "bus-function-device". A null adapter leaves the field as it is.
    void setAdapterSerial(Adapter* adapter);
    std::string getIndentifier() const { return identifier_; }
    void setIndentifier(const std::string& identifier) { identifier_ = identifier; }
    int getPercentCompleted() const { return percentComplete_; }
    void setPercentComplete(int percent) { percentComplete_ = percent; }
    std::string getHardDriveSerialNumber() const { return hardDriveSerialNumber_; }
    void setHardDriveSerialNumber(const std::string& serial) { hardDriveSerialNumber_ = serial; }
    std::string getEnclosureModel() const { return enclosureModel_; }
    void setEnclosureModel(const std::string& model) { enclosureModel_ = model; }

    // Overwrites the number, severity, text and event-code name; nothing else.
    void set(int eventCode, int eventType, const std::string& eventDesc,
             const std::string& identifier);
    // Back to the defaults with the current time, except that the drive serial number and
    // the enclosure model keep their values.
    void reset();
    // The event log line, for instance
    // "Sun Dec  6 12:00:00 2026 | ERR | ADPT | 202:A00C--S--L--- | text"; unset numbers print
    // as dashes. Safe to call from several threads at once.
    std::string toString() const;

private:
    int64_t eventTime_;
    int eventCode_ = kUnset;
    int eventType_ = kUnset;
    std::string eventDesc_;
    EnumObjectType objectType_ = TLX_OBJ_UNKNOWN;
    Addr addr_;
    std::string fru_;
    int lun_ = kUnset;
    int fan_ = kUnset;
    int powerSupply_ = kUnset;
    std::string adapterSerial_;
    std::string identifier_;
    int percentComplete_ = 0;
    std::string hardDriveSerialNumber_;
    std::string enclosureModel_;
};
