// Runs the drive comparisons the way the change-detection cycle does: the stand-in library's
// model is stored as a snapshot written and read back, the test changes the model, and a
// compare member of the monitor frame runs on every fresh current controller and its rebuilt
// stored twin. The shipped catalog names the objects; both report timers start spent.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "detect/DetectTestSupport.h"
#include "monitor/BaseRaidMonitor.h"
#include "raidlib/raidlib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"
#include "support/TestHome.h"
#include "support/TreeBuilder.h"

// One expected event: fields come from the drive (device ID) or logical drive (ID) `id` of
// the stored ('S') or current ('C') controller 0.
struct Expect {
    int code;
    int type;
    const char* identifier;
    uint32_t id;
    char from;
    std::string text;
};

const std::string kController = "controller 1 VELMAR RAID Controller #A1 (slot Unknown)";
inline std::string pd(uint32_t device) {
    return "drive " + std::to_string(device) + " on channel 1 of " + kController;
}
inline std::string ld(uint32_t id) {
    return "logical drive " + std::to_string(id + 1) + " of " + kController;
}

class DriveComparisonTest : public TestHome {
protected:
    using Member = void (BaseRaidMonitor::*)(TLXEventCollection&, Adapter*, Adapter*);
    using Check = void (BaseRaidMonitor::*)(TLXEventCollection&, Adapter*);

    void SetUp() override {
        TestHome::SetUp();
        installShippedCatalog();
        writeFile("TLXConfig.ini", "");
        reset();
    }

    // A fresh model with controller 0 ("A1", limit 7 for logical drive IDs), monitor and
    // snapshot, so that each case of a table starts alike.
    void reset() {
        lib.setHardwareModel(nullptr);
        build = TreeBuilder(lib.getHardwareModel());
        monitor = std::make_unique<DetectMonitor>(&lib, "", "", "");
        builder = std::make_unique<TLXConfigBuilder>(path("TLXVLConfig.xml"));
        clock_.advanceSeconds(1);
        monitor->isTimeToReportUnsupportedDrives();
        monitor->isTimeToReportCriticalLogicalDrives();
        adapter = build.adapter(0, "A1");
        adapter->setLimit(LIMIT_MAX_LOGICAL_DRIVES, 7);
    }

    static Adapter* adapterIn(RaidObject* root, uint32_t id) {
        return dynamic_cast<Adapter*>(
            root->getObject(id, Addr::kUnset, Addr::kUnset, Addr::kUnset, Addr::kUnset));
    }
    Adapter* stored() { return adapterIn(builder->getSystem(), 0); }
    Adapter* current() { return adapterIn(lib.getCurrentSystem(), 0); }

    // The snapshot of the model, written and read back, becomes the stored tree. The model's
    // drives then get new serial numbers, so that each event shows which copy it names.
    void store() {
        builder->build(lib.getNewSystem(), nullptr);
        ASSERT_TRUE(builder->writeXML());
        ASSERT_TRUE(builder->readXML());
        std::vector<RaidObject*> drives;
        lib.getHardwareModel()->getChildren(drives, "HardDrive", true, true);
        for (RaidObject* drive : drives) {
            auto* hardDrive = static_cast<HardDrive*>(drive);
            hardDrive->setSerialNumber(std::string("NEW") + hardDrive->getSerialNumber());
        }
    }

    // Runs member on each current controller with its stored twin, or check on each
    // current controller; returns the queued events.
    std::vector<TLXEvent> run(Member member, Check check) {
        for (RaidObject* child : lib.getNewSystem()->getChildren()) {
            if (auto* now = dynamic_cast<Adapter*>(child)) {
                if (check != nullptr) {
                    (monitor.get()->*check)(monitor->queue(), now);
                } else {
                    (monitor.get()->*member)(monitor->queue(), now,
                                             adapterIn(builder->getSystem(), now->getAdapterID()));
                }
            }
        }
        return monitor->queue().takeAll();
    }

    void expectEvents(const std::vector<TLXEvent>& got, const std::vector<Expect>& want,
                      EnumObjectType type) {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE("event " + std::to_string(i));
            const TLXEvent& e = got[i];
            const Expect& w = want[i];
            EXPECT_EQ(e.getEventCode(), w.code);
            EXPECT_EQ(e.getEventType(), w.type);
            EXPECT_EQ(e.getIndentifier(), w.identifier);
            EXPECT_EQ(e.getEventDesc(), w.text);
            EXPECT_EQ(e.getObjectType(), type);
            EXPECT_EQ(e.getAdapterID(), 0u);
            EXPECT_EQ(e.getAdapterSerial(), "A1");
            EXPECT_EQ(e.getArrayID(), Addr::kUnset);
            EXPECT_EQ(e.getEnclosureModel(), "");
            const bool drive = type == TLX_OBJ_PHYSICAL_DRIVE;
            EXPECT_EQ(e.getLogicalDriveID(), drive ? Addr::kUnset : w.id);
            EXPECT_EQ(e.getChannelID(), drive ? 0u : Addr::kUnset);
            EXPECT_EQ(e.getDeviceID(), drive ? w.id : Addr::kUnset);
            const auto* fields = drive
                                     ? dynamic_cast<HardDrive*>(
                                           (w.from == 'S' ? stored() : current())
                                               ->getObject(0, Addr::kUnset, Addr::kUnset, 0, w.id))
                                     : nullptr;
            ASSERT_EQ(fields != nullptr, drive);
            EXPECT_EQ(e.getFru(), drive ? fields->getFruNumber() : "");
            EXPECT_EQ(e.getHardDriveSerialNumber(), drive ? fields->getSerialNumber() : "");
        }
    }

    VelmarLib lib;
    TreeBuilder build{lib.getHardwareModel()};
    Adapter* adapter = nullptr;
    std::unique_ptr<DetectMonitor> monitor;
    std::unique_ptr<TLXConfigBuilder> builder;
};
