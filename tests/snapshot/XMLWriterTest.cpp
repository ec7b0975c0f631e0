#include "snapshot/XMLWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "raidlib/Addr.h"
#include "raidlib/Addr2.h"
#include "raidlib/RaidObject.h"

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

TEST_F(XMLWriterTest, EveryAttributeForm) {
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
    writer.writeAttribute("max", 18446744073709551615ULL);
    writer.writeAttribute("min", static_cast<long long>(-9223372036854775807LL - 1));
    writer.writeAttribute64("fwd", 0ULL);
    writer.writeAttribute("v", static_cast<const char*>("a<b&c\"d'e>f\tg\nh\xE9"));
    writer.writeAttribute("e", static_cast<const char*>(nullptr));
    char mutableText[] = "caf\xE9<";
    writer.writeAttribute("m", mutableText);
    // Attributes too long for the line buffer are written whole.
    const std::string name(100, 'n');
    writer.writeAttribute(name.c_str(), 123456789);
    writer.writeAttribute(name.c_str(), 18446744073709551615ULL);
    writer.writeAttribute("huge", 1e100);
    EXPECT_EQ(text(),
              " c=\"&lt;\" uc=\"&quot;\" q=\"&apos;\" i=\"-5\" u=\"4000000000\" s=\"-300\""
              " us=\"65535\" l=\"-7\" ul=\"7\" h=\"0xbeef\" f=\"1.500000\" d=\"-0.250000\""
              " t=\"true\" n=\"false\" max=\"18446744073709551615\" min=\"-9223372036854775808\""
              " fwd=\"0\" v=\"a&lt;b&amp;c&quot;d&apos;e&gt;fDELIMgDELIMh\xE9\" e=\"\""
              " m=\"cafi&lt;\" " +
                  name + "=\"123456789\" " + name + "=\"18446744073709551615\" huge=\"" +
                  std::to_string(1e100) + "\"");
    EXPECT_EQ(writer.getLength(), text().size());
    EXPECT_EQ(std::string(mutableText), "cafi<");  // the caller's text loses its top bits
}

TEST_F(XMLWriterTest, BytesAndAddresses) {
    XMLWriter writer(&text_);
    const unsigned char pair[] = {0x0A, 0xFF};
    writer.writeBytes("b", pair, 2);
    writer.writeBytes("e", pair, 0);
    const std::vector<unsigned char> many(45, 0xAB);  // past the line buffer's flush
    writer.writeBytes("m", many.data(), many.size());
    Addr controllerOnly, device;
    controllerOnly.setAdapterID(0);
    device.setDeviceID(9);
    const Addr all(1, 2, 3, 4, 5, 6, 7, 8);
    writer.writeAddrAttributes(controllerOnly);
    writer.writeAddr(all);
    writer.writeAllAddrAttributes(Addr());
    writer.writeAddr2(Addr2(device, 3));
    writer.writeAddr2Attributes(Addr2(device, 0));
    writer.writeAllAddr2Attributes(Addr2(all, 0));
    std::string bytes = "ab";
    for (int i = 1; i < 45; ++i) {
        bytes += " ab";
    }
    const std::string set =
        " controllerID=\"1\" arrayID=\"2\" logicalDriveID=\"3\" channelID=\"4\" deviceID=\"5\""
        " chunkID=\"6\" itemID=\"7\" phyID=\"8\"";
    EXPECT_EQ(text(),
              " b=\"0a ff\" e=\"\" m=\"" + bytes + "\" controllerID=\"0\"<Addr" + set +
                  "/> controllerID=\"2147483647\" arrayID=\"2147483647\""
                  " logicalDriveID=\"2147483647\" channelID=\"2147483647\""
                  " deviceID=\"2147483647\" chunkID=\"9223372036854775807\""
                  " itemID=\"2147483647\" phyID=\"2147483647\""
                  "<Addr brixlibType=\"3\" deviceID=\"9\"/> deviceID=\"9\" brixlibType=\"0\"" +
                  set);
}

// The snapshot's golden file shows four spaces per level; deeper levels stop at a cap.
TEST_F(XMLWriterTest, IndentationStopsAtACap) {
    Node single("Lone", 3);
    XMLWriter(&text_).writeObject(&single);
    EXPECT_EQ(text(), "<Lone id=\"3\"/>");

    // A chain 17 levels deep: start tags are indented 62 spaces at most, end tags 61.
    Node deep("L0");
    RaidObject* parent = &deep;
    for (int level = 1; level <= 17; ++level) {
        parent->addChild(new Node("L"));
        parent = parent->getChild(0);
    }
    XMLWriter(&text_).writeElement(&deep);
    std::string expected = "<L0>\n";
    for (int level = 1; level < 17; ++level) {
        expected += std::string(std::min(4 * level, 62), ' ') + "<L>\n";
    }
    expected += std::string(62, ' ') + "<L/>\n";
    for (int level = 16; level > 0; --level) {
        expected += std::string(std::min(4 * level, 61), ' ') + "</L>\n";
    }
    EXPECT_EQ(text(), expected + "</L0>\n");
}

}  // namespace
