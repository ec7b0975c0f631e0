#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "nls/NLSParser.h"
#include "support/TestHome.h"

using Args = std::vector<std::string>;

class NLSParserTest : public TestHome {
protected:
    // Writes the catalog file and returns a parser over it.
    NLSParser& catalog(const std::string& content) {
        writeFile("test.properties", content);
        parser_.resetParser(path("test.properties"));
        return parser_;
    }

    NLSParser parser_;
};

TEST_F(NLSParserTest, FileSyntax) {
    NLSParser& nls = catalog(
        "# agentEventErrFanFail=commented\n"
        " keyIndented=never matches\n"
        "keyAB=longer key\n"
        "keyA = a=b\n"
        "keyA=second definition\n"
        "keyTab\tvalue \t= \t inner  blanks \t \n"
        "keyCrLf=windows line\r\n"
        "keyNoEquals some text\n"
        "keyNoEquals=later value\n"
        "keyAlone\n"
        "keyEmpty=  \t\n"
        "\n"
        "keyHash=#not a comment\n"
        "keyLast=no final newline");
    EXPECT_EQ(nls.get("agentEventErrFanFail"), "");
    EXPECT_EQ(nls.get("# agentEventErrFanFail"), "");
    EXPECT_EQ(nls.get("keyIndented"), "");
    EXPECT_EQ(nls.get("keyA"), "a=b");
    EXPECT_EQ(nls.get("keyAB"), "longer key");
    EXPECT_EQ(nls.get("key"), "");
    EXPECT_EQ(nls.get("keyTab"), "inner  blanks");
    EXPECT_EQ(nls.get("keyCrLf"), "windows line");
    EXPECT_EQ(nls.get("keyNoEquals"), "");
    EXPECT_EQ(nls.get("keyAlone"), "");
    EXPECT_EQ(nls.get("keyEmpty"), "");
    EXPECT_EQ(nls.get("keyHash"), "#not a comment");
    EXPECT_EQ(nls.get("keyLast"), "no final newline");
    EXPECT_EQ(nls.get(""), "");
    EXPECT_EQ(nls.get("keyA", Args{}), "a=b");
    EXPECT_EQ(nls.get("missing", Args{"x"}), "");
}

TEST_F(NLSParserTest, FileMissingAtFirstIsFoundLaterAndChangesAreSeen) {
    NLSParser none;
    EXPECT_EQ(none.get("keyA"), "");
    none.resetParser("");
    EXPECT_EQ(none.get("keyA"), "");

    NLSParser nls(path("late.properties"));
    EXPECT_EQ(nls.get("keyA"), "");
    writeFile("late.properties", "keyA=first\n");
    EXPECT_EQ(nls.get("keyA"), "first");
    writeFile("late.properties", "keyA=edited in place\n");
    EXPECT_EQ(nls.get("keyA"), "edited in place");

    // Replaced by renaming a new file over it, as editors and installers do.
    writeFile("new.properties", "keyA=replaced\n");
    ASSERT_EQ(std::rename(path("new.properties").c_str(), path("late.properties").c_str()), 0);
    EXPECT_EQ(nls.get("keyA"), "replaced");
    std::remove(path("late.properties").c_str());
    EXPECT_EQ(nls.get("keyA"), "");

    writeFile("other.properties", "keyA=other file\n");
    nls.resetParser("");
    EXPECT_EQ(nls.get("keyA"), "");
    nls.resetParser(path("other.properties"));
    EXPECT_EQ(nls.get("keyA"), "other file");
}

