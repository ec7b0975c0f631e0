// Reading snapshot files that our writer would not produce, or only rarely: empty and
// missing files, partial SAF-TE data, foreign IDs, unknown and malformed markup; and
// writing when the file cannot be replaced.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "snapshot/LimitedWriter.h"
#include "snapshot/TLXAdapter.h"
#include "snapshot/TLXChannel.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXEnclosure.h"
#include "snapshot/TLXHardDrive.h"
#include "snapshot/TLXProgressCollection.h"
#include "snapshot/TLXSystem.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

namespace {

class SnapshotReader : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        builder_.reset(new TLXConfigBuilder(path("TLXVLConfig.xml")));
    }

    const TLXSystem* read(const std::string& xml) {
        writeFile("TLXVLConfig.xml", xml);
        EXPECT_TRUE(builder_->readXML());
        return builder_->getSystem();
    }

    // The single enclosure of controller 0, channel 0.
    const TLXEnclosure* readEnclosure(const std::string& enclosureXml) {
        const TLXSystem* system = read(
            "<System><Controller controllerID=\"0\"><Channel "
            "channelID=\"0\">" +
            enclosureXml + "</Channel></Controller></System>");
        const RaidObject* channel = system->getChild(0)->getChild(0);
        return dynamic_cast<const TLXEnclosure*>(channel->getChild(0));
    }

    std::unique_ptr<TLXConfigBuilder> builder_;
};

TEST_F(SnapshotReader, EmptySystemAndMissingFileGiveAnEmptyTree) {
    const TLXSystem* system = read("<System/>\n");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->getChildCount(), 0);

    read("<System><Controller controllerID=\"3\"/><ProgressCollection/></System>");
    ASSERT_EQ(builder_->getSystem()->getChildCount(), 2);
    // The file is gone: the tree is empty, not the one of the previous read.
    fs::remove(path("TLXVLConfig.xml"));
    EXPECT_FALSE(builder_->readXML());
    ASSERT_NE(builder_->getSystem(), nullptr);
    EXPECT_EQ(builder_->getSystem()->getChildCount(), 0);

    TLXConfigBuilder noPath("");
    EXPECT_FALSE(noPath.readXML());
    EXPECT_EQ(noPath.getSystem()->getChildCount(), 0);
}

TEST_F(SnapshotReader, EnclosureWithOnlySafteConfigHasNoValidData) {
    const TLXEnclosure* enclosure = readEnclosure(
        "<Enclosure deviceID=\"8\" tlxSafteDataValid=\"true\">"
        "<SafteConfig fanCount=\"4\" powerSupplyCount=\"2\" slotCount=\"8\"/></Enclosure>");
    ASSERT_NE(enclosure, nullptr);
    EXPECT_FALSE(enclosure->tlxSafteDataValid);
    EXPECT_EQ(enclosure->getChildCount(), 1);
    EXPECT_EQ(enclosure->getSafteFanCount(), 0);
    EXPECT_EQ(enclosure->getSaftePowerSupplyCount(), 0);
    EXPECT_EQ(enclosure->getSafteFanStatus(0), 0x80);
    EXPECT_EQ(enclosure->getSaftePowerSupplyStatus(0), 0x80);
}

TEST_F(SnapshotReader, MissingSafteStatusAttributesReadAsZero) {
    const TLXEnclosure* enclosure = readEnclosure(
        "<Enclosure deviceID=\"8\"><SafteConfig fanCount=\"6\" powerSupplyCount=\"1\"/>"
        "<SafteStatus fan4=\"1\" powerSupply0=\"17\" tempFlags1=\"0\"/></Enclosure>");
    ASSERT_NE(enclosure, nullptr);
    EXPECT_TRUE(enclosure->tlxSafteDataValid);
    EXPECT_EQ(enclosure->getSafteFanCount(), 6);
    EXPECT_EQ(enclosure->getSafteFanStatus(4), 1);
    EXPECT_EQ(enclosure->getSafteFanStatus(5), 0);  // not the 0x80 of a new object
    EXPECT_EQ(enclosure->getSaftePowerSupplyStatus(0), 17);
    // Indexes are taken as unsigned 16-bit: -1 is 65535, past the table.
    EXPECT_EQ(enclosure->getSafteFanStatus(-1), 0x80);
    EXPECT_EQ(enclosure->getSafteFanStatus(32), 0x80);
    EXPECT_FALSE(enclosure->isTempOutOfRange());
}

