// Translation of the controllers' own event records into monitor events.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ctlevents/ControllerEventRecord.h"
#include "ctlevents/EventCategoryTable.h"
#include "ctlevents/EventCodeTable.h"
#include "detect/LogicalDriveSize.h"
#include "monitor/VelmarMonitor.h"
#include "raidlib/Adapter.h"
#include "raidlib/Channel.h"
#include "raidlib/Enclosure.h"
#include "raidlib/FilterCollection.h"
#include "raidlib/HardDrive.h"
#include "raidlib/LogicalDrive.h"
#include "raidlib/VelmarLib.h"
#include "snapshot/SimpleXmlParser.h"

namespace {

using ctlevents::EventCategoryRow;
using ctlevents::Lookup;
using ctlevents::MessageArguments;
using ctlevents::MessageExtra;
using ctlevents::ObjectNumber;

constexpr const char* kRecordElement = "RaidEvent";
constexpr const char* kUnknownCodeText = "UNKNOWN Velmar Error";

// The event raised for a record of a controller that has left the latest tree.
struct FailedControllerEvent {
    int eventCode;
    EnumEventType eventType;
    EnumObjectType objectType;
    const char* identifier;
};
constexpr FailedControllerEvent kFailedControllerEvent = {202, TLX_EVENT_ERROR, TLX_OBJ_SYSTEM,
                                                          "EVENT_VELMAR_STATE_FAILED"};

// The controller's severity class and the event type it becomes; any other class gives 0.
struct SeverityRow {
    int controllerType;
    int eventType;
};
constexpr SeverityRow kSeverities[] = {{1, 3}, {2, 2}, {4, 1}, {8, 4}, {10, 6}};

int severity(int controllerType) {
    for (const SeverityRow& row : kSeverities) {
        if (row.controllerType == controllerType) {
            return row.eventType;
        }
    }
    return 0;
}

// The RAID level texts of the added-logical-drive message; other levels give an empty text.
struct RaidTextRow {
    int level;
    const char* text;
};
constexpr RaidTextRow kRaidTexts[] = {
    {RAID_LEVEL_0, "0"},
    {RAID_LEVEL_1, "1"},
    {RAID_LEVEL_1E, "1EE"},
    {RAID_LEVEL_3, "3"},
    {RAID_LEVEL_4, "4"},
    {RAID_LEVEL_5, "5"},
    {RAID_LEVEL_5E, "5E"},
    {RAID_LEVEL_5EE, "5EE"},
    {RAID_LEVEL_00, "00"},
    {RAID_LEVEL_10, "10"},
    {RAID_LEVEL_1E0, "1E0"},
    {RAID_LEVEL_50, "50"},
    {RAID_LEVEL_5E0, "5E0"},
    {RAID_LEVEL_SPANNED_VOLUME, "SPANNED_VOLUME"},
    {RAID_LEVEL_6, "6"},
    {RAID_LEVEL_60, "60"},
    {RAID_LEVEL_UNKNOWN, "RAID_UNKNOWN"},
};

std::string raidText(int level) {
    for (const RaidTextRow& row : kRaidTexts) {
        if (row.level == level) {
            return row.text;
        }
    }
    return std::string();
}

// The data size in GB to the nearest thousandth, "2.000 GB", by the controller family's
// unit (detect::logicalDriveGigabytes), as the logical drive's identity strings count it.
std::string sizeText(const LogicalDrive* logicalDrive) {
    const double scaled = std::floor(detect::logicalDriveGigabytes(logicalDrive) * 1000.0 + 0.5);
    // Beyond 10^19 thousandths (far past any drive) the count would not fit 64 bits.
    const unsigned long long thousandths =
        scaled < 1e19 ? static_cast<unsigned long long>(scaled) : 10000000000000000000ULL;
    char text[48];
    std::snprintf(text, sizeof text, "%llu.%03llu GB", thousandths / 1000, thousandths % 1000);
    return text;
}

// A number shown 1-based. Computed wide: an unset ID (0x7FFFFFFF) must not wrap.
std::string shownNumber(int32_t id) {
    return std::to_string(static_cast<long long>(id) + 1);
}

bool isUnset(int32_t id) {
    return id < 0 || id == ControllerEventRecord::kUnset;
}

// The library's form of a record ID: -1 stands for "not set".
uint32_t addressID(int32_t id) {
    return id == -1 ? Addr::kUnset : static_cast<uint32_t>(id);
}

int32_t fieldValue(int32_t id) {
    return id == -1 ? ControllerEventRecord::kUnset : id;
}

void appendObjectNumber(std::vector<std::string>& objects, ObjectNumber number,
                        const ControllerEventRecord& record) {
    switch (number) {
        case ObjectNumber::None:
            break;
        case ObjectNumber::ChannelNumber:
            objects.push_back(shownNumber(record.channelID));
            break;
        case ObjectNumber::DeviceID:
            objects.push_back(NLSParser::itoa(record.deviceID, 10));
            break;
        case ObjectNumber::LogicalDriveNumber:
            objects.push_back(shownNumber(record.logicalDriveID));
            break;
        case ObjectNumber::FanNumber:
            objects.push_back(shownNumber(record.fanID));
            break;
        case ObjectNumber::PowerSupplyNumber:
            objects.push_back(shownNumber(record.powerSupplyID));
            break;
        case ObjectNumber::ArrayNumber:
            objects.push_back(shownNumber(record.arrayID));
            break;
    }
}

}  // namespace