TEST_F(NLSParserTest, ArgumentSubstitution) {
    NLSParser& nls = catalog(
        "agentEventErrFanFail = Fan {0} failed\n"
        "swapped={1} and {0}\n"
        "twice={0}{0}\n"
        "beyond={3}\n"
        "beyondThenValid={3}{0}\n"
        "negative=a{-1}b\n"
        "huge=a{99999999999999999999}b\n"
        "trailingBrace=value {0} {\n"
        "lone={\n");
    EXPECT_EQ(nls.get("agentEventErrFanFail", Args{"2"}), "Fan 2 failed");
    EXPECT_EQ(nls.get("agentEventErrFanFail"), "Fan {0} failed");
    EXPECT_EQ(nls.get("agentEventErrFanFail", std::vector<int>{-7}), "Fan -7 failed");
    EXPECT_EQ(nls.get("swapped", Args{"x", "y"}), "y and x");
    EXPECT_EQ(nls.get("twice", Args{"x"}), "xx");
    EXPECT_EQ(nls.get("beyond", Args{"x"}), "");
    EXPECT_EQ(nls.get("beyondThenValid", Args{"x"}), "{0}");
    // Three characters go, whatever the index: "{-1" here.
    EXPECT_EQ(nls.get("negative", Args{"x"}), "a}b");
    EXPECT_EQ(nls.get("huge", Args{"x"}), "a999999999999999999}b");
    EXPECT_EQ(nls.get("trailingBrace", Args{"x"}), "value x {");
    EXPECT_EQ(nls.get("lone", Args{"x"}), "{");

    // Argument text is inserted as it is, never read as placeholders again.
    EXPECT_EQ(nls.get("twice", Args{"{0}"}), "{0}{0}");
    EXPECT_EQ(nls.get("swapped", Args{"{1", "{0}{"}), "{0}{ and {1");

    std::string text = "{0}{9} {";
    nls.parse(text, Args{"a"});
    EXPECT_EQ(text, "a {");
}

TEST_F(NLSParserTest, PhraseExpansion) {
    NLSParser& nls = catalog(
        "phraseA=is\n"
        "ready=Drive %phraseA% ready\n"
        "inWord=100%done and 50%phraseA%\n"
        "missing=Drive %noSuchPhrase% ready\n"
        "nested=%outer%\n"
        "outer=the %inner% one\n"
        "inner=drive {0}\n"
        "edges=%phraseA% at the end %\n"
        "selfRef=loop %selfRef%\n"
        "pingRef=ping %pongRef%\n"
        "pongRef=pong %pingRef%\n"
        "argPercent=value {0}\n");
    EXPECT_EQ(nls.get("ready", Args{}), "Drive is ready");
    EXPECT_EQ(nls.get("ready"), "Drive %phraseA% ready");
    EXPECT_EQ(nls.get("inWord", Args{}), "100%done and 50%phraseA%");
    EXPECT_EQ(nls.get("missing", Args{}), "Drive  ready");
    EXPECT_EQ(nls.get("nested", Args{"7"}), "the drive 7 one");
    EXPECT_EQ(nls.get("edges", Args{}), "is at the end %");
    // Arguments are filled in after the expansion, so their "%" stays.
    EXPECT_EQ(nls.get("argPercent", Args{"%phraseA%"}), "value %phraseA%");

    // Phrases that refer to themselves stop after a bounded number of replacements.
    const std::string self = nls.get("selfRef", Args{});
    EXPECT_EQ(self.rfind("loop ", 0), 0u);
    EXPECT_LE(self.size(), 6u * (NLSParser::kMaxPhraseReplacements + 1));
    const std::string pingPong = nls.get("pingRef", Args{});
    EXPECT_EQ(pingPong.rfind("ping pong ping ", 0), 0u);
    EXPECT_LE(pingPong.size(), 6u * (NLSParser::kMaxPhraseReplacements + 1));
}

TEST(NLSParserText, NumbersTrimAndReverse) {
    EXPECT_EQ(NLSParser::itoa(0, 10), "0");
    EXPECT_EQ(NLSParser::itoa(-42, 10), "-42");
    EXPECT_EQ(NLSParser::itoa(255, 16), "ff");
    EXPECT_EQ(NLSParser::itoa(-255, 16), "ff");
    EXPECT_EQ(NLSParser::itoa(5, 1), "");
    EXPECT_EQ(NLSParser::itoa(5, 17), "");
    EXPECT_EQ(NLSParser::itoa(INT_MAX, 10), "2147483647");
    EXPECT_EQ(NLSParser::itoa(INT_MIN, 10), "-2147483648");
    EXPECT_EQ(NLSParser::itoa(INT_MIN, 16), "80000000");
    EXPECT_EQ(NLSParser::ltoa(LONG_MIN, 10), std::to_string(LONG_MIN));
    EXPECT_EQ(NLSParser::ltoa(-4096, 16), "1000");

    EXPECT_EQ(NLSParser::trim(" \t QEB-LMD \t "), "QEB-LMD");
    EXPECT_EQ(NLSParser::trim("a \t b"), "a \t b");
    EXPECT_EQ(NLSParser::trim(" \t\t "), "");
    EXPECT_EQ(NLSParser::trim(""), "");

    EXPECT_EQ(NLSParser::reverse(""), "");
    EXPECT_EQ(NLSParser::reverse("a"), "a");
    EXPECT_EQ(NLSParser::reverse("abc"), "cba");
}
