#include <gtest/gtest.h>

#include <string>

#include "events/TLXEvent.h"
#include "port/Clock.h"
#include "raidlib/Adapter.h"
#include "support/TestHome.h"

namespace {

// The ctime text of the fake clock's start, without its newline.
std::string startTime() {
    std::string text = port::ctimeText(FakeClock::kStart);
    text.pop_back();
    return text;
}

}  // namespace

class TLXEventTest : public TestHome {};

TEST_F(TLXEventTest, DefaultEventPrintsDashesUnknownTagAndEmptyText) {
    TLXEvent event;
    EXPECT_EQ(event.getEventTime(), FakeClock::kStart);
    EXPECT_EQ(event.toString(), startTime() + " | --- | UNKN | ---:A--C--S--L--- | ");
}

TEST_F(TLXEventTest, SeverityTexts) {
    const struct {
        int type;
        const char* text;
    } rows[] = {{0, "---"}, {1, "ERR"},  {2, "WRN"},
                {3, "INF"}, {5, "INF"},  {7, "INF"},
                {8, "---"}, {-1, "---"}, {TLXEvent::kUnset, "---"}};
    for (const auto& row : rows) {
        TLXEvent event(7, row.type, "x", "");
        EXPECT_EQ(event.toString(),
                  startTime() + " | " + row.text + " | UNKN | 007:A--C--S--L--- | x")
            << "eventType " << row.type;
    }
}

TEST_F(TLXEventTest, ObjectTags) {
    const char* tags[] = {"UNKN", "SYS ", "ADPT", "ARR ", "LDRV",
                          "PDRV", "ENCL", "FAN ", "PWSP", "UNKN"};
    for (int type = 0; type <= 9; ++type) {
        TLXEvent event;
        event.setObjectType(static_cast<EnumObjectType>(type));
        EXPECT_EQ(event.toString(),
                  startTime() + " | --- | " + tags[type] + " | ---:A--C--S--L--- | ")
            << "objectType " << type;
    }
}

TEST_F(TLXEventTest, LocationFieldsHaveMinimumWidthsAndPrintLargeIdsInFull) {
    TLXEvent removed(202, 1, "Controller 1 was removed.", "EVENT_VELMAR_ADAPTER_REMOVED");
    removed.setObjectType(TLX_OBJ_ADAPTER);
    removed.setAdapterID(0);
    EXPECT_EQ(removed.toString(),
              startTime() + " | ERR | ADPT | 202:A00C--S--L--- | Controller 1 was removed.");

    TLXEvent event(5, 3, "small", "");
    event.setAdapterID(1);
    event.setChannelID(2);
    event.setDeviceID(3);
    event.setLogicalDriveID(4);
    EXPECT_EQ(event.toString(), startTime() + " | INF | UNKN | 005:A01C02S03L004 | small");

    TLXEvent large(1234, 2, "large", "");
    large.setAdapterID(100);
    large.setChannelID(123);
    large.setDeviceID(255);
    large.setLogicalDriveID(1000);
    EXPECT_EQ(large.toString(), startTime() + " | WRN | UNKN | 1234:A100C123S255L1000 | large");
}

TEST_F(TLXEventTest, ResetKeepsDriveSerialAndEnclosureModel) {
    TLXEvent event(300, 1, "text", Addr(1, 2, 3, 4, 5, 6, 7, 8), 1, 2, 3, "SER", "ID", "FRU");
    event.setObjectType(TLX_OBJ_PHYSICAL_DRIVE);
    event.setPercentComplete(40);
    event.setHardDriveSerialNumber("WD-123");
    event.setEnclosureModel("ENC-9");
    clock_.advanceSeconds(60);

    event.reset();

    TLXEvent fresh;  // made at the new time
    EXPECT_EQ(event.getEventTime(), FakeClock::kStart + 60);
    EXPECT_EQ(event.toString(), fresh.toString());
    EXPECT_EQ(event.getAddr(), Addr());
    EXPECT_EQ(event.getLun(), TLXEvent::kUnset);
    EXPECT_EQ(event.getPercentCompleted(), 0);
    EXPECT_EQ(event.getAdapterSerial() + event.getIndentifier() + event.getFru(), "");
    EXPECT_EQ(event.getHardDriveSerialNumber(), "WD-123");
    EXPECT_EQ(event.getEnclosureModel(), "ENC-9");
}

TEST_F(TLXEventTest, AdapterSerialFallsBackToBusFunctionDevice) {
    Adapter adapter;
    adapter.setPCIBus(3);
    adapter.setPCIFunction(0);
    adapter.setPciDevice(2);
    TLXEvent event;
    event.setAdapterSerial(&adapter);
    EXPECT_EQ(event.getAdapterSerial(), "3-0-2");

    adapter.setSerialNumString("SN-778");
    event.setAdapterSerial(&adapter);
    EXPECT_EQ(event.getAdapterSerial(), "SN-778");

    event.setAdapterSerial(static_cast<Adapter*>(nullptr));
    EXPECT_EQ(event.getAdapterSerial(), "SN-778");
}