void VelmarMonitor::GetEventFromXml(char* text, Adapter* adapter) {
    logTrace("In VelmarMonitor::GetEventFromXml()");
    if (text == nullptr || adapter == nullptr) {
        logError("ERROR: VelmarMonitor::GetEventFromXml() event text or adapter is NULL\n");
        return;
    }
    const size_t length = std::strlen(text);
    SimpleXmlParser parser(text, length < UINT_MAX ? static_cast<unsigned>(length) : UINT_MAX);
    ControllerEventRecord record;
    bool started = false;  // tokens before the first element start are not looked at
    while (parser.next()) {
        const char* element = parser.getElementName();
        const bool inRecord = element != nullptr && std::strcmp(element, kRecordElement) == 0;
        if ((parser.getFlags() & SimpleXmlParser::kStart) != 0) {
            started = true;
            if (inRecord) {
                record = ControllerEventRecord();
            }
        }
        if (!started || !inRecord) {
            continue;
        }
        if (parser.getAttributeName() != nullptr) {
            record.setAttribute(parser.getAttributeName(), parser.getAttributeValue());
        }
        if (parser.isEnd()) {
            translateEventRecord(record, adapter);
            record = ControllerEventRecord();
        }
    }
    logTrace("Exiting VelmarMonitor::GetEventFromXml()");
}

