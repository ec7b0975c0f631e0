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
    explicit Tokens(const std::string& xml)
        : text_(xml.begin(), xml.end()),
          parser_(text_.empty() ? nullptr : text_.data(), static_cast<unsigned>(text_.size())) {}

    std::string all() {
        std::string out;
        while (parser_.next()) {
            const char* attribute = parser_.getAttributeName();
            const char* value = parser_.getAttributeValue();
            out += (out.empty() ? "" : " | ") + std::to_string(parser_.getFlags()) + " " +
                   (parser_.getElementName() ? parser_.getElementName() : "(null)");
            if (attribute != nullptr) {
                out += std::string(":") + attribute + (value ? std::string("=") + value : "(null)");
            }
        }
        return out;
    }

    SimpleXmlParser& parser() { return parser_; }

private:
    std::vector<char> text_;
    SimpleXmlParser parser_;
};

TEST(SimpleXmlParserTest, Tokens) {
    // clang-format off
    const struct { const char* xml; const char* tokens; } kCases[] = {
        {"<a x=\"1\" y='2'><b/><c></c ></a>", "3 a:x=1 | 2 a:y=2 | 13 b | 1 c | 8 c | 8 a"},
        {"<a\tx = \"1\"\n/>", "3 a:x=1 | 12 a"},
        {"<a >\r\n</a\t>", "1 a | 8 a"},
        // A bare attribute keeps the character after it for the next token.
        {"<a b><c d=\"1\"/>", "3 a:b(null) | 3 c:d=1 | 12 c"},
        {"<a b c='2'/>", "3 a:b(null) | 2 a:c=2 | 12 a"},
        {"<a x='1' b/>", "3 a:x=1 | 2 a:b(null) | 12 a"},
        // Text between tags is skipped and nothing is unescaped.
        {"lead<a v=\"&amp;&lt;\">text \xFF<b/>tail</a>trail", "3 a:v=&amp;&lt; | 13 b | 8 a"},
        {"<a v='\xFF\"'/>", "3 a:v=\xFF\" | 12 a"},
        // Cut texts: names complete before the cut are delivered, values are not.
        {"", ""}, {"text only", ""}, {"<", ""}, {"<abc", ""}, {"</", ""}, {"</abc", ""},
        {"<a/", ""}, {"<a x", ""}, {"<a x='1'", "3 a:x=1"}, {"<a x='1' /", "3 a:x=1"},
        {"<a ", "1 a"}, {"</a ", "8 a"}, {"<a x =", "3 a:x(null)"}, {"<a x='", "3 a:x(null)"},
        {"<a x='12", "3 a:x(null)"}, {"<a y='1' x=\"12", "3 a:y=1 | 2 a:x(null)"},
    };
    // clang-format on
    for (const auto& c : kCases) {
        EXPECT_EQ(Tokens(c.xml).all(), c.tokens) << c.xml;
    }
}

TEST(SimpleXmlParserTest, MalformedMarkupThrowsWithCharacterAndOffset) {
    // clang-format off
    const struct { const char* xml; char character; unsigned offset; } kCases[] = {
        {"<a/b>", '/', 2}, {"<a x='1' / >", '/', 9}, {"<r/><a x=1>", '1', 9},
        {"<a x= \t\xFF>", '\xFF', 7}};
    // clang-format on
    for (const auto& c : kCases) {
        Tokens tokens(c.xml);
        try {
            tokens.all();
            ADD_FAILURE() << "no exception for " << c.xml;
        } catch (const SimpleXmlException& e) {
            EXPECT_EQ(e.getCharacter(), c.character) << c.xml;
            EXPECT_EQ(e.getOffset(), c.offset) << c.xml;
            EXPECT_EQ(tokens.parser().getElementName() == nullptr, c.character == '/') << c.xml;
        }
    }
}

}  // namespace
