// The live trees the snapshot tests copy: a small but complete configuration (one controller
// with a SAS and a SATA channel, drives, a SAF-TE enclosure, two logical drives and a
// running task) with a value off its default in nearly every written field.
#pragma once

#include <string>

#include "raidlib/raidlib.h"
#include "snapshot/TLXProgress.h"
#include "snapshot/TLXProgressCollection.h"
#include "support/TreeBuilder.h"

struct SmallTree {
    System system;
    TLXProgressCollection tasks;
    Adapter* adapter = nullptr;
    HardDrive* sasDrive = nullptr;
    HardDrive* sataDrive = nullptr;
    Enclosure* enclosure = nullptr;
    LogicalDrive* first = nullptr;
    LogicalDrive* second = nullptr;

    // texts: the serial number and drive model, so a test can put characters to escape in.
    explicit SmallTree(const std::string& serial = "VLM0042", const std::string& model = "DISK-0") {
        TreeBuilder build(&system);
        adapter = build.adapter(0, serial);
        adapter->setAdapterType(3);
        adapter->setPhysicalSlot(2);
        adapter->setAdapterStatus(CONTROLLER_STATUS_DEGRADED);
        adapter->setPCIBus(4);
        adapter->setPciDevice(1);
        adapter->setPCIFunction(0);
        adapter->setBatStatus(BATTERY_STATUS_LOW);
        adapter->setBatTempWarning(true);
        adapter->setVersionMatchStatus(CODE_VERSION_MISMATCH);
        for (int limit = LIMIT_MAX_LOGICAL_DRIVES; limit <= LIMIT_MAX_CONTROLLERS; ++limit) {
            adapter->setLimit(limit, 10u * static_cast<uint32_t>(limit));
        }

        Channel* sas = build.channel(adapter, 0, CHANNEL_TYPE_SAS);
        sasDrive = build.drive(sas, 0);
        sasDrive->setModel(model);
        sasDrive->setDeviceType(1);
        sasDrive->setFirmwareLevel("FW12");
        sasDrive->setFruNumber("FRU-77");
        sasDrive->setWWN("5000c500a1b2c3d4");
        sasDrive->setWWN0(0xA1B2C3D4);  // top bit set
        sasDrive->setWWN1(0x5000C500);
        sasDrive->setInterfaceType(2);
        sasDrive->setSize(7814037168ULL);  // 4 TB in blocks: beyond 32 bits
        sasDrive->setPfaSupported(true);
        sasDrive->setOSPartitionInfo(true);
        HardDrive* defunct = build.drive(sas, 1, PD_STATE_DEFUNCT);
        defunct->setPfaError(true);
        defunct->setTaskInProgress(true);
        enclosure = build.enclosure(sas, 8, 3, 2);
        SafteStatus* status = enclosure->getSafteStatus();
        status->setFanStatus(1, SAFTE_FAN_MALFUNCTIONING);
        status->setPowerSupplyStatus(1, SAFTE_PS_NOT_PRESENT);
        status->setSlotStatus(0, 0x01);
        status->setTempFlags2(0x04);

        SATAChannel* sata = build.sataChannel(adapter, 1, 4);
        sataDrive = build.drive(sata, 2);
        sataDrive->setSataPort(3);
        sataDrive->setSize(976773168ULL);

        first = build.logicalDrive(adapter, 0, LD_STATE_CRITICAL, RAID_LEVEL_5);
        first->setWriteCacheMode(1);
        first->setBadBlockCount(2);
        first->setBlockedAccess(true);
        first->setUniqueID(0xDEADBEEF);
        timestamp_struct_t created;
        created.dayOfWeek = 3;
        created.month = 11;
        created.day = 24;
        created.year = 2021;
        created.dayOfYear = 328;
        created.hour = 17;
        created.minute = 5;
        created.second = 59;
        created.millisecond = 250;
        first->setCreationTime(created);
        second = build.logicalDrive(adapter, 1, LD_STATE_OKAY, RAID_LEVEL_10);
        second->setSnapshotType(2);
        second->setSnapshotPartnerID(5);
        second->setOSPartitionInfo(true);
        second->setSecondaryLogicals("2,3");

        TLXProgress task;
        task.setTaskID(7);
        task.setTaskType(TASK_TYPE_REBUILD);
        task.setTaskState(TASK_STATE_RUNNING);
        task.setPercentageComplete(40);
        task.setDeviceAddr(Addr(0, Addr::kUnset, 1, Addr::kUnset, Addr::kUnset, Addr::kUnsetChunk,
                                Addr::kUnset, Addr::kUnset));
        task.setAdapterSerial(serial);
        task.setLDUniqueID(0xDEADBEEF);
        tasks.addChild(new TLXProgress(task));
    }
};
