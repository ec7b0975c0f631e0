// The enumerations of the controller library: controller, battery, version, device and
// logical-drive states, RAID levels, channel types, tasks, SAF-TE and SES status codes,
// adapter limits and features. Plain enumerations: the monitor compares their values as
// numbers, so each value is fixed here and never renumbered. Each has int as its fixed
// underlying type, so any number a controller or a stored snapshot gives is a valid value.
#pragma once

enum EnumControllerStatus : int {
    CONTROLLER_STATUS_OKAY = 0,
    CONTROLLER_STATUS_FAILED = 1,
    CONTROLLER_STATUS_DEGRADED = 2,
    CONTROLLER_STATUS_OFFLINE = 3,
    CONTROLLER_STATUS_UNKNOWN = 4
};

// 2 and 5 to 9 mean that a battery-backed cache is present.
enum EnumBatteryStatus : int {
    BATTERY_STATUS_NONE = 0,
    BATTERY_STATUS_NOT_SUPPORTED = 1,
    BATTERY_STATUS_CHARGING = 2,
    BATTERY_STATUS_NOT_INSTALLED = 3,
    BATTERY_STATUS_UNKNOWN = 4,
    BATTERY_STATUS_OK = 5,
    BATTERY_STATUS_NEW = 6,
    BATTERY_STATUS_FULLY_CHARGED = 7,
    BATTERY_STATUS_LOW = 8,
    BATTERY_STATUS_RECONDITIONING = 9
};

enum EnumCodeVersionStatus : int {
    CODE_VERSION_MATCH = 0,
    CODE_VERSION_MISMATCH = 1,
    CODE_VERSION_UNKNOWN = 2
};

enum EnumPhysicalDeviceState : int {
    PD_STATE_READY = 0,
    PD_STATE_ONLINE = 1,
    PD_STATE_DEFUNCT = 2,
    PD_STATE_REBUILDING = 3,
    PD_STATE_HOT_SPARE = 4,
    PD_STATE_RAW = 5,
    PD_STATE_STANDBY = 6,
    PD_STATE_NOT_PRESENT = 7
};

enum EnumLogicalDeviceState : int {
    LD_STATE_ABSENT = 0,
    LD_STATE_OFFLINE = 1,
    LD_STATE_OKAY = 2,
    LD_STATE_CRITICAL = 3,
    LD_STATE_RECOVERING = 4,
    LD_STATE_HIDDEN = 5,
    LD_STATE_DEGRADED = 6,
    LD_STATE_CRITICAL_HIDDEN = 7
};

enum EnumLogicalDeviceSubState : int {
    LD_SUB_STATE_NONE = 0,
    LD_SUB_STATE_BUILD = 1,
    LD_SUB_STATE_CLEAR = 2,
    LD_SUB_STATE_VERIFY = 3,
    LD_SUB_STATE_REBUILD = 4,
    LD_SUB_STATE_MIGRATE = 5,
    LD_SUB_STATE_EXPAND = 6,
    LD_SUB_STATE_COMPACT = 7,
    LD_SUB_STATE_QUICK_INIT = 8
};

enum EnumRaidLevel : int {
    RAID_LEVEL_0 = 0,
    RAID_LEVEL_1 = 1,
    RAID_LEVEL_1E = 2,
    RAID_LEVEL_3 = 3,
    RAID_LEVEL_4 = 4,
    RAID_LEVEL_5 = 5,
    RAID_LEVEL_5E = 6,
    RAID_LEVEL_5EE = 7,
    RAID_LEVEL_00 = 8,
    RAID_LEVEL_10 = 9,
    RAID_LEVEL_1E0 = 10,
    RAID_LEVEL_50 = 11,
    RAID_LEVEL_5E0 = 12,
    RAID_LEVEL_SPANNED_VOLUME = 13,
    RAID_LEVEL_RAID_VOLUME = 14,
    RAID_LEVEL_SIMPLE_VOLUME = 15,
    RAID_LEVEL_6 = 16,
    RAID_LEVEL_60 = 17,
    RAID_LEVEL_UNKNOWN = 0x7FFFFFFF
};

