// Reading snapshot files that our writer would not produce, or only rarely: empty, missing,
// cut and damaged files, partial SAF-TE data, foreign IDs, unknown markup; and writing when
// the file cannot be replaced or memory runs out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include "raidlib/raidlib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXEnclosure.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"
#include "support/TestHome.h"

namespace fs = std::filesystem;

namespace {

// A read tree as one line: each object's element name, the IDs it answers that are set
// (a: controller, c: channel, d: device, l: logical drive) and its children in brackets.
std::string shape(const RaidObject& object) {
    std::string out = object.serializedName();
    const std::pair<const char*, uint32_t> ids[] = {{" a", object.getAdapterID()},
                                                    {" c", object.getChannelID()},
                                                    {" d", object.getDeviceID()},
                                                    {" l", object.getLogicalDriveID()}};
    for (const auto& [letter, id] : ids) {
        out += id != Addr::kUnset ? letter + std::to_string(id) : "";
    }
    for (int i = 0; i < object.getChildCount(); ++i) {
        out += (i == 0 ? "(" : ", ") + shape(*object.getChild(i));
    }
    return out + (object.getChildCount() > 0 ? ")" : "");
}

class SnapshotReader : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        builder_ = std::make_unique<TLXConfigBuilder>(path("TLXVLConfig.xml"));
    }

    const TLXSystem& read(const std::string& xml) {
        writeFile("TLXVLConfig.xml", xml);
        EXPECT_TRUE(builder_->readXML());
        return *builder_->getSystem();
    }

    std::unique_ptr<TLXConfigBuilder> builder_;
};

// What is kept of each text, and whether it was whole: parsed without malformed markup up to
// the root's end tag, so that the front of a cut or damaged file is not taken for the stored
// configuration.
TEST_F(SnapshotReader, WhatIsReadAndWhetherTheTextWasWhole) {
    const std::string kWhole =
        "<System>\n    <Controller controllerID=\"1\" controllerSerial=\"S1\"/>\n"
        "    <ProgressCollection/>\n</System>\n";
    std::string deep = "<System>";
    for (int i = 0; i < 100000; ++i) {
        deep += "<Controller><Channel><Enclosure><SafteConfig>";  // must not recurse
    }
    // clang-format off
    const struct { std::string text; bool whole; const char* shape; } kCases[] = {
        {"<System/>\n", true, "System"},
        {kWhole, true, "System(Controller a1, ProgressCollection)"},
        {kWhole + "trailing junk <", true, "System(Controller a1, ProgressCollection)"},
        {kWhole.substr(0, kWhole.size() - 3), false, "System(Controller a1, ProgressCollection)"},
        {kWhole.substr(0, kWhole.find("</System>")), false, "System(Controller a1, ProgressCollection)"},
        {kWhole.substr(0, kWhole.find("S1")), false, "System(Controller a1)"},
        {kWhole.substr(0, kWhole.find("Progress")), false, "System(Controller a1)"},
        {"<System><Controller controllerID=\"1\"><Channel channelID=\"0\"><HardDr", false,
         "System(Controller a1(Channel a1 c0))"},
        {"", false, "System"},
        // Stray end tags neither close the root nor add objects.
        {"<System></Controller></Channel>", false, "System"},
        // An unquoted value stops the read; the controllers completed before it stay.
        {"<System><Controller controllerID=\"1\"/><Controller controllerID=2/></System>", false,
         "System(Controller a1)"},
        // Unknown elements, attributes, bare attributes, text, a stray end tag of a child kind
        // and 0xFF bytes are passed over.
        {"<System x=\"1\">junk\xFF<Extra a=\"b\"><Controller controllerID=\"5\"/></Extra>"
         "<Controller controllerID=\"1\" bare><Channel channelID=\"0\"></HardDrive><Foo/></Channel>"
         "</Controller>\xFF<ProgressCollection><Progress taskID=\"3\"/></ProgressCollection></System>",
         true, "System(Controller a5, Controller a1(Channel a1 c0), ProgressCollection(Progress))"},
        // The IDs of the enclosing elements win over the device's own.
        {"<System><Controller controllerID=\"2\"><Channel controllerID=\"9\" channelID=\"1\">"
         "<HardDrive controllerID=\"9\" channelID=\"7\" deviceID=\"3\"/></Channel>"
         "<LogicalDrive controllerID=\"9\" logicalDriveID=\"4\"/></Controller></System>", true,
         "System(Controller a2(Channel a2 c1(HardDrive a2 c1 d3), LogicalDrive a2 l4))"},
        {deep, false, "System(Controller(Channel(Enclosure(SafteConfig))))"},
    };
    // clang-format on
    TLXConfigBuilder memory("");  // the same text read from memory gives the same tree
    for (const auto& c : kCases) {
        EXPECT_EQ(shape(read(c.text)), c.shape) << c.text.substr(0, 200);
        EXPECT_EQ(builder_->wasReadWhole(), c.whole) << c.text.substr(0, 200);
        EXPECT_TRUE(memory.readXMLText(c.text));
        EXPECT_EQ(shape(*memory.getSystem()), c.shape) << c.text.substr(0, 200);
        EXPECT_EQ(memory.wasReadWhole(), c.whole) << c.text.substr(0, 200);
    }
    // A number no enumerator names is kept as it stands.
    const auto* adapter = dynamic_cast<const Adapter*>(
        read("<System><Controller controllerStatus=\"99\"/></System>").getChild(0));
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(static_cast<int>(adapter->getAdapterStatus()), 99);

    // The file is gone: the tree is empty, not the one of the previous read.
    fs::remove(path("TLXVLConfig.xml"));
    EXPECT_FALSE(builder_->readXML());
    EXPECT_FALSE(builder_->wasReadWhole());
    EXPECT_EQ(shape(*builder_->getSystem()), "System");
    TLXConfigBuilder noPath("");
    EXPECT_FALSE(noPath.readXML());
    EXPECT_EQ(shape(*noPath.getSystem()), "System");
}

