#include "snapshot/XMLWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "raidlib/Addr.h"
#include "raidlib/Addr2.h"
#include "raidlib/RaidObject.h"
#include "snapshot/LimitedWriter.h"

namespace {

// Owns the caller's text pointer as the writer's users do, and frees it at the end.
class XMLWriterTest : public ::testing::Test {
protected:
    void TearDown() override { std::free(text_); }
    std::string text() const { return text_ ? text_ : ""; }
    char* text_ = nullptr;
};

// A library node with a name and one attribute, enough to shape trees for writeElement.
class Node : public RaidObject {
public:
    explicit Node(const char* name, int id = -1) : name_(name), id_(id) {}
    const char* serializedName() const override { return name_; }
    void writeTo(Writer* writer) override {
        if (id_ >= 0) {
            writer->writeAttribute("id", id_);
        }
    }

private:
    const char* name_;
    int id_;
};

TEST_F(XMLWriterTest, FixedWidthForms) {
    XMLWriter writer(&text_);
    writer.writeAttribute("c", '<');
    writer.writeAttribute("uc", static_cast<unsigned char>('"'));
    writer.writeAttribute("q", '\'');
    writer.writeAttribute("i", -5);
    writer.writeAttribute("u", 4000000000u);
    writer.writeAttribute("s", static_cast<int16_t>(-300));
    writer.writeAttribute("us", static_cast<uint16_t>(65535));
    writer.writeAttribute("l", -7L);
    writer.writeAttribute("ul", 7UL);
    writer.writeHexAttribute("h", 0xBEEFUL);
    writer.writeAttribute("f", 1.5f);
    writer.writeAttribute("d", -0.25);
    writer.writeAttribute("t", true);
    writer.writeAttribute("n", false);
    EXPECT_EQ(text(),
              " c=\"&lt;\" uc=\"&quot;\" q=\"&apos;\" i=\"-5\" u=\"4000000000\" s=\"-300\""
              " us=\"65535\" l=\"-7\" ul=\"7\" h=\"0xbeef\" f=\"1.500000\" d=\"-0.250000\""
              " t=\"true\" n=\"false\"");
    EXPECT_EQ(writer.getLength(), text().size());
}

TEST_F(XMLWriterTest, SixtyFourBitDecimals) {
    XMLWriter writer(&text_);
    writer.writeAttribute("zero", 0ULL);
    writer.writeAttribute("max", 18446744073709551615ULL);
    writer.writeAttribute("min", static_cast<long long>(-9223372036854775807LL - 1));
    writer.writeAttribute("neg", -42LL);
    writer.writeAttribute64("fwd", 12345ULL);
    EXPECT_EQ(text(),
              " zero=\"0\" max=\"18446744073709551615\" min=\"-9223372036854775808\" neg=\"-42\""
              " fwd=\"12345\"");
}

TEST_F(XMLWriterTest, TextValuesAreEscapedAndControlCharactersBecomeDelim) {
    XMLWriter writer(&text_);
    writer.writeAttribute("v", static_cast<const char*>("a<b&c\"d'e>f\tg\nh\xE9"));
    writer.writeAttribute("empty", static_cast<const char*>(nullptr));
    EXPECT_EQ(text(), " v=\"a&lt;b&amp;c&quot;d&apos;e&gt;fDELIMgDELIMh\xE9\" empty=\"\"");
}

TEST_F(XMLWriterTest, MutableTextLosesItsTopBitsInTheCallersString) {
    XMLWriter writer(&text_);
    char value[] = "caf\xE9<";
    writer.writeAttribute("v", value);
    EXPECT_EQ(std::string(value), "cafi<");
    EXPECT_EQ(text(), " v=\"cafi&lt;\"");
}

TEST_F(XMLWriterTest, AttributeTooLongForTheLineBufferIsWrittenWhole) {
    XMLWriter writer(&text_);
    const std::string name(100, 'n');
    writer.writeAttribute(name.c_str(), 123456789);
    writer.writeAttribute(name.c_str(), 18446744073709551615ULL);
    writer.writeAttribute("huge", 1e100);
    EXPECT_EQ(text(), " " + name + "=\"123456789\" " + name + "=\"18446744073709551615\"" +
                          " huge=\"" + std::to_string(1e100) + "\"");
}

TEST_F(XMLWriterTest, GrowthDoublesBelow64KiBThenAddsSteps) {
    XMLWriter writer(&text_);
    const std::string chunk(1000, 'x');
    std::vector<uint32_t> capacities{writer.getCapacity()};
    for (int i = 0; i < 150; ++i) {
        writer.writeRaw(chunk.c_str());
        if (writer.getCapacity() != capacities.back()) {
            capacities.push_back(writer.getCapacity());
        }
        ASSERT_EQ(std::strlen(text_), writer.getLength());  // caller's pointer is current
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{512, 1024, 2048, 4096, 8192, 16384, 32768, 65536,
                                                 131072, 196608}));
    EXPECT_EQ(writer.getLength(), 150000u);
}

TEST_F(XMLWriterTest, WriterWithoutFirstBlockWritesNothing) {
    text_ = static_cast<char*>(std::malloc(16));
    LimitedWriter writer(&text_, 0);
    EXPECT_EQ(text_, nullptr);
    LimitedWriter::setAllowed(100);  // later allocations would succeed; there is nothing to grow
    writer.writeRaw(std::string(2000, 'x').c_str());
    writer.writeAttribute("a", 1);
    writer.writeAttribute("t", static_cast<const char*>("text"));
    EXPECT_EQ(text_, nullptr);
    EXPECT_EQ(writer.getCapacity(), 0u);
    EXPECT_EQ(writer.getLength(), 0u);
    EXPECT_FALSE(writer.isComplete());
}