void VelmarMonitor::translateEventRecord(const ControllerEventRecord& record, Adapter* adapter) {
    const bool hasFru = !record.fru.empty();
    Adapter* current = getCurrentAdapter(record.adapterID);
    const std::string key = getEventDescription(record.eventCode, record.eventType, hasFru);
    if (current == nullptr) {
        raiseFailedControllerEvent(record, key);
        logError("ERROR: Current Adapter is NULL\n");
        return;
    }
    if (key == ctlevents::kUnknownKey) {
        TLXEvent event(record.eventCode, severity(record.eventType), kUnknownCodeText, "");
        event.setObjectType(TLX_OBJ_SYSTEM);
        events->add(event);
        return;
    }
    if (key == ctlevents::kRefreshKey) {
        logTrace("Refresh Event\n");
        return;
    }
    const EventCategoryRow* category = ctlevents::findEventCategory(eventCategory);
    if (category == nullptr) {
        logError("ERROR: VelmarMonitor::GetEventFromXml() no category %d\n", eventCategory);
        return;
    }
    const MessageExtra* extra = ctlevents::findMessageExtra(key.c_str());

    // The text that names the object: the catalog text of the category's argument key over
    // the controller description and the category's numbers (as the record gives them).
    std::vector<std::string> objects{getDetailedAdapterID(adapter)};
    appendObjectNumber(objects, category->first, record);
    appendObjectNumber(objects, category->second, record);
    std::string argumentText;
    if (category->argumentKey != nullptr) {
        argumentText = nls.get(category->argumentKey, objects);
    } else if (extra != nullptr && *extra == MessageExtra::OwnTextAsArgument) {
        argumentText = nls.get(key, objects);
    }

    std::vector<std::string> message;
    switch (category->message) {
        case MessageArguments::None:
            break;
        case MessageArguments::ArgumentText:
            message.push_back(argumentText);
            break;
        case MessageArguments::ArgumentTextAndDriveFru:
            message.push_back(argumentText);
            message.push_back(record.fru);
            message.push_back(nls.get("deviceArgFRU", {record.fru}));
            break;
    }
    if (extra != nullptr) {
        switch (*extra) {
            case MessageExtra::AddedLogicalDrive:
                for (std::string& text : addedLogicalDriveTexts(record)) {
                    message.push_back(std::move(text));
                }
                break;
            case MessageExtra::Fru:
                message.push_back(record.fru);
                break;
            case MessageExtra::Versions:
                message.push_back(adapter->getBiosVersion());
                message.push_back(adapter->getFirmwareVersion());
                message.push_back(adapter->getDeviceDriverVersion());
                break;
            case MessageExtra::OwnTextAsArgument:
                break;
            case MessageExtra::UnitOnChannel:
                message = {shownNumber(eventCategory == 6 ? record.powerSupplyID : record.fanID),
                           recordChannelIdentity(adapter, record)};
                break;
            case MessageExtra::OnChannel:
                message = {recordChannelIdentity(adapter, record)};
                break;
            case MessageExtra::DriveMapEntry: {
                HardDrive* drive = findRecordDrive(adapter, record);
                message = {shownNumber(record.adapterID), shownNumber(record.channelID),
                           NLSParser::itoa(record.deviceID, 10), getEventID(drive),
                           getReplacementID(drive)};
                break;
            }
        }
    }

    std::string driveSerial;
    std::string enclosureModel;
    std::string enclosureFru;
    if (category->lookup == Lookup::DriveSerial) {
        driveSerial = findRecordDriveSerial(adapter, record);
    } else if (category->lookup != Lookup::None) {
        const Enclosure* enclosure = findRecordEnclosure(adapter, record);
        if (enclosure != nullptr && category->lookup == Lookup::EnclosureModel) {
            enclosureModel = enclosure->getModel();
            logTrace("Enclosure MODEL= %s.\n", enclosureModel.c_str());
        } else if (enclosure != nullptr) {
            enclosureFru = enclosure->getFruNumber();
            logTrace("Enclosure FRU = %s.\n", enclosureFru.c_str());
        }
    }

    const Addr addr(addressID(record.adapterID), addressID(record.arrayID),
                    addressID(record.logicalDriveID), addressID(record.channelID),
                    addressID(record.deviceID), Addr::kUnsetChunk, Addr::kUnset, Addr::kUnset);
    logTrace("Check for the duplicate event and log the Event\n");
    if (isDuplicateEvent(addr.getAdapterID(), record.eventCode,
                         fieldValue(record.logicalDriveID))) {
        logTrace(" Event code is   = %d.\n", record.eventCode);
        return;
    }
    TLXEvent event(record.eventCode, severity(record.eventType), nls.get(key, message), addr,
                   fieldValue(record.logicalDriveID), fieldValue(record.fanID),
                   fieldValue(record.powerSupplyID), adapter->getSerialNumString(), "", record.fru);
    event.setObjectType(category->objectType);
    switch (category->lookup) {
        case Lookup::None:
            break;
        case Lookup::DriveSerial:
            event.setHardDriveSerialNumber(driveSerial);
            logTrace("Setting HD serial No.\n");
            break;
        case Lookup::EnclosureModel:
            event.setEnclosureModel(enclosureModel);
            logTrace("Setting encModel No.\n");
            break;
        case Lookup::EnclosureFru:
            event.setFru(enclosureFru);
            logTrace("Setting encFRU No.\n");
            break;
    }
    events->add(event);
}

void VelmarMonitor::raiseFailedControllerEvent(const ControllerEventRecord& record,
                                               const std::string& key) {
    Adapter* old = getOldAdapter(record.adapterID);
    if (old == nullptr) {
        logError("ERROR: Adapter in previous config is NULL\n");
        return;
    }
    // A refresh record or an unknown code names no catalog text of its own: the event then
    // reads as the controller's failure (code 202's text).
    std::string messageKey = key;
    if (key == ctlevents::kRefreshKey || key == ctlevents::kUnknownKey) {
        const ctlevents::EventCodeRow* failure =
            ctlevents::findEventCode(kFailedControllerEvent.eventCode);
        messageKey = record.fru.empty() ? failure->key : failure->keyWithFru;
    }
    std::vector<std::string> message{nls.get("eventArgController", {getDetailedAdapterID(old)})};
    const MessageExtra* extra = ctlevents::findMessageExtra(messageKey.c_str());
    if (extra != nullptr && *extra == MessageExtra::Fru) {
        message.push_back(record.fru);
    }
    TLXEvent event(kFailedControllerEvent.eventCode, kFailedControllerEvent.eventType,
                   nls.get(messageKey, message), kFailedControllerEvent.identifier);
    event.setObjectType(kFailedControllerEvent.objectType);
    events->add(event);
}