// SAF-TE data is valid only with both its config and its status, whatever the file says:
// validity, fan and power supply counts, fans 4 and 5, power supply 0 and whether the
// temperature is out of range.
TEST_F(SnapshotReader, SafteDataOfAnEnclosure) {
    // clang-format off
    const std::pair<const char*, const char*> kCases[] = {
        {"<SafteConfig fanCount=\"4\" powerSupplyCount=\"2\"/>", "0 0 0 128 128 128 0"},
        {"<SafteConfig fanCount=\"6\" powerSupplyCount=\"1\"/><SafteStatus fan4=\"1\" "
         "powerSupply0=\"17\" tempFlags1=\"0\"/>", "1 6 1 1 0 17 0"},
        {"<SafteConfig/><SafteStatus tempFlags2=\"4\"/>", "1 0 0 0 0 0 1"},
    };
    // clang-format on
    for (const auto& [children, expected] : kCases) {
        const TLXSystem& system = read(
            std::string("<System><Controller><Channel><Enclosure tlxSafteDataValid=\"true\">") +
            children + "</Enclosure></Channel></Controller></System>");
        const auto* e =
            dynamic_cast<const TLXEnclosure*>(system.getChild(0)->getChild(0)->getChild(0));
        ASSERT_NE(e, nullptr);
        std::string safte;
        for (int value :
             {int{e->tlxSafteDataValid}, e->getSafteFanCount(), e->getSaftePowerSupplyCount(),
              int{e->getSafteFanStatus(4)}, int{e->getSafteFanStatus(5)},
              int{e->getSaftePowerSupplyStatus(0)}, int{e->isTempOutOfRange()}}) {
            safte += (safte.empty() ? "" : " ") + std::to_string(value);
        }
        EXPECT_EQ(safte, expected) << children;
    }
}

// A builder whose writer gets `blocks` successful allocations.
class ShortOfMemoryBuilder : public TLXConfigBuilder {
public:
    ShortOfMemoryBuilder(std::string path, int blocks) : TLXConfigBuilder(std::move(path)) {
        allowed_ = blocks;
    }

protected:
    std::unique_ptr<XMLWriter> newWriter(char** text) const override {
        struct Limited : XMLWriter {
            explicit Limited(char** text) : XMLWriter(text, &allocate) {}
        };
        return std::make_unique<Limited>(text);
    }

private:
    static void* allocate(void* block, size_t size) {
        return allowed_-- > 0 ? std::realloc(block, size) : nullptr;
    }
    static inline int allowed_ = 0;
};

// A live object that cannot be looked at for want of memory.
class FailingDrive : public HardDrive {
public:
    bool isInstanceOf(const char*) const override { throw std::bad_alloc(); }
};

class SnapshotWriteFailure : public TestHome {
protected:
    void SetUp() override {
        TestHome::SetUp();
        writeFile("TLXVLConfig.xml", "<System/>\n");
    }

    // Writes one controller whose line outgrows the writer's first block.
    bool writeOneController(TLXConfigBuilder& builder, bool failing = false) {
        System live;
        ModelBuilder build(&live);
        Adapter* adapter = build.adapter(0);
        adapter->setDeviceName(std::string(600, 'n'));
        if (failing) {
            Channel* channel = build.channel(adapter, 0);
            build.drive(channel, 0);
            channel->addChild(new FailingDrive());
        }
        builder.build(&live, nullptr);
        return builder.writeXML();
    }
};

// A text or copy cut short for want of memory is not written over the previous snapshot (a
// rename that fails is injected in tests/monitor/FileFaultsTest.cpp). A builder that never
// built writes an empty system.
TEST_F(SnapshotWriteFailure, WantOfMemoryKeepsThePreviousSnapshot) {
    fs::remove(path("TLXVLConfig.xml"));
    ASSERT_TRUE(TLXConfigBuilder(path("TLXVLConfig.xml")).writeXML());
    EXPECT_EQ(readFile("TLXVLConfig.xml"), "<System/>\n");
    for (int blocks : {1, 0}) {  // the controller's line does not fit; not even a first block
        ShortOfMemoryBuilder builder(path("TLXVLConfig.xml"), blocks);
        EXPECT_FALSE(writeOneController(builder));
        EXPECT_EQ(readFile("TLXVLConfig.xml"), "<System/>\n");
    }
    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    EXPECT_FALSE(writeOneController(builder, true));
    EXPECT_EQ(readFile("TLXVLConfig.xml"), "<System/>\n");
    EXPECT_TRUE(writeOneController(builder));  // the next complete copy is written again
    EXPECT_NE(readFile("TLXVLConfig.xml"), "<System/>\n");
}

}  // namespace
