// States a controller configuration in a few lines: one call per object, with plausible
// defaults (a supported vendor, serial numbers derived from the address), returning the
// object so the caller can set more. The tree the objects go into owns them. Over a plain
// tree the builder edits it silently and takes no lock. Over a VelmarLib it builds in the
// library's model, takes the model's lock for each call (so the caller must not hold it), and
// a change of what a controller reports (states, flags, SAF-TE codes, removals) goes through
// VelmarLib::changeAttribute, which logs the record a real controller logs for it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "raidlib/Adapter.h"
#include "raidlib/Channel.h"
#include "raidlib/Enclosure.h"
#include "raidlib/HardDrive.h"
#include "raidlib/LogicalDrive.h"
#include "raidlib/PellBasicLogicalDrive.h"
#include "raidlib/SATAChannel.h"
#include "raidlib/VelmarLib.h"

// The class of controller ModelBuilder::adapter makes: Adapter, PellAdapter or OmdiAdapter.
enum class EnumAdapterFamily : int { Plain, Pell, Omdi };

class BRIXVL_EXPORT ModelBuilder {
public:
    using Family = EnumAdapterFamily;

    explicit ModelBuilder(RaidObject* root) : root_(root) {}
    explicit ModelBuilder(VelmarLib& library) : library_(&library) {}

    // A controller of vendor "VELMAR", named "RAID Controller", below the root.
    Adapter* adapter(uint32_t id, const std::string& serial = "", Family family = Family::Pell);
    Channel* channel(Adapter* adapter, uint32_t id, EnumChannelType type = CHANNEL_TYPE_SCSI);
    SATAChannel* sataChannel(Adapter* adapter, uint32_t id, unsigned ports = 4);
    // A drive of vendor "QEB-LMD", model "DISK-<device>", serial "SN<adapter>-<channel>-<device>".
    HardDrive* drive(Channel* channel, uint32_t deviceID,
                     EnumPhysicalDeviceState state = PD_STATE_ONLINE);
    // An enclosure of vendor "QEB-ENCL", model "ENCL-<device>", with valid SAF-TE data: that
    // many fans and power supplies, all working, 16 slots and the temperature in range.
    Enclosure* enclosure(Channel* channel, uint32_t deviceID, uint16_t fans = 2,
                         uint16_t powerSupplies = 2);
    // A logical drive; without adapter it belongs to no tree (for add).
    LogicalDrive* logicalDrive(Adapter* adapter, uint32_t id,
                               EnumLogicalDeviceState state = LD_STATE_OKAY,
                               EnumRaidLevel level = RAID_LEVEL_5, uint64_t dataSpace = 0);
    PellBasicLogicalDrive* pellBasicLogicalDrive(Adapter* adapter, uint32_t id,
                                                 EnumLogicalDeviceState state = LD_STATE_OKAY);

    // Controller: status, battery, heat-sink temperature (which then counts), versions, slot.
    void status(Adapter* adapter, EnumControllerStatus status);
    void battery(Adapter* adapter, EnumBatteryStatus status, bool tempWarning = false);
    void temperature(Adapter* adapter, long celsius, long thresholdHi);
    void versions(Adapter* adapter, const std::string& bios, const std::string& firmware,
                  const std::string& driver);
    void slot(Adapter* adapter, int slot);
    // Drive: state, predictive failure, FRU number, world-wide name, SATA port. wwn takes 16
    // hexadecimal digits, low word first, each word read so that the identity string shows
    // the digits in the order written; false, changing nothing, for another text.
    void state(PhysicalDevice* drive, EnumPhysicalDeviceState state);
    void pfa(HardDrive* drive, bool error);
    void fru(PhysicalDevice* drive, const std::string& fru);
    bool wwn(PhysicalDevice* drive, const std::string& hex);
    void sataPort(PhysicalDevice* drive, uint32_t port);
    // Logical drive: state, blocked access, RAID level, size (data space).
    void state(LogicalDrive* drive, EnumLogicalDeviceState state);
    void blocked(LogicalDrive* drive, bool blocked);
    void raidLevel(LogicalDrive* drive, EnumRaidLevel level);
    void size(LogicalDrive* drive, uint64_t dataSpace);
    // Enclosure: a SAF-TE fan's or power supply's code, the temperature out of range.
    void fan(Enclosure* enclosure, unsigned index, EnumSAFTEFanStatusCodes code);
    void supply(Enclosure* enclosure, unsigned index, EnumSAFTEPowerSupplyStatusCodes code);
    void temperature(Enclosure* enclosure, bool outOfRange);
    // A task on a logical drive: its type, state and percentage.
    void task(LogicalDrive* drive, EnumTaskType type, EnumTaskState state, uint32_t percent = 0);

    // Adds child below parent (taking ownership) and returns it; over a library a logical
    // drive added to a controller logs its record, and null means the child was deleted.
    template <class T>
    T* add(RaidObject* parent, T* child) {
        return static_cast<T*>(addObject(parent, child));
    }
    // Takes the object out of its tree and deletes it; over a library a drive, enclosure or
    // logical drive logs its record. False for null.
    bool remove(RaidObject* object);
    // Puts fresh where old is (same parent and position; a fresh object already in the tree
    // moves) and deletes old; logs nothing. Returns fresh, or null (fresh deleted) when old
    // has no parent.
    template <class T>
    T* replace(RaidObject* old, T* fresh) {
        return static_cast<T*>(replaceObject(old, fresh));
    }

private:
    RaidObject* root() const { return library_ != nullptr ? library_->getHardwareModel() : root_; }
    // Holds the library's model lock while it lives; holds nothing over a plain tree.
    std::unique_lock<port::Mutex> lock() const;
    // Sets a reported attribute: through the library (logging) or directly.
    void change(RaidObject* object, VelmarLib::Attribute attribute, unsigned index, int value);
    RaidObject* addObject(RaidObject* parent, RaidObject* child);
    RaidObject* replaceObject(RaidObject* old, RaidObject* fresh);

    RaidObject* root_ = nullptr;
    VelmarLib* library_ = nullptr;
};