TEST_F(XMLWriterTest, FailedGrowthDropsThePieceAndKeepsTheText) {
    LimitedWriter writer(&text_, 1);
    writer.writeRaw("kept");
    EXPECT_TRUE(writer.isComplete());
    writer.writeRaw(std::string(600, 'x').c_str());  // needs a second block, which fails
    EXPECT_FALSE(writer.isComplete());
    writer.writeAttribute("t", static_cast<const char*>("v"));  // fits: needs no block
    writer.writeRaw("!");
    EXPECT_EQ(text(), "kept t=\"v\"!");
    EXPECT_EQ(writer.getCapacity(), 512u);
}

TEST_F(XMLWriterTest, WriteBytesFlushesTheLineBuffer) {
    XMLWriter writer(&text_);
    const unsigned char pair[] = {0x0A, 0xFF};
    writer.writeBytes("b", pair, 2);
    writer.writeBytes("e", pair, 0);
    std::vector<unsigned char> many(45);
    std::string expected;
    for (size_t i = 0; i < many.size(); ++i) {
        many[i] = static_cast<unsigned char>(i * 7);
        char hex[4];
        std::snprintf(hex, sizeof(hex), "%02x", many[i]);
        expected += (i ? " " : "") + std::string(hex);
    }
    writer.writeBytes("m", many.data(), many.size());
    EXPECT_EQ(text(), " b=\"0a ff\" e=\"\" m=\"" + expected + "\"");
}

TEST_F(XMLWriterTest, AddressAttributesSkipUnsetIdsUnlessAllAreAsked) {
    XMLWriter writer(&text_);
    Addr controllerOnly;
    controllerOnly.setAdapterID(0);
    writer.writeAddrAttributes(controllerOnly);
    EXPECT_EQ(text(), " controllerID=\"0\"");

    XMLWriter full(&text_);
    const Addr all(1, 2, 3, 4, 5, 6, 7, 8);
    full.writeAddr(all);
    full.writeAllAddrAttributes(Addr());
    EXPECT_EQ(text(),
              "<Addr controllerID=\"1\" arrayID=\"2\" logicalDriveID=\"3\" channelID=\"4\""
              " deviceID=\"5\" chunkID=\"6\" itemID=\"7\" phyID=\"8\"/>"
              " controllerID=\"2147483647\" arrayID=\"2147483647\""
              " logicalDriveID=\"2147483647\" channelID=\"2147483647\""
              " deviceID=\"2147483647\" chunkID=\"9223372036854775807\""
              " itemID=\"2147483647\" phyID=\"2147483647\"");
}

TEST_F(XMLWriterTest, Addr2WritesItsLibraryType) {
    XMLWriter writer(&text_);
    Addr device;
    device.setDeviceID(9);
    writer.writeAddr2(Addr2(device, 3));
    writer.writeAddr2Attributes(Addr2(device, 0));
    writer.writeAllAddr2Attributes(Addr2(device, 0));
    EXPECT_EQ(text(),
              "<Addr brixlibType=\"3\" deviceID=\"9\"/> deviceID=\"9\" brixlibType=\"0\""
              " controllerID=\"2147483647\" arrayID=\"2147483647\""
              " logicalDriveID=\"2147483647\" channelID=\"2147483647\" deviceID=\"9\""
              " chunkID=\"9223372036854775807\" itemID=\"2147483647\" phyID=\"2147483647\"");
}

TEST_F(XMLWriterTest, ElementsAreIndentedFourSpacesPerLevel) {
    Node root("System");
    auto* controller = new Node("Controller", 0);
    controller->addChild(new Node("Channel", 1));
    controller->addChild(new Node("LogicalDrive"));
    root.addChild(controller);
    root.addChild(new Node("ProgressCollection"));

    XMLWriter writer(&text_);
    writer.writeElement(&root);
    EXPECT_EQ(text(),
              "<System>\n"
              "    <Controller id=\"0\">\n"
              "        <Channel id=\"1\"/>\n"
              "        <LogicalDrive/>\n"
              "    </Controller>\n"
              "    <ProgressCollection/>\n"
              "</System>\n");

    Node single("Lone", 3);
    XMLWriter again(&text_);
    again.writeObject(&single);
    EXPECT_EQ(text(), "<Lone id=\"3\"/>");
}

TEST_F(XMLWriterTest, DeepIndentationIsCapped) {
    Node root("L0");
    RaidObject* parent = &root;
    for (int level = 1; level <= 17; ++level) {
        auto* child = new Node("L");
        parent->addChild(child);
        parent = child;
    }
    XMLWriter writer(&text_);
    writer.writeElement(&root);

    std::vector<std::string> lines;
    std::string all = text();
    for (size_t start = 0, end; (end = all.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(all.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 35u);
    const auto indent = [](const std::string& line) { return line.find_first_not_of(' '); };
    EXPECT_EQ(indent(lines[15]), 60u);                    // level 15 opens at 60
    EXPECT_EQ(indent(lines[16]), 62u);                    // level 16 (64 spaces) capped at 62
    EXPECT_EQ(lines[17], std::string(62, ' ') + "<L/>");  // level 17 (68) capped at 62
    EXPECT_EQ(lines[18], std::string(61, ' ') + "</L>");  // level 16 closes, capped at 61
    EXPECT_EQ(indent(lines[19]), 60u);
    EXPECT_EQ(lines.back(), "</L0>");
}

}  // namespace
