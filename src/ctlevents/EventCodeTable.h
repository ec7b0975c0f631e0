// The controller event codes as data: for each code the catalog key of its message and the
// event category, which tells the translation what the event is about and which arguments
// its message takes; each in a variant for records with a FRU number and one without.
// Constant data and pure lookups: any thread may call them.
#pragma once

#include <vector>

#include "nls/CatalogKey.h"

namespace ctlevents {

// The category of codes that leave the monitor's event category as the previous record set
// it (the refresh record, which raises nothing).
inline constexpr int kCategoryUnchanged = 0;

// The two results that name no catalog text: a refresh record, and a code not in the table.
inline constexpr const char* kRefreshKey = "RefreshError";
inline constexpr const char* kUnknownKey = "UnknownVelmarError";

struct EventCodeRow {
    int code;
    const char* key;
    const char* keyWithFru;  // the key for a record that carries a FRU number
    int category;
    int categoryWithFru;
};

// Ordered by code. Codes 304-309 and 322-327 share their keys: the first group is about a
// logical drive, the second about an array task; likewise 319-321 and 328-330.
inline constexpr EventCodeRow kEventCodes[] = {
    {0, kRefreshKey, kRefreshKey, kCategoryUnchanged, kCategoryUnchanged},
    {201, "agentEventInfNoControllers", "agentEventInfNoControllers", 3, 3},
    {202, "agentEventErrController", "agentEventErrControllerFRU", 3, 3},
    {203, "agentEventErrBBCNewBattery", "agentEventErrBBCNewBatteryFRU", 8, 9},
    {204, "agentEventErrBBCFailure", "agentEventErrBBCFailureFRU", 8, 9},
    {205, "agentEventErrPolling", "agentEventErrPolling", 3, 3},
    {206, "eventConfigError", "agentEventErrPollingFRU", 3, 3},
    {207, "agentEventInfControllerAdded", "agentEventInfControllerAdded", 3, 3},
    {208, "agentEventInfControllerReplace", "agentEventInfControllerReplace", 3, 3},
    {209, "agentEventInfControllerFailover", "agentEventInfControllerFailover", 3, 3},
    {210, "agentEventWrnMismatchedVersions", "agentEventWrnMismatchedVersions", 3, 3},
    {211, "agentEventWrnBatteryOvertemp", "agentEventWrnBatteryOvertemp", 8, 8},
    // 212 and 601 are about the controller; they do not inherit the previous record's
    // category, which would build arguments for an object they do not name.
    {212, "agentEventJobScheduler", "agentEventJobScheduler", 3, 3},
    {213, "agentEventWrnControllerOvertemp", "agentEventWrnControllerOvertemp", 3, 3},
    {214, "agentEventWrnBatteryLow", "agentEventWrnBatteryLow", 3, 3},
    {215, "agentEventWrnBadStripes", "agentEventWrnBadStripes", 2, 2},
    {216, "agentEventInfBatteryTempNormal", "agentEventInfBatteryTempNormal", 8, 8},
    {217, "agentEventInfBatteryNormal", "agentEventInfBatteryNormal", 8, 8},
    {218, "agentEventInfControllerTempNormal", "agentEventInfControllerTempNormal", 3, 3},
    {219, "agentEventWrnControllerExpiration", "agentEventWrnControllerExpiration", 10, 10},
    {299, "agentEventInfControllerStateChange", "agentEventInfControllerStateChange", 3, 3},
    {301, "agentEventWrnLogicalCritical", "agentEventWrnLogicalCritical", 2, 2},
    {302, "agentEventErrLogicalBlocked", "agentEventErrLogicalBlocked", 2, 2},
    {303, "agentEventErrLogicalOffline", "agentEventErrLogicalOffline", 2, 2},
    {304, "agentEventInfRebuildDetected", "agentEventInfRebuildDetected", 2, 2},
    {305, "agentEventInfRebuildComplete", "agentEventInfRebuildComplete", 2, 2},
    {306, "agentEventErrRebuild", "agentEventErrRebuild", 2, 2},
    {307, "agentEventInfSyncDetected", "agentEventInfSyncDetected", 2, 2},
    {308, "agentEventInfSyncComplete", "agentEventInfSyncComplete", 2, 2},
    {309, "agentEventErrSync", "agentEventErrSync", 2, 2},
    {310, "agentEventInfMigrationDetected", "agentEventInfMigrationDetected", 2, 2},
    {311, "agentEventInfMigrationComplete", "agentEventInfMigrationComplete", 2, 2},
    {312, "agentEventErrMigrationFail", "agentEventErrMigrationFail", 2, 2},
    {313, "agentEventInfCompressionDetected", "agentEventInfCompressionDetected", 2, 2},
    {314, "agentEventInfCompressComplete", "agentEventInfCompressComplete", 2, 2},
    {315, "agentEventErrCompress", "agentEventErrCompress", 2, 2},
    {316, "agentEventInfDecompressionDetected", "agentEventInfDecompressionDetected", 2, 2},
    {317, "agentEventInfDecompressComplete", "agentEventInfDecompressComplete", 2, 2},
    {318, "agentEventErrDecompress", "agentEventErrDecompress", 2, 2},
    {319, "agentEventInfSnapshotDetected", "agentEventInfSnapshotDetected", 2, 2},
    {320, "agentEventInfSnapshotComplete", "agentEventInfSnapshotComplete", 2, 2},
    {321, "agentEventErrSnapshot", "agentEventErrSnapshot", 2, 2},
    {322, "agentEventInfRebuildDetected", "agentEventInfRebuildDetected", 7, 7},
    {323, "agentEventInfRebuildComplete", "agentEventInfRebuildComplete", 7, 7},
    {324, "agentEventErrRebuild", "agentEventErrRebuild", 7, 7},
    {325, "agentEventInfSyncDetected", "agentEventInfSyncDetected", 7, 7},
    {326, "agentEventInfSyncComplete", "agentEventInfSyncComplete", 7, 7},
    {327, "agentEventErrSync", "agentEventErrSync", 7, 7},
    {328, "agentEventInfSnapshotDetected", "agentEventInfSnapshotDetected", 7, 7},
    {329, "agentEventInfSnapshotComplete", "agentEventInfSnapshotComplete", 7, 7},
    {330, "agentEventErrSnapshot", "agentEventErrSnapshot", 7, 7},
    {331, "agentEventInfUnblock", "agentEventInfUnblock", 2, 2},
    {332, "agentEventInfCompactionDetected", "agentEventInfCompactionDetected", 2, 2},
    {333, "agentEventInfCompactComplete", "agentEventInfCompactComplete", 2, 2},
    {334, "agentEventErrCompact", "agentEventErrCompact", 2, 2},
    {335, "agentEventInfExpansionDetected", "agentEventInfExpansionDetected", 2, 2},
    {336, "agentEventInfExpandComplete", "agentEventInfExpandComplete", 2, 2},
    {337, "agentEventErrExpand", "agentEventErrExpand", 2, 2},
    {338, "agentEventWrnCriticalLogicalDrivePeriodic", "agentEventWrnCriticalLogicalDrivePeriodic",
     2, 2},
    {339, "agentEventInfCopyBackComplete", "agentEventInfCopyBackComplete", 2, 2},
    {340, "agentEventInfCopyBackDetected", "agentEventInfCopyBackDetected", 2, 2},
    {341, "agentEventErrCopyBack", "agentEventErrCopyBack", 2, 2},
    {342, "agentEventInfInitDetected", "agentEventInfInitDetected", 2, 2},
    {343, "agentEventInfInitComplete", "agentEventInfInitComplete", 2, 2},
    {344, "agentEventErrInit", "agentEventErrInit", 2, 2},
    {345, "agentEventInfLogicalOk", "agentEventInfLogicalOk", 2, 2},
    {346, "agentEventInfAddLogDrive", "agentEventInfAddLogDrive", 2, 2},
    {347, "agentEventInfDeleteLogDrive", "agentEventInfDeleteLogDrive", 2, 2},
    {348, "agentEventInfSnapshotPreempted", "agentEventInfSnapshotPreempted", 2, 2},
    {349, "agentEventInfRebuildAborted", "agentEventInfRebuildAborted", 2, 2},
    {350, "agentEventInfSyncAborted", "agentEventInfSyncAborted", 2, 2},
    {351, "agentEventInfInitAborted", "agentEventInfInitAborted", 2, 2},
    {352, "agentEventInfSyncNoFixAborted", "agentEventInfSyncNoFixAborted", 2, 2},
    {353, "agentEventInfInitPreempted", "agentEventInfInitPreempted", 2, 2},
    {354, "agentEventInfSyncPreempted", "agentEventInfSyncPreempted", 2, 2},
    {355, "agentEventInfRebuildPreempted", "agentEventInfRebuildPreempted", 2, 2},
    {356, "agentEventInfMigrationPreempted", "agentEventInfMigrationPreempted", 2, 2},
    {357, "agentEventInfCopyBackPreempted", "agentEventInfCopyBackPreempted", 2, 2},
    {358, "agentEventInfCompactionPreempted", "agentEventInfCompactionPreempted", 2, 2},
    {359, "agentEventInfExpansionPreempted", "agentEventInfExpansionPreempted", 2, 2},
    {360, "agentEventInfSyncNoFixPreempted", "agentEventInfSyncNoFixPreempted", 2, 2},
    {398, "agentEventInfArrayStateChange", "agentEventInfArrayStateChange", 7, 7},
    {399, "agentEventInfLogicalStateChange", "agentEventInfLogicalStateChange", 2, 2},
    {401, "agentEventErrDefunctDrive", "agentEventErrDefunctDrive", 1, 1},
    {402, "agentEventWrnPFADrive", "agentEventWrnPFADrive", 1, 1},
    {403, "agentEventInfDefunctReplace", "agentEventInfDefunctReplace", 12, 12},
    {404, "agentEventErrDefunctDrive", "agentEventErrDefunctDriveFRU", 1, 1},
    {405, "agentEventWrnPFADriveRepl", "agentEventWrnPFADriveRepl", 1, 1},
    {406, "agentEventWrnUnsupportedPhysDrive", "agentEventWrnUnsupportedPhysDrive", 1, 1},
    {407, "agentEventInfAddDiskDrive", "agentEventInfAddDiskDrive", 1, 1},
    {408, "agentEventInfDeleteDiskDrive", "agentEventInfDeleteDiskDrive", 1, 1},
    {409, "agentEventInfHDClearDetected", "agentEventInfHDClearDetected", 1, 1},
    {410, "agentEventInfHDClearComplete", "agentEventInfHDClearComplete", 1, 1},
    {411, "agentEventErrHDClear", "agentEventErrHDClear", 1, 1},
    {412, "agentEventInfHDSyncDetected", "agentEventInfHDSyncDetected", 1, 1},
    {413, "agentEventInfHDSyncComplete", "agentEventInfHDSyncComplete", 1, 1},
    {414, "agentEventErrHDSync", "agentEventErrHDSync", 1, 1},
    {415, "agentEventInfHDVerifyDetected", "agentEventInfHDVerifyDetected", 1, 1},
    {416, "agentEventInfHDVerifyComplete", "agentEventInfHDVerifyComplete", 1, 1},
    {417, "agentEventErrHDVerify", "agentEventErrHDVerify", 1, 1},
    {418, "agentEventWrnBadBlock", "agentEventWrnBadBlock", 1, 1},
    {419, "agentEventInfHDSecureEraseDetected", "agentEventInfHDSecureEraseDetected", 1, 1},
    {420, "agentEventInfHDSecureEraseComplete", "agentEventInfHDSecureEraseComplete", 1, 1},
    {421, "agentEventErrHDSecureErase", "agentEventErrHDSecureErase", 1, 1},
    {422, "agentEventInfBadBlockRepaired", "agentEventInfBadBlockRepaired", 1, 1},
    {423, "agentEventInfDriveMap", "agentEventInfDriveMap", 1, 1},
    {497, "agentEventInfSpareCreated", "agentEventInfSpareCreated", 12, 12},
    {498, "agentEventInfSpareDeleted", "agentEventInfSpareDeleted", 12, 12},
    {499, "agentEventInfDriveStateChange", "agentEventInfDriveStateChange", 1, 1},
    {500, "agentEventErrArrayBlocked", "agentEventErrArrayBlocked", 2, 2},
    {501, "agentEventInfEnclOk", "agentEventInfEnclOk", 4, 4},
    {502, "agentEventErrEnclFail", "agentEventErrEnclFail", 4, 4},
    {503, "agentEventInfFanOperational", "agentEventInfFanOperational", 5, 5},
    {504, "agentEventErrFanFail", "agentEventErrFanFail", 5, 5},
    {505, "agentEventInfFanInstalled", "agentEventInfFanInstalled", 5, 5},
    {506, "agentEventWrnFanRemoved", "agentEventWrnFanRemoved", 5, 5},
    {507, "agentEventInfTempNormal", "agentEventInfTempNormal", 11, 11},
    {508, "agentEventErrTempFail", "agentEventErrTempFail", 11, 11},
    {509, "agentEventInfPowerOperational", "agentEventInfPowerOperational", 6, 6},
    {510, "agentEventErrPowerFail", "agentEventErrPowerFail", 6, 6},
    {511, "agentEventInfPowerInstalled", "agentEventInfPowerInstalled", 6, 6},
    {512, "agentEventWrnPowerRemoved", "agentEventWrnPowerRemoved", 6, 6},
    {601, "notEventTestEvent", "notEventTestEvent", 3, 3},
};

// The row of a code; null for a code the table does not hold.
const EventCodeRow* findEventCode(int code);

// Every catalog key of the table, each variant with the number of message arguments that
// the translation builds for it.
std::vector<CatalogKey> eventCodeCatalogKeys();

}  // namespace ctlevents