TEST_F(SnapshotReader, DevicesTakeTheirParentsIDs) {
    const TLXSystem* system = read(
        "<System>\n<Controller controllerID=\"2\" LDPath=\"C:\\x\" batTempWarning=\"1\" "
        "controllerStatus=\"99\">\n"
        "<Channel controllerID=\"9\" channelID=\"1\">\n"
        "<HardDrive controllerID=\"9\" channelID=\"7\" deviceID=\"3\" size='4294967296'/>\n"
        "</Channel>\n<LogicalDrive controllerID=\"9\" logicalDriveID=\"4\"/>\n"
        "</Controller>\n</System>\n");
    ASSERT_EQ(system->getChildCount(), 1);
    auto* adapter = dynamic_cast<TLXAdapter*>(system->getChild(0));
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(adapter->getAdapterID(), 2u);
    EXPECT_TRUE(adapter->IsBatTempWarning());
    EXPECT_EQ(adapter->getLDPath(), "");  // written, never read
    // A status number the enumeration has no name for is kept as it stands.
    EXPECT_EQ(static_cast<int>(adapter->getAdapterStatus()), 99);
    ASSERT_EQ(adapter->getChildCount(), 2);
    const RaidObject* channel = adapter->getChild(0);
    EXPECT_EQ(channel->getAdapterID(), 2u);
    auto* drive = dynamic_cast<const TLXHardDrive*>(channel->getChild(0));
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->getAdapterID(), 2u);
    EXPECT_EQ(drive->getChannelID(), 1u);
    EXPECT_EQ(drive->getDeviceID(), 3u);
    EXPECT_EQ(drive->getSize(), 4294967296ULL);  // attribute in apostrophes
    EXPECT_EQ(adapter->getChild(1)->getAdapterID(), 2u);
    EXPECT_EQ(adapter->getChild(1)->getLogicalDriveID(), 4u);
}

TEST_F(SnapshotReader, UnknownMarkupIsSkippedAndMalformedMarkupKeepsWhatWasRead) {
    // Unknown elements, attributes, bare attributes, text, a stray end tag of a child kind
    // and a 0xFF byte are all passed over.
    const TLXSystem* system = read(
        "<System x=\"1\">junk\xFF<Extra a=\"b\"><Controller controllerID=\"5\"/></Extra>"
        "<Controller controllerID=\"1\" bare><Channel channelID=\"0\"></HardDrive>"
        "<Foo/></Channel></Controller>\xFF<ProgressCollection><Progress taskID=\"3\"/>"
        "</ProgressCollection></System>");
    ASSERT_EQ(system->getChildCount(), 3);
    EXPECT_EQ(system->getChild(0)->getAdapterID(), 5u);
    EXPECT_EQ(system->getChild(1)->getAdapterID(), 1u);
    EXPECT_EQ(system->getChild(1)->getChild(0)->getChildCount(), 0);
    EXPECT_EQ(system->getChild(2)->getChildCount(), 1);

    // An unquoted value stops the read; the controllers completed before it stay.
    system = read("<System><Controller controllerID=\"1\"/><Controller controllerID=2/></System>");
    ASSERT_EQ(system->getChildCount(), 1);
    EXPECT_EQ(system->getChild(0)->getAdapterID(), 1u);

    // A file cut inside a tag ends the read with what was built.
    system = read("<System><Controller controllerID=\"1\"><Channel channelID=\"0\"><HardDr");
    ASSERT_EQ(system->getChildCount(), 1);
    EXPECT_EQ(system->getChild(0)->getChildCount(), 1);
}

TEST_F(SnapshotReader, OnlyATextThatReachesTheRootsEndIsWhole) {
    const std::string kWhole =
        "<System>\n    <Controller controllerID=\"1\" controllerSerial=\"S1\"/>\n"
        "    <ProgressCollection/>\n</System>\n";
    const struct {
        std::string text;
        bool whole;
    } kCases[] = {
        {kWhole, true},
        {"<System/>\n", true},
        {kWhole + "trailing junk <", true},                        // nothing after the root is read
        {kWhole.substr(0, kWhole.size() - 3), false},              // cut inside the root's end tag
        {kWhole.substr(0, kWhole.find("</System>")), false},       // cut before it
        {kWhole.substr(0, kWhole.find("S1")), false},              // cut inside an attribute value
        {kWhole.substr(0, kWhole.find("Progress")), false},        // cut inside a start tag
        {"<System><Controller controllerID=1/></System>", false},  // malformed
        {"<System></Controller></Channel>", false},  // stray end tags do not close the root
        {"", false},
    };
    for (const auto& c : kCases) {
        read(c.text);
        EXPECT_EQ(builder_->wasReadWhole(), c.whole) << c.text;
    }
    fs::remove(path("TLXVLConfig.xml"));
    EXPECT_FALSE(builder_->readXML());
    EXPECT_FALSE(builder_->wasReadWhole());
}

TEST_F(SnapshotReader, DeepNestingDoesNotRecurse) {
    std::string xml = "<System>";
    for (int i = 0; i < 100000; ++i) {
        xml += "<Controller><Channel><Enclosure><SafteConfig>";
    }
    const TLXSystem* system = read(xml);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->getChildCount(), 1);
}

