// The catalog reader: the syntax of its lines, placeholders and phrases, and a parsed catalog
// that follows its file: every way of changing, replacing or removing it is seen by the very
// next lookup, including edits that keep the size (and even the modification time).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "nls/NLSParser.h"
#include "support/FaultyFileOps.h"
#include "support/TestHome.h"

using Args = std::vector<std::string>;

class NLSParserTest : public TestHome {};

// Each row adds its lines to one catalog (in row order, with no newline after the last) and
// looks a key up, plainly or with arguments.
TEST_F(NLSParserTest, Lookups) {
    // clang-format off
    struct Row { const char *lines, *key; bool withArgs; Args args; const char* text; };
    const Row rows[] = {
        {"# keyComment=commented", "# keyComment", false, {}, ""},
        {" keyIndented=never matches", "keyIndented", false, {}, ""},
        {"", "", false, {}, ""},  // would match the indented line
        {"keyAB=longer key\nkeyA = a=b\nkeyA=second definition", "keyA", false, {}, "a=b"},
        {"keyTab\tvalue \t= \t inner  blanks \t ", "keyTab", false, {}, "inner  blanks"},
        {"keyCrLf=windows line\r", "keyCrLf", false, {}, "windows line"},
        {"keyNoEquals some text\nkeyNoEquals=later value", "keyNoEquals", false, {}, ""},
        // A key matches the start of a line up to a blank or "=", and the text begins after
        // the next "=": keys may hold blanks and even part of the text.
        {"two words = phrase\ntext=Drive %two words% ready", "two words", false, {}, "phrase"},
        {"", "two", false, {}, "phrase"}, {"", "keyA ", false, {}, "a=b"}, {"", "keyA = a", false, {}, "b"},
        {"", "keyA =", false, {}, "b"}, {"", " keyA", false, {}, ""}, {"", "two words = phrase", false, {}, ""},
        {"", "text", true, {}, "Drive phrase ready"},
        // Placeholders: three characters go, whatever the index; a missing argument takes
        // the character after it too; argument text is never read as placeholders again.
        {"fan = Fan {0} failed", "fan", true, {"2"}, "Fan 2 failed"},
        {"", "fan", false, {}, "Fan {0} failed"},
        {"swapped={1} and {0}", "swapped", true, {"x", "y"}, "y and x"},
        {"twice={0}{0}", "twice", true, {"{0}"}, "{0}{0}"},
        {"beyond={3}", "beyond", true, {"x"}, ""},
        {"beyondThenValid={3}{0}", "beyondThenValid", true, {"x"}, "{0}"},
        {"negative=a{-1}b", "negative", true, {"x"}, "a}b"},
        {"huge=a{99999999999999999999}b", "huge", true, {"x"}, "a999999999999999999}b"},
        {"trailingBrace=value {0} {", "trailingBrace", true, {"x"}, "value x {"},
        // Phrases: a reference opens at the start or end or after a space; arguments are
        // filled in after the expansion, so their "%" stays.
        {"phraseA=is\nready=Drive %phraseA% ready", "ready", true, {}, "Drive is ready"},
        {"", "ready", false, {}, "Drive %phraseA% ready"},
        {"inWord=100%done and 50%phraseA%", "inWord", true, {}, "100%done and 50%phraseA%"},
        {"missing=Drive %noSuchPhrase% ready", "missing", true, {}, "Drive  ready"},
        {"nested=%outer%\nouter=the %inner% one\ninner=drive {0}", "nested", true, {"7"},
         "the drive 7 one"},
        {"", "inner", true, {"%phraseA%"}, "drive %phraseA%"},
        {"edges=%phraseA% at the end %", "edges", true, {}, "is at the end %"},
        {"keyLast=no final newline", "keyLast", false, {}, "no final newline"},
    };
    // clang-format on
    std::string catalog = "selfRef=loop %selfRef%";
    for (const Row& row : rows) {
        catalog += *row.lines != '\0' ? std::string("\n") + row.lines : "";
    }
    writeFile("test.properties", catalog);
    NLSParser nls(path("test.properties"));
    for (const Row& row : rows) {
        EXPECT_EQ(row.withArgs ? nls.get(row.key, row.args) : nls.get(row.key), row.text)
            << row.key;
    }
    EXPECT_EQ(nls.get("fan", std::vector<int>{-7}), "Fan -7 failed");
    // A phrase that refers to itself stops after a bounded number of replacements.
    const std::string self = nls.get("selfRef", Args{});
    EXPECT_EQ(self.rfind("loop loop ", 0), 0u);
    EXPECT_LE(self.size(), 6u * (NLSParser::kMaxPhraseReplacements + 1));
}

namespace fs = std::filesystem;

namespace {

class CatalogReload : public TestHome {
protected:
    // The catalog with its modification time an hour back, as an installed one has it.
    void install(const std::string& text) {
        writeFile("RaidNLS.properties", text);
        const fs::path file = path("RaidNLS.properties");
        fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
    }
};

TEST_F(CatalogReload, EveryChangeIsSeenAtTheNextLookup) {
    const std::string file = path("RaidNLS.properties");
    // clang-format off
    struct Row { const char* what; std::function<void()> change; const char* expected; };  // keyA's value after
    const std::vector<Row> rows = {
        {"unchanged", [] {}, "one"},
        {"edited in place, same size", [&] { writeFile("RaidNLS.properties", "keyA=two\n"); }, "two"},
        {"edited, size and time kept", [&] {
             const auto time = fs::last_write_time(file);
             writeFile("RaidNLS.properties", "keyA=six\n");
             fs::last_write_time(file, time); }, "six"},
#if !defined(_WIN32)
        // POSIX only: the catalog is held open, and Windows refuses a rename over an open
        // file and keeps a removed one's name until its last handle is closed.
        {"replaced by rename, same size", [&] {
             writeFile("new", "keyA=ten\n");
             fs::rename(path("new"), file); }, "ten"},
        {"deleted", [&] { fs::remove(file); }, ""},
#endif
        {"renamed away", [&] { fs::rename(file, path("aside")); }, ""},
        {"renamed away, another put in its place", [&] {
             fs::rename(file, path("aside"));
             writeFile("RaidNLS.properties", "keyA=new\n"); }, "new"},
        {"grown by a line in front", [&] { writeFile("RaidNLS.properties", "keyA=\nkeyA=one\n"); }, ""},
    };
    // clang-format on
    // A reader that has just read the file looks at it; one that has held it unchanged for a
    // while asks the system's change signal, where there is one (the test file operations
    // offer none).
    for (const int way : {0, 1, 2}) {
        std::optional<FaultyFileOps> withoutSignal;
        if (way == 2) {
            withoutSignal.emplace();
        }
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.what) + (way == 0   ? ", just read"
                                                  : way == 1 ? ", held"
                                                             : ", held, no signal"));
            install("keyA=one\n");
            NLSParser catalog(file);
            ASSERT_EQ(catalog.get("keyA"), "one");
            if (way != 0) {
                clock_.advanceSeconds(2);
                ASSERT_EQ(catalog.get("keyA"), "one");
            }
            row.change();
            EXPECT_EQ(catalog.get("keyA"), row.expected);
            EXPECT_EQ(catalog.get("keyA", std::vector<std::string>{}), row.expected);
            // A file that comes back later is found again.
            writeFile("RaidNLS.properties", "keyA=back\n");
            EXPECT_EQ(catalog.get("keyA"), "back");
            fs::remove(path("aside"));
        }
    }
}

}  // namespace
