#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "raidlib/raidlib.h"
#include "support/TreeBuilder.h"

namespace {

constexpr uint32_t U = Addr::kUnset;

// A controller that counts its live instances, to see which trees the library keeps.
class CountedAdapter : public Adapter {
public:
    CountedAdapter() { ++live; }
    CountedAdapter(const CountedAdapter& other) : Adapter(other) { ++live; }
    ~CountedAdapter() override { --live; }
    RaidObject* clone() const override { return new CountedAdapter(*this); }
    static int live;
};
int CountedAdapter::live = 0;

// The number the poll loop reads: after the last "eventNumber", the '=' and the quote.
long lastEventNumber(const char* text) {
    const std::string s(text);
    const size_t at = s.rfind("eventNumber");
    const size_t eq = s.find('=', at);
    return std::strtol(s.c_str() + eq + 2, nullptr, 10);
}

class VelmarLibTest : public ::testing::Test {
protected:
    void SetUp() override {
        TreeBuilder build(lib_.getHardwareModel());
        adapter_ = build.adapter(0, "S0");
        Channel* channel = build.channel(adapter_, 0);
        build.drive(channel, 1);
        build.enclosure(channel, 15);
        ld_ = build.logicalDrive(adapter_, 0);
        build.adapter(1, "S1");
    }