HardDrive* VelmarMonitor::findRecordDrive(Adapter* adapter, const ControllerEventRecord& record) {
    if (!isUnset(record.channelID) && !isUnset(record.deviceID)) {
        logTrace("deviceID = %d.\n", record.deviceID);
        FilterCollection drives(adapter);
        drives.apply("HardDrive", false);
        for (int i = 0; i < drives.size(); ++i) {
            RaidObject* drive = drives.elementAt(i);
            if (drive != nullptr && drive->getChannelID() == uint32_t(record.channelID) &&
                drive->getDeviceID() == uint32_t(record.deviceID)) {
                return static_cast<HardDrive*>(drive);
            }
        }
    }
    logError("ERROR: The Hard Drive object is NULL ");
    return nullptr;
}

std::string VelmarMonitor::findRecordDriveSerial(Adapter* adapter,
                                                 const ControllerEventRecord& record) {
    const HardDrive* drive = findRecordDrive(adapter, record);
    if (drive == nullptr) {
        return std::string();
    }
    const std::string serial = drive->getSerialNumber();
    logTrace("hdSerialNum = %s.\n", serial.c_str());
    return serial;
}

Enclosure* VelmarMonitor::findRecordEnclosure(Adapter* adapter,
                                              const ControllerEventRecord& record) {
    if (!isUnset(record.channelID)) {
        logTrace("channelID = %d.\n", record.channelID);
        FilterCollection enclosures(adapter);
        enclosures.apply("Enclosure", false);
        for (int i = 0; i < enclosures.size(); ++i) {
            RaidObject* enclosure = enclosures.elementAt(i);
            if (enclosure != nullptr && enclosure->getChannelID() == uint32_t(record.channelID)) {
                return static_cast<Enclosure*>(enclosure);
            }
        }
    }
    logError("ERROR: The enclosure object is NULL ");
    return nullptr;
}

std::vector<std::string> VelmarMonitor::addedLogicalDriveTexts(
    const ControllerEventRecord& record) {
    logTrace("Logical Drive Added\n");
    logTrace("logicalDriveID = %d.\n", record.logicalDriveID);
    Addr addr(addressID(record.adapterID), Addr::kUnset, addressID(record.logicalDriveID),
              Addr::kUnset, Addr::kUnset, Addr::kUnsetChunk, Addr::kUnset, Addr::kUnset);
    RaidObject* object = velmarLib != nullptr ? velmarLib->getCurrentObject(addr) : nullptr;
    if (object == nullptr || !object->isInstanceOf("LogicalDrive")) {
        logError("ERROR: The Logical Device Object is NULL \n");
        return {};
    }
    auto* logicalDrive = static_cast<LogicalDrive*>(object);
    // The order of the logical-drive comparison's event, so one catalog text serves both.
    return {sizeText(logicalDrive), raidText(logicalDrive->getRaidLevel()),
            getQuickInit(logicalDrive)};
}

std::string VelmarMonitor::recordChannelIdentity(Adapter* adapter,
                                                 const ControllerEventRecord& record) {
    RaidObject* channel =
        isUnset(record.channelID)
            ? nullptr
            : adapter->getObject(adapter->getAdapterID(), Addr::kUnset, Addr::kUnset,
                                 static_cast<uint32_t>(record.channelID), Addr::kUnset);
    if (channel != nullptr && channel->isInstanceOf("Channel")) {
        return getEventID(static_cast<Channel*>(channel));
    }
    // No such channel: the identity strings' marker stands for a missing number.
    return nls.get("eventArgControllerChannel",
                   {getDetailedAdapterID(adapter), isUnset(record.channelID)
                                                       ? NLSParser::itoa(Addr::kUnset, 10)
                                                       : shownNumber(record.channelID)});
}