// 1 is SATA, 4 is SAS; every other value is a parallel SCSI channel to the monitor.
enum EnumChannelType : int {
    CHANNEL_TYPE_SCSI = 0,
    CHANNEL_TYPE_SATA = 1,
    CHANNEL_TYPE_FIBRE = 2,
    CHANNEL_TYPE_IDE = 3,
    CHANNEL_TYPE_SAS = 4
};

enum EnumTaskType : int {
    TASK_TYPE_NONE = 0,
    TASK_TYPE_BUILD = 1,
    TASK_TYPE_CLEAR = 2,
    TASK_TYPE_VERIFY = 3,
    TASK_TYPE_SYNC = 4,
    TASK_TYPE_SYNC_NO_FIX = 5,
    TASK_TYPE_REBUILD = 6,
    TASK_TYPE_MIGRATION = 7,
    TASK_TYPE_SNAPSHOT = 8,
    TASK_TYPE_COPY_BACK = 9,
    TASK_TYPE_COMPACTION = 10,
    TASK_TYPE_EXPANSION = 11,
    TASK_TYPE_QUICK_INIT = 12,
    TASK_TYPE_MEDIA_SCAN = 13,
    TASK_TYPE_COMPRESSION = 14,
    TASK_TYPE_DECOMPRESSION = 15
};

enum EnumTaskState : int {
    TASK_STATE_NOT_RUNNING = 0,
    TASK_STATE_COMPLETED = 1,
    TASK_STATE_RUNNING = 2,
    TASK_STATE_FAILED = 3,
    TASK_STATE_PAUSED = 4,
    TASK_STATE_STOPPED = 5
};

// The SAF-TE fan status byte.
enum EnumSAFTEFanStatusCodes : int {
    SAFTE_FAN_OPERATIONAL = 0x00,
    SAFTE_FAN_MALFUNCTIONING = 0x01,
    SAFTE_FAN_NOT_INSTALLED = 0x02,
    SAFTE_FAN_UNKNOWN = 0x80
};

// The SAF-TE power-supply status byte.
enum EnumSAFTEPowerSupplyStatusCodes : int {
    SAFTE_PS_OPERATIONAL_ON = 0x00,
    SAFTE_PS_OPERATIONAL_OFF = 0x01,
    SAFTE_PS_MALFUNCTIONING_ON = 0x10,
    SAFTE_PS_MALFUNCTIONING_OFF = 0x11,
    SAFTE_PS_NOT_PRESENT = 0x20,
    SAFTE_PS_PRESENT = 0x21,
    SAFTE_PS_UNKNOWN = 0x80
};

// The SES-2 element status codes.
enum EnumSESStatusCodes : int {
    SES_STATUS_UNSUPPORTED = 0,
    SES_STATUS_OK = 1,
    SES_STATUS_CRITICAL = 2,
    SES_STATUS_NONCRITICAL = 3,
    SES_STATUS_UNRECOVERABLE = 4,
    SES_STATUS_NOT_INSTALLED = 5,
    SES_STATUS_UNKNOWN = 6,
    SES_STATUS_NOT_AVAILABLE = 7
};

// The SES-2 element type codes of the elements the stand-in models.
enum EnumSESElementType : int {
    SES_ELEMENT_UNSPECIFIED = 0x00,
    SES_ELEMENT_DEVICE_SLOT = 0x01,
    SES_ELEMENT_POWER_SUPPLY = 0x02,
    SES_ELEMENT_COOLING = 0x03,
    SES_ELEMENT_TEMPERATURE_SENSOR = 0x04
};

// Adapter::getLimit(limit).
enum Limit : int {
    LIMIT_NONE = 0,
    LIMIT_MAX_LOGICAL_DRIVES = 1,
    LIMIT_MAX_ARRAYS = 2,
    LIMIT_MAX_SPANNED_ARRAYS = 3,
    LIMIT_MAX_CHANNELS = 4,
    LIMIT_MAX_ID = 5,
    LIMIT_MAX_DEVICES_PER_ARRAY = 6,
    LIMIT_MAX_CONTROLLERS = 7,
    LIMIT_COUNT = 8
};

// Adapter::getFeature(feature): non-zero when the controller has the feature.
enum EnumFeature : int { FEATURE_HEAT_SINK_TEMPERATURE = 47, FEATURE_COUNT = 64 };