    VelmarLib lib_;
    Adapter* adapter_ = nullptr;
    LogicalDrive* ld_ = nullptr;
};

TEST_F(VelmarLibTest, NewSystemIsACopyAndRotatesCurrentToOld) {
    EXPECT_EQ(nullptr, lib_.getCurrentSystem());
    System* first = lib_.getNewSystem();
    ASSERT_NE(nullptr, first);
    EXPECT_NE(lib_.getHardwareModel(), first);
    EXPECT_EQ(first, lib_.getCurrentSystem());
    EXPECT_EQ(nullptr, lib_.getOldSystem());
    Ret ret(7);
    EXPECT_EQ(2, first->discover(&lib_, ret));
    EXPECT_EQ(0, ret.getReturnCode());

    // Changes to the model show in the next tree only.
    adapter_->setAdapterStatus(CONTROLLER_STATUS_FAILED);
    System* second = lib_.getNewSystem();
    EXPECT_EQ(first, lib_.getOldSystem());
    EXPECT_EQ(second, lib_.getCurrentSystem());
    auto* before = static_cast<Adapter*>(first->getObject(0, U, U, U, U));
    auto* after = static_cast<Adapter*>(second->getObject(0, U, U, U, U));
    EXPECT_EQ(CONTROLLER_STATUS_OKAY, before->getAdapterStatus());
    EXPECT_EQ(CONTROLLER_STATUS_FAILED, after->getAdapterStatus());

    lib_.setDiscoveryFails(true);
    EXPECT_EQ(nullptr, lib_.getNewSystem());
    EXPECT_EQ(second, lib_.getCurrentSystem());
}

TEST_F(VelmarLibTest, OnlyModelCurrentAndOldTreesStayAlive) {
    lib_.getHardwareModel()->addChild(new CountedAdapter());
    ASSERT_EQ(1, CountedAdapter::live);
    for (int i = 0; i < 4; ++i) {
        lib_.getNewSystem();
    }
    EXPECT_EQ(3, CountedAdapter::live);
    lib_.setHardwareModel(nullptr);
    EXPECT_EQ(2, CountedAdapter::live);
    EXPECT_EQ(0, lib_.getNewSystem()->getChildCount());
}

TEST_F(VelmarLibTest, EventsFromAGivenNumberFillTheCallersBlock) {
    for (int i = 0; i < 40; ++i) {
        lib_.appendEvent(0, RaidEvent(401, 4).set("deviceID", i).set("FRU", "A\"<&"));
    }
    EXPECT_EQ(1u, lib_.appendEvent(1, RaidEvent(215, 2)));
    EXPECT_EQ(41u, lib_.getNextEventNumber(0));

    char* text = static_cast<char*>(std::malloc(1));
    text[0] = '\0';
    const Addr controller0(0, U, U, U, U, Addr::kUnsetChunk, U, U);
    EXPECT_EQ(0, lib_.getEvents(controller0, 12, &text).getReturnCode());
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(40, lastEventNumber(text));
    EXPECT_EQ(0, std::strncmp(
                     text, "<RaidEvent eventNumber=\"12\" eventType=\"4\" eventCode=\"401\"", 56))
        << text;
    EXPECT_NE(nullptr, std::strstr(text, "deviceID=\"39\" FRU=\"A&quot;&lt;&amp;\"/>\n"));
    EXPECT_EQ(nullptr, std::strstr(text, "eventNumber=\"11\""));

    // Nothing new: the block is released and the pointer cleared.
    EXPECT_EQ(0, lib_.getEvents(controller0, 41, &text).getReturnCode());
    EXPECT_EQ(nullptr, text);
    // The other controller has its own numbering; an unknown one has nothing.
    EXPECT_EQ(
        0, lib_.getEvents(Addr(1, U, U, U, U, Addr::kUnsetChunk, U, U), 1, &text).getReturnCode());
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(1, lastEventNumber(text));
    lib_.getEvents(Addr(5, U, U, U, U, Addr::kUnsetChunk, U, U), 1, &text);
    EXPECT_EQ(nullptr, text);

    lib_.setNextEventNumber(0, 100);
    EXPECT_EQ(100u, lib_.appendEvent(0, RaidEvent(0, 1)));
    std::free(text);
}

// Records logged before the start time a run hands the library are not returned again.
TEST_F(VelmarLibTest, OnlyRecordsLoggedSinceTheStartTimeAreReturned) {
    int64_t now = 1000;
    lib_.setClock([&now] { return now; });
    lib_.appendEvent(0, RaidEvent(401, 4));  // logged at 1000
    now = 1005;
    lib_.appendEvent(0, RaidEvent(403, 1));  // logged at 1005
    lib_.appendEvent(0, RaidEvent(504, 4));
    lib_.SetTLXStartTime(1005);

    char* text = nullptr;
    lib_.getEvents(Addr(0, U, U, U, U, Addr::kUnsetChunk, U, U), 1, &text);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(nullptr, std::strstr(text, "eventNumber=\"1\""));
    EXPECT_NE(nullptr, std::strstr(text, "eventNumber=\"2\""));
    EXPECT_EQ(3, lastEventNumber(text));
    std::free(text);
}

TEST_F(VelmarLibTest, ModelChangesLogWhatTheControllerWouldLog) {
    ASSERT_TRUE(lib_.setDriveState(0, 0, 1, PD_STATE_DEFUNCT));
    ASSERT_TRUE(lib_.setDriveState(0, 0, 1, PD_STATE_DEFUNCT));  // no change, no record
    ASSERT_TRUE(lib_.setDriveState(0, 0, 1, PD_STATE_ONLINE));
    ASSERT_TRUE(lib_.setLogicalDriveState(0, 0, LD_STATE_CRITICAL));
    ASSERT_TRUE(lib_.setFanStatus(0, 0, 15, 1, SAFTE_FAN_MALFUNCTIONING));
    EXPECT_FALSE(lib_.setDriveState(0, 0, 9, PD_STATE_DEFUNCT));
    EXPECT_FALSE(lib_.setLogicalDriveState(0, 4, LD_STATE_OFFLINE));

    const auto& log = lib_.getEventLog(0);
    ASSERT_EQ(4u, log.size());
    EXPECT_EQ("401", log[0].get("eventCode"));
    EXPECT_EQ("1", log[0].get("deviceID"));
    EXPECT_EQ("403", log[1].get("eventCode"));
    EXPECT_EQ("301", log[2].get("eventCode"));
    EXPECT_EQ("0", log[2].get("logicalDriveID"));
    EXPECT_EQ("504", log[3].get("eventCode"));
    EXPECT_EQ("1", log[3].get("fanID"));
    EXPECT_EQ(4u, log[3].getEventNumber());
}

// A state change made while a monitor holds the current tree reaches that tree at its next
// library call, so the snapshot it writes shows the change; an added object does not.
TEST_F(VelmarLibTest, AttributeChangesFollowIntoTheCurrentTreeAndStructureWaits) {
    System* current = lib_.getNewSystem();
    ASSERT_TRUE(lib_.setDriveState(0, 0, 1, PD_STATE_DEFUNCT));
    ASSERT_TRUE(lib_.setLogicalDriveState(0, 0, LD_STATE_CRITICAL));
    ASSERT_TRUE(lib_.setFanStatus(0, 0, 15, 1, SAFTE_FAN_MALFUNCTIONING));
    TreeBuilder(lib_.getHardwareModel())
        .drive(static_cast<Channel*>(adapter_->getObject(0, U, U, 0, U)), 7);

    auto* drive = static_cast<HardDrive*>(current->getObject(0, U, U, 0, 1));
    EXPECT_EQ(PD_STATE_ONLINE, drive->getState());  // not before the monitor's next call
    ASSERT_EQ(current, lib_.getCurrentSystem());
    EXPECT_EQ(PD_STATE_DEFUNCT, drive->getState());
    EXPECT_EQ(LD_STATE_CRITICAL,
              static_cast<LogicalDrive*>(current->getObject(0, U, 0, U, U))->getState());
    EXPECT_EQ(SAFTE_FAN_MALFUNCTIONING,
              static_cast<Enclosure*>(current->getObject(0, U, U, 0, 15))->getFanStatus(1));
    EXPECT_EQ(nullptr, current->getObject(0, U, U, 0, 7));
    EXPECT_NE(nullptr, lib_.getNewSystem()->getObject(0, U, U, 0, 7));
}

TEST_F(VelmarLibTest, CurrentObjectsAndTasksComeFromTheLatestTree) {
    Addr ldAddr(0, U, 0, U, U, Addr::kUnsetChunk, U, U);
    EXPECT_EQ(nullptr, lib_.getCurrentObject(ldAddr));
    TreeBuilder::task(ld_, TASK_TYPE_REBUILD, TASK_STATE_RUNNING, 30);
    lib_.getNewSystem();
    RaidObject* found = lib_.getCurrentObject(ldAddr);
    ASSERT_NE(nullptr, found);
    EXPECT_TRUE(found->isInstanceOf("LogicalDrive"));
    EXPECT_NE(ld_, found);

    ProgressCollection tasks;
    lib_.getTasks(ldAddr, tasks);
    ASSERT_EQ(1, tasks.getProgressCount());
    EXPECT_EQ(TASK_TYPE_REBUILD, tasks.getProgress(0)->getType());
    EXPECT_EQ(30u, tasks.getProgress(0)->getPercent());

    ProgressCollection none;
    lib_.getTasks(Addr(0, U, U, 0, 1, Addr::kUnsetChunk, U, U), none);
    EXPECT_EQ(0, none.getProgressCount());
    ProgressCollection copy(tasks);
    EXPECT_EQ(1, copy.getProgressCount());
    EXPECT_NE(tasks.getProgress(0), copy.getProgress(0));
}

// A host thread changes the model (logging a record each time) while the monitor's thread
// copies trees and reads records; ThreadSanitizer reports a copy that is not locked out.
TEST_F(VelmarLibTest, AHostMayChangeTheModelWhileAMonitorPolls) {
    std::thread host([this] {
        for (int i = 0; i < 200; ++i) {
            lib_.setDriveState(0, 0, 1, i % 2 == 0 ? PD_STATE_DEFUNCT : PD_STATE_ONLINE);
        }
    });
    char* text = nullptr;
    ProgressCollection tasks;
    for (int i = 0; i < 200; ++i) {
        EXPECT_NE(nullptr, lib_.getNewSystem());
        lib_.getEvents(Addr(0, U, U, U, U, Addr::kUnsetChunk, U, U), 1, &text);
        lib_.getTasks(Addr(0, U, 0, U, U, Addr::kUnsetChunk, U, U), tasks);
        EXPECT_NE(nullptr, lib_.getCurrentSystem());
    }
    host.join();
    std::free(text);
    EXPECT_EQ(200u, lib_.getEventLog(0).size());
}

}  // namespace
