// A conforming XML parser (tinyxml2) reads the snapshots we write and finds the same
// elements, in the same order, with the same attribute values as our own tokenizer.
#if __has_include(<tinyxml2.h>)

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <string>
#include <utility>
#include <vector>

#include "snapshot/SimpleXmlParser.h"
#include "snapshot/SnapshotElement.h"
#include "snapshot/SnapshotTrees.h"
#include "snapshot/TLXConfigBuilder.h"
#include "support/TestHome.h"

namespace {

struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    int depth = 0;

    bool operator==(const Element& other) const {
        return name == other.name && attributes == other.attributes && depth == other.depth;
    }
};

std::ostream& operator<<(std::ostream& out, const Element& element) {
    out << std::string(static_cast<size_t>(element.depth), ' ') << element.name;
    for (const auto& attribute : element.attributes) {
        out << " " << attribute.first << "=" << attribute.second;
    }
    return out;
}

// Elements in document order as our tokenizer sees them, values with entities undone.
std::vector<Element> tokenize(std::string text) {
    std::vector<Element> elements;
    SimpleXmlParser parser(&text[0], static_cast<unsigned>(text.size()));
    int depth = 0;
    while (parser.next()) {
        const unsigned flags = parser.getFlags();
        if ((flags & SimpleXmlParser::kStart) != 0) {
            elements.push_back({parser.getElementName(), {}, depth++});
        }
        if ((flags & SimpleXmlParser::kAttribute) != 0) {
            elements.back().attributes.emplace_back(
                parser.getAttributeName(), SnapshotElement::unescape(parser.getAttributeValue()));
        }
        if ((flags & SimpleXmlParser::kEnd) != 0) {
            --depth;
        }
    }
    return elements;
}

void collect(const tinyxml2::XMLElement* element, int depth, std::vector<Element>& out) {
    for (; element != nullptr; element = element->NextSiblingElement()) {
        Element entry{element->Name(), {}, depth};
        for (auto* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
            entry.attributes.emplace_back(a->Name(), a->Value());
        }
        out.push_back(std::move(entry));
        collect(element->FirstChildElement(), depth + 1, out);
    }
}

class SnapshotConformance : public TestHome {
protected:
    void expectConforming(const std::string& text) {
        tinyxml2::XMLDocument document;
        ASSERT_EQ(document.Parse(text.c_str(), text.size()), tinyxml2::XML_SUCCESS)
            << document.ErrorStr();
        std::vector<Element> theirs;
        collect(document.FirstChildElement(), 0, theirs);
        EXPECT_EQ(theirs, tokenize(text));
        ASSERT_FALSE(theirs.empty());
        EXPECT_EQ(theirs.front().name, "System");
        EXPECT_EQ(document.FirstChildElement()->NextSiblingElement(), nullptr);
    }
};

TEST_F(SnapshotConformance, SmallTreeWithTextsToEscape) {
    SmallTree tree("VLM\xE9&'42'", "DISK<\"0\">");
    tree.sasDrive->setFirmwareLevel("FW\t12\n");
    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    builder.build(&tree.system, &tree.tasks);
    ASSERT_TRUE(builder.writeXML());
    const std::string text = readFile("TLXVLConfig.xml");

    tinyxml2::XMLDocument document;
    ASSERT_EQ(document.Parse(text.c_str(), text.size()), tinyxml2::XML_SUCCESS);
    const auto* controller = document.FirstChildElement("System")->FirstChildElement("Controller");
    ASSERT_NE(controller, nullptr);
    EXPECT_STREQ(controller->Attribute("controllerSerial"), "VLMi&'42'");
    const auto* drive = controller->FirstChildElement("Channel")->FirstChildElement("HardDrive");
    ASSERT_NE(drive, nullptr);
    EXPECT_STREQ(drive->Attribute("model"), "DISK<\"0\">");
    EXPECT_STREQ(drive->Attribute("firmwareLevel"), "FWDELIM12DELIM");
    EXPECT_STREQ(drive->Attribute("size"), "7814037168");

    expectConforming(text);
}

TEST_F(SnapshotConformance, EmptySystem) {
    TLXConfigBuilder builder(path("TLXVLConfig.xml"));
    builder.build(nullptr, nullptr);
    ASSERT_TRUE(builder.writeXML());
    EXPECT_EQ(readFile("TLXVLConfig.xml"), "<System>\n    <ProgressCollection/>\n</System>\n");
    expectConforming(readFile("TLXVLConfig.xml"));
}

}  // namespace

#endif  // __has_include(<tinyxml2.h>)
