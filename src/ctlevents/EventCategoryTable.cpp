// The arguments of each event category and the message keys with arguments of their own.
#include "ctlevents/EventCategoryTable.h"

#include <cstring>

namespace ctlevents {

const EventCategoryRow* findEventCategory(int category) {
    for (const EventCategoryRow& row : kEventCategories) {
        if (row.category == category) {
            return &row;
        }
    }
    return nullptr;
}

const MessageExtra* findMessageExtra(const char* key) {
    for (const MessageExtraRow& row : kMessageExtras) {
        if (std::strcmp(row.key, key) == 0) {
            return &row.extra;
        }
    }
    return nullptr;
}

int messageArgumentCount(const char* key, int category) {
    const EventCategoryRow* row = findEventCategory(category);
    int count = 0;
    if (row != nullptr) {
        switch (row->message) {
            case MessageArguments::None:
                break;
            case MessageArguments::ArgumentText:
                count = 1;
                break;
            case MessageArguments::ArgumentTextAndDriveFru:
                count = 3;
                break;
        }
    }
    const MessageExtra* extra = findMessageExtra(key);
    if (extra != nullptr) {
        switch (*extra) {
            case MessageExtra::AddedLogicalDrive:
            case MessageExtra::Versions:
                count += 3;
                break;
            case MessageExtra::Fru:
                count += 1;
                break;
            case MessageExtra::OwnTextAsArgument:
                break;
            case MessageExtra::UnitOnChannel:
                count = 2;
                break;
            case MessageExtra::OnChannel:
                count = 1;
                break;
            case MessageExtra::DriveMapEntry:
                count = 5;
                break;
        }
    }
    return count;
}

}  // namespace ctlevents
