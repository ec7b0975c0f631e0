#include "snapshot/SimpleXmlParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "snapshot/SimpleXmlException.h"

namespace {

// Tokenizes a copy of `xml` held without a terminating NUL (so that an overread shows under
// AddressSanitizer) and lists the tokens as "flags element[:attribute[=value]]".
class Tokens {
public:
    explicit Tokens(const std::string& xml) : text_(xml.begin(), xml.end()) {
        parser_.reset(new SimpleXmlParser(text_.empty() ? nullptr : text_.data(),
                                          static_cast<unsigned>(text_.size())));
    }

    std::string all() {
        std::string out;
        while (parser_->next()) {
            out += (out.empty() ? "" : " | ") + describe();
        }
        return out;
    }

    std::string one() { return parser_->next() ? describe() : "<none>"; }

    SimpleXmlParser& parser() { return *parser_; }

private:
    std::string describe() const {
        std::string token = std::to_string(parser_->getFlags());
        token += " ";
        token += parser_->getElementName() ? parser_->getElementName() : "(null)";
        if (parser_->getAttributeName()) {
            token += std::string(":") + parser_->getAttributeName();
            token += parser_->getAttributeValue() ? std::string("=") + parser_->getAttributeValue()
                                                  : std::string("(null)");
        }
        return token;
    }

    std::vector<char> text_;
    std::unique_ptr<SimpleXmlParser> parser_;
};

SimpleXmlException thrownBy(const std::string& xml) {
    Tokens tokens(xml);
    try {
        tokens.all();
    } catch (const SimpleXmlException& e) {
        EXPECT_EQ(tokens.parser().getElementName() == nullptr, e.getCharacter() == '/');
        return e;
    }
    ADD_FAILURE() << "no exception for " << xml;
    return SimpleXmlException('\0', 0);
}

TEST(SimpleXmlParserTest, StartTagsAttributesAndEnds) {
    EXPECT_EQ(Tokens("<a x=\"1\" y='2'><b/><c></c ></a>").all(),
              "3 a:x=1 | 2 a:y=2 | 13 b | 1 c | 8 c | 8 a");
    EXPECT_EQ(Tokens("<a\tx = \"1\"\n/>").all(), "3 a:x=1 | 12 a");
    EXPECT_EQ(Tokens("<a >\r\n</a\t>").all(), "1 a | 8 a");
}

TEST(SimpleXmlParserTest, BareAttributeKeepsTheCharacterAfterIt) {
    EXPECT_EQ(Tokens("<a b><c d=\"1\"/>").all(), "3 a:b(null) | 3 c:d=1 | 12 c");
    EXPECT_EQ(Tokens("<a b c='2'/>").all(), "3 a:b(null) | 2 a:c=2 | 12 a");
    EXPECT_EQ(Tokens("<a x='1' b/>").all(), "3 a:x=1 | 2 a:b(null) | 12 a");
}

TEST(SimpleXmlParserTest, TextBetweenTagsIsSkippedAndNothingIsUnescaped) {
    EXPECT_EQ(Tokens("lead<a v=\"&amp;&lt;\">text \xFF<b/>tail</a>trail").all(),
              "3 a:v=&amp;&lt; | 13 b | 8 a");
    EXPECT_EQ(Tokens("<a v='\xFF\"'/>").all(), "3 a:v=\xFF\" | 12 a");
}

TEST(SimpleXmlParserTest, TruncatedText) {
    EXPECT_EQ(Tokens("").all(), "");
    EXPECT_EQ(Tokens("text only").all(), "");
    EXPECT_EQ(Tokens("<").all(), "");
    EXPECT_EQ(Tokens("<abc").all(), "");
    EXPECT_EQ(Tokens("</").all(), "");
    EXPECT_EQ(Tokens("</abc").all(), "");
    EXPECT_EQ(Tokens("<a/").all(), "");
    EXPECT_EQ(Tokens("<a x").all(), "");
    EXPECT_EQ(Tokens("<a x='1'").all(), "3 a:x=1");
    EXPECT_EQ(Tokens("<a x='1' /").all(), "3 a:x=1");
    // Names that were complete before the cut are still delivered, values are not.
    EXPECT_EQ(Tokens("<a ").all(), "1 a");
    EXPECT_EQ(Tokens("</a ").all(), "8 a");
    EXPECT_EQ(Tokens("<a x =").all(), "3 a:x(null)");
    EXPECT_EQ(Tokens("<a x='").all(), "3 a:x(null)");
    EXPECT_EQ(Tokens("<a x='12").all(), "3 a:x(null)");
    EXPECT_EQ(Tokens("<a y='1' x=\"12").all(), "3 a:y=1 | 2 a:x(null)");

    SimpleXmlParser none(nullptr, 0);
    EXPECT_FALSE(none.next());
}

TEST(SimpleXmlParserTest, MalformedMarkupThrowsWithCharacterAndOffset) {
    SimpleXmlException e = thrownBy("<a/b>");
    EXPECT_EQ(e.getCharacter(), '/');
    EXPECT_EQ(e.getOffset(), 2u);

    e = thrownBy("<a x='1' / >");
    EXPECT_EQ(e.getCharacter(), '/');
    EXPECT_EQ(e.getOffset(), 9u);

    e = thrownBy("<r/><a x=1>");
    EXPECT_EQ(e.getCharacter(), '1');
    EXPECT_EQ(e.getOffset(), 9u);

    e = thrownBy("<a x= \t\xFF>");
    EXPECT_EQ(e.getCharacter(), '\xFF');
    EXPECT_EQ(e.getOffset(), 7u);
}

TEST(SimpleXmlParserTest, ParsingGoesOnAfterAnException) {
    Tokens tokens("<a x=1><b/>");
    EXPECT_THROW(tokens.one(), SimpleXmlException);
    EXPECT_EQ(tokens.all(), "2 a:1(null) | 13 b");
}

}  // namespace
