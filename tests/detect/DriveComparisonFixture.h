// Runs tables of drive comparison cases the way the change-detection cycle sees them: the
// stand-in library's model is shaped as stored, written as a snapshot and read back, shaped
// again as current, and a compare member of the monitor frame runs on every fresh current
// controller and its rebuilt stored twin. Controller 0 is "A1" with channel 0 and a logical
// drive limit of 7; the shipped catalog names the objects; both report timers start spent.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "detect/DetectTestSupport.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"

// One expected event: its fields come from the drive (by device ID) or logical drive (by ID)
// `id` of the stored ('S') or current ('C') controller 0.
struct Expect {
    int code;
    int type;
    const char* identifier;
    uint32_t id;
    std::string text;
    char from = 'C';
};

// An event and its state-change companion (code `companion`) with the same text and fields;
// the companion has the event's severity unless companionType is given.
inline std::vector<Expect> withCompanion(const Expect& event, int companion, const char* identifier,
                                         int companionType = 0) {
    return {event,
            {companion, companionType != 0 ? companionType : event.type, identifier, event.id,
             event.text, event.from}};
}

enum CaseFlags { kTimerDue = 1, kCheck = 2, kSwitchOff = 4 };

// Spec describes one drive or logical drive; shape() (found by argument-dependent lookup)
// makes the model hold exactly the listed ones.
template <typename Spec>
struct Case {
    const char* name;
    std::vector<Spec> before;
    std::vector<Spec> after;
    std::vector<Expect> events;
    int flags = 0;  // CaseFlags
};

const std::string kController = "controller 1 VELMAR RAID Controller #A1 (slot Unknown)";

class DriveComparisonTest : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        installShippedCatalog();
        writeFile("TLXConfig.ini", "");
    }

    template <typename Spec, typename Compare, typename Check>
    void runCases(const std::vector<Case<Spec>>& cases, Compare compare, Check check,
                  int timerInterval, EnumObjectType type) {
        for (const Case<Spec>& c : cases) {
            SCOPED_TRACE(c.name);
            lib.setHardwareModel(nullptr);
            TreeBuilder build(lib.getHardwareModel());
            DetectMonitor monitor(&lib, "", "", "");
            TLXConfigBuilder builder(path("TLXVLConfig.xml"));
            clock_.advanceSeconds(1);  // a timer's first yes at time 0 would not count as spent
            monitor.isTimeToReportUnsupportedDrives();
            monitor.isTimeToReportCriticalLogicalDrives();
            Adapter* adapter = build.adapter(0, "A1");
            adapter->setLimit(LIMIT_MAX_LOGICAL_DRIVES, 7);
            Channel* channel = build.channel(adapter, 0);

            shape(build, adapter, channel, c.before);
            store(builder);
            shape(build, adapter, channel, c.after);
            clock_.advanceSeconds((c.flags & kTimerDue) != 0 ? timerInterval : 0);
            monitor.setReportUnsupportedDrives((c.flags & kSwitchOff) == 0);
            for (RaidObject* now : lib.getNewSystem()->getChildren()) {
                if ((c.flags & kCheck) != 0) {
                    (monitor.*check)(monitor.queue(), static_cast<Adapter*>(now));
                } else {
                    (monitor.*compare)(monitor.queue(), static_cast<Adapter*>(now),
                                       static_cast<Adapter*>(builder.getSystem()->getObject(
                                           now->getAdapterID(), Addr::kUnset, Addr::kUnset,
                                           Addr::kUnset, Addr::kUnset)));
                }
            }
            std::vector<std::string> got;
            std::vector<std::string> want;
            for (const TLXEvent& event : monitor.queue().takeAll()) {
                got.push_back(fields(event));
            }
            for (const Expect& expect : c.events) {
                want.push_back(fields(expected(expect, type, builder.getSystem())));
            }
            EXPECT_EQ(got, want);
        }
    }

private:
    // The model becomes the stored tree through the file; its drives then get new serial
    // numbers, so that each event shows which copy it took its fields from.
    void store(TLXConfigBuilder& builder) {
        builder.build(lib.getNewSystem(), nullptr);
        ASSERT_TRUE(builder.writeXML());
        ASSERT_TRUE(builder.readXML());
        std::vector<RaidObject*> drives;
        lib.getHardwareModel()->getChildren(drives, "HardDrive", true, true);
        for (RaidObject* drive : drives) {
            auto* hardDrive = static_cast<HardDrive*>(drive);
            hardDrive->setSerialNumber(std::string("NEW") + hardDrive->getSerialNumber());
        }
    }

    TLXEvent expected(const Expect& expect, EnumObjectType type, RaidObject* storedRoot) {
        TLXEvent event(expect.code, expect.type, expect.text, expect.identifier);
        event.setObjectType(type);
        event.setAdapterID(0);
        event.setAdapterSerial("A1");
        if (type == TLX_OBJ_LOGICAL_DRIVE) {
            event.setLogicalDriveID(expect.id);
            return event;
        }
        event.setChannelID(0);
        event.setDeviceID(expect.id);
        RaidObject* root = expect.from == 'S' ? storedRoot : lib.getCurrentSystem();
        if (auto* drive = dynamic_cast<HardDrive*>(
                root->getObject(0, Addr::kUnset, Addr::kUnset, 0, expect.id))) {
            event.setFru(drive->getFruNumber());
            event.setHardDriveSerialNumber(drive->getSerialNumber());
        }
        return event;
    }

    // Every field that a comparison sets, on one line.
    static std::string fields(const TLXEvent& e) {
        std::ostringstream out;
        out << e.getEventCode() << " type " << e.getEventType() << ' ' << e.getIndentifier()
            << " obj " << e.getObjectType() << " A" << e.getAdapterID() << " R" << e.getArrayID()
            << " L" << e.getLogicalDriveID() << " C" << e.getChannelID() << " S" << e.getDeviceID()
            << " [" << e.getAdapterSerial() << '|' << e.getFru() << '|'
            << e.getHardDriveSerialNumber() << '|' << e.getEnclosureModel() << "] "
            << e.getEventDesc();
        return out.str();
    }

    VelmarLib lib;
};