TEST_F(SnapshotReader, WriteWithoutBuildWritesAnEmptySystem) {
    ASSERT_TRUE(builder_->writeXML());
    EXPECT_EQ(readFile("TLXVLConfig.xml"), "<System/>\n");
}

class SnapshotWriteFailure : public TestHome {
protected:
    // Names of the files in the home directory.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(home())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    void buildOneController(TLXConfigBuilder& builder) {
        System live;
        auto* adapter = new Adapter();
        adapter->setAdapterID(0);
        adapter->setDeviceName(std::string(600, 'n'));  // outgrows the writer's first block
        live.addChild(adapter);
        builder.build(&live, nullptr);
    }
};

TEST_F(SnapshotWriteFailure, TargetThatCannotBeReplacedStaysAndNoTemporaryIsLeft) {
    fs::create_directory(path("TLXVLConfig.xml"));
    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    buildOneController(builder);
    EXPECT_FALSE(builder.writeXML());
    EXPECT_TRUE(fs::is_directory(path("TLXVLConfig.xml")));
    EXPECT_EQ(files(), std::vector<std::string>{"TLXVLConfig.xml"});
    EXPECT_EQ(builder.getSystem(), nullptr);

    TLXConfigBuilder nowhere(path("missing/TLXVLConfig.xml"));
    EXPECT_FALSE(nowhere.writeXML());
    EXPECT_EQ(files(), std::vector<std::string>{"TLXVLConfig.xml"});
}

// A builder whose writer gets `blocks` successful allocations.
class ShortOfMemoryBuilder : public TLXConfigBuilder {
public:
    ShortOfMemoryBuilder(std::string path, int blocks)
        : TLXConfigBuilder(std::move(path)), blocks_(blocks) {}

protected:
    std::unique_ptr<XMLWriter> newWriter(char** text) const override {
        return std::unique_ptr<XMLWriter>(new LimitedWriter(text, blocks_));
    }

private:
    int blocks_;
};

TEST_F(SnapshotWriteFailure, TextCutForWantOfMemoryKeepsThePreviousSnapshot) {
    writeFile("TLXVLConfig.xml", "<System/>\n");
    // One block: the controller's line does not fit into it and the growth fails; none: not
    // even the first block.
    for (int blocks : {1, 0}) {
        ShortOfMemoryBuilder builder(path("TLXVLConfig.xml"), blocks);
        buildOneController(builder);
        EXPECT_FALSE(builder.writeXML());
        EXPECT_EQ(builder.getSystem(), nullptr);
        EXPECT_EQ(readFile("TLXVLConfig.xml"), "<System/>\n");
        EXPECT_EQ(files(), std::vector<std::string>{"TLXVLConfig.xml"});
    }
    ShortOfMemoryBuilder enough(path("TLXVLConfig.xml"), 100);
    buildOneController(enough);
    EXPECT_TRUE(enough.writeXML());
    EXPECT_NE(readFile("TLXVLConfig.xml"), "<System/>\n");
}

// A live object that cannot be looked at for want of memory.
class FailingDrive : public HardDrive {
public:
    bool isInstanceOf(const char*) const override { throw std::bad_alloc(); }
};

TEST_F(SnapshotWriteFailure, CopyCutForWantOfMemoryKeepsThePreviousSnapshot) {
    writeFile("TLXVLConfig.xml", "<System/>\n");
    System live;
    auto* adapter = new Adapter();
    live.addChild(adapter);
    auto* channel = new Channel(adapter);
    adapter->addChild(channel);
    channel->addChild(new HardDrive(adapter, channel));
    channel->addChild(new FailingDrive());
    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    builder.build(&live, nullptr);
    EXPECT_FALSE(builder.writeXML());
    EXPECT_EQ(readFile("TLXVLConfig.xml"), "<System/>\n");
    EXPECT_EQ(files(), std::vector<std::string>{"TLXVLConfig.xml"});

    // The next complete copy is written again.
    buildOneController(builder);
    EXPECT_TRUE(builder.writeXML());
    EXPECT_NE(readFile("TLXVLConfig.xml"), "<System/>\n");
}

TEST_F(SnapshotWriteFailure, UnwritableDirectoryKeepsThePreviousSnapshot) {
    writeFile("TLXVLConfig.xml", "<System/>\n");
    fs::permissions(home(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool probeWritten = std::ofstream(path("probe")).good();
    if (probeWritten) {
        fs::permissions(home(), fs::perms::owner_all);
        GTEST_SKIP() << "directory permissions are not enforced for this user";
    }
    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    buildOneController(builder);
    EXPECT_FALSE(builder.writeXML());
    fs::permissions(home(), fs::perms::owner_all);
    EXPECT_EQ(readFile("TLXVLConfig.xml"), "<System/>\n");
    EXPECT_EQ(files(), std::vector<std::string>{"TLXVLConfig.xml"});
}

}  // namespace
