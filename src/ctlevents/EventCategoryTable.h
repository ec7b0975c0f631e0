// What the translation builds for each event category: the object the event is about, the
// catalog key and the numbers of the argument text that names the object, the message's
// arguments and the lookup that fills the drive serial, enclosure model or enclosure FRU;
// plus the few message keys that take arguments beyond their category's. Constant data and
// pure lookups: any thread may call them.
#pragma once

#include "events/EnumObjectType.h"
#include "nls/CatalogKey.h"

namespace ctlevents {

// A number that follows the controller description in the argument text's object list.
enum class ObjectNumber {
    None,
    ChannelNumber,       // channel ID + 1
    DeviceID,            // as it is
    LogicalDriveNumber,  // logical drive ID + 1
    FanNumber,           // fan ID + 1
    PowerSupplyNumber,   // power-supply ID + 1
    ArrayNumber,         // array ID + 1
};

// The message arguments every event of the category gets.
enum class MessageArguments {
    None,
    ArgumentText,            // [argument text]
    ArgumentTextAndDriveFru  // [argument text, FRU text, "deviceArgFRU" with the FRU text]
};

enum class Lookup { None, DriveSerial, EnclosureModel, EnclosureFru };

struct EventCategoryRow {
    int category;
    EnumObjectType objectType;
    const char* argumentKey;  // null: the category builds no argument text of its own
    ObjectNumber first;
    ObjectNumber second;
    MessageArguments message;
    Lookup lookup;
};

inline constexpr EventCategoryRow kEventCategories[] = {
    {1, TLX_OBJ_PHYSICAL_DRIVE, "eventArgControllerScsiDevice", ObjectNumber::ChannelNumber,
     ObjectNumber::DeviceID, MessageArguments::ArgumentTextAndDriveFru, Lookup::DriveSerial},
    {2, TLX_OBJ_LOGICAL_DRIVE, "eventArgControllerLogicalDrive", ObjectNumber::LogicalDriveNumber,
     ObjectNumber::None, MessageArguments::ArgumentText, Lookup::None},
    {3, TLX_OBJ_ADAPTER, "eventArgController", ObjectNumber::None, ObjectNumber::None,
     MessageArguments::ArgumentText, Lookup::None},
    {4, TLX_OBJ_ENCLOSURE, "eventArgEnclosureController", ObjectNumber::ChannelNumber,
     ObjectNumber::None, MessageArguments::ArgumentText, Lookup::EnclosureModel},
    {5, TLX_OBJ_FAN, "eventArgEnclosureController", ObjectNumber::ChannelNumber,
     ObjectNumber::FanNumber, MessageArguments::ArgumentText, Lookup::EnclosureFru},
    {6, TLX_OBJ_POWER_SUPPLY, "eventArgEnclosureController", ObjectNumber::ChannelNumber,
     ObjectNumber::PowerSupplyNumber, MessageArguments::ArgumentText, Lookup::EnclosureFru},
    {7, TLX_OBJ_ARRAY, "eventArgControllerArray", ObjectNumber::ArrayNumber, ObjectNumber::None,
     MessageArguments::ArgumentText, Lookup::None},
    {8, TLX_OBJ_ADAPTER, "eventArgController", ObjectNumber::None, ObjectNumber::None,
     MessageArguments::ArgumentText, Lookup::None},
    {9, TLX_OBJ_ADAPTER, "eventArgController", ObjectNumber::None, ObjectNumber::None,
     MessageArguments::ArgumentText, Lookup::None},
    // Controller expiration names no object in its text; the event is the controller's.
    {10, TLX_OBJ_ADAPTER, nullptr, ObjectNumber::None, ObjectNumber::None, MessageArguments::None,
     Lookup::None},
    // Temperature: only "agentEventErrTempFail" builds an argument text (see kMessageExtras).
    {11, TLX_OBJ_ADAPTER, nullptr, ObjectNumber::None, ObjectNumber::None,
     MessageArguments::ArgumentText, Lookup::None},
    {12, TLX_OBJ_PHYSICAL_DRIVE, "eventArgControllerScsiDevice", ObjectNumber::ChannelNumber,
     ObjectNumber::DeviceID, MessageArguments::ArgumentText, Lookup::None},
};

// What a message key takes beyond its category's arguments.
enum class MessageExtra {
    AddedLogicalDrive,  // size, RAID and quick-initialisation texts of the new logical drive
    Fru,                // the record's FRU text
    Versions,           // the controller's BIOS, firmware and driver versions
    OwnTextAsArgument,  // the argument text is the key's own text over the object list
    // Keys that the start-of-run comparisons raise as well take the comparisons' arguments
    // instead of the category's, so that one catalog text serves both:
    UnitOnChannel,  // [fan or power-supply number, channel identity]
    OnChannel,      // [channel identity]
    DriveMapEntry,  // [controller number, channel number, device ID, drive identity,
                    //  replacement part]
};

struct MessageExtraRow {
    const char* key;
    MessageExtra extra;
};

inline constexpr MessageExtraRow kMessageExtras[] = {
    {"agentEventInfAddLogDrive", MessageExtra::AddedLogicalDrive},
    {"agentEventErrControllerFRU", MessageExtra::Fru},
    {"agentEventErrPollingFRU", MessageExtra::Fru},
    {"agentEventWrnMismatchedVersions", MessageExtra::Versions},
    {"agentEventInfDriveMap", MessageExtra::DriveMapEntry},
    {"agentEventInfEnclOk", MessageExtra::OnChannel},
    {"agentEventErrEnclFail", MessageExtra::OnChannel},
    {"agentEventInfTempNormal", MessageExtra::OnChannel},
    {"agentEventErrTempFail", MessageExtra::OnChannel},
    {"agentEventInfFanOperational", MessageExtra::UnitOnChannel},
    {"agentEventErrFanFail", MessageExtra::UnitOnChannel},
    {"agentEventInfFanInstalled", MessageExtra::UnitOnChannel},
    {"agentEventWrnFanRemoved", MessageExtra::UnitOnChannel},
    {"agentEventInfPowerOperational", MessageExtra::UnitOnChannel},
    {"agentEventErrPowerFail", MessageExtra::UnitOnChannel},
    {"agentEventInfPowerInstalled", MessageExtra::UnitOnChannel},
    {"agentEventWrnPowerRemoved", MessageExtra::UnitOnChannel},
};

// The argument texts that name the object of an event, with the number of object-list
// entries each gets. The enclosure text is shared by enclosures (2 entries) and their fans
// and power supplies (3), so its text may use only the first two.
inline constexpr CatalogKey kTranslationCatalogKeys[] = {
    {"eventArgController", 1},
    {"eventArgControllerScsiDevice", 3},
    {"eventArgControllerLogicalDrive", 2},
    {"eventArgEnclosureController", 2},
    {"eventArgControllerArray", 2},
    {"deviceArgFRU", 1},
};

// The row of a category; null for a category not in the table.
const EventCategoryRow* findEventCategory(int category);
// The extra of a message key; null when it has none.
const MessageExtra* findMessageExtra(const char* key);
// The number of message arguments an event of that key and category gets.
int messageArgumentCount(const char* key, int category);

}  // namespace ctlevents
