// Reader of key/value text files: the message catalog ("RaidNLS.properties") and the
// settings file. The file is read and parsed once into a table of its keys and read again
// only when it changed, so an edited, replaced, deleted or newly created file is seen by the
// next lookup. Every lookup looks at the open file (size, times, links), and a change that
// left size and times as they were (made within the file system's time granularity of the
// last read) is caught by comparing the contents while it is that recent. Once the reader has
// held the file unchanged for two seconds, and where the system gives the open file a change
// signal, a lookup asks the signal instead (one cheaper call) and looks at the file only once
// a second, for what the signal cannot see. A missing file is tried again at every lookup; a
// missing file or key yields the empty string, never an error. Any thread may call any
// operation: one mutex guards the file and its table for each whole lookup (phrase expansion
// included) and resetParser, so a host thread and the poll loop may share the monitor's
// catalog. The static helpers keep no state.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "port/Export.h"
#include "port/FileSystem.h"
#include "port/ReadOnlyFile.h"

class TLX_EXPORT NLSParser {
public:
    // Phrase references replaced per text at most; ends self-referring phrases.
    static constexpr int kMaxPhraseReplacements = 64;

    NLSParser();
    explicit NLSParser(std::string fileName);
    ~NLSParser();

    NLSParser(const NLSParser&) = delete;
    NLSParser& operator=(const NLSParser&) = delete;

    // An empty name changes nothing; otherwise the parser reads the named file from now on.
    void resetParser(std::string fileName);

    // The trimmed value of the first line of the key, with no markup interpreted.
    // The key is only looked at, never copied.
    std::string get(std::string_view key);
    // The value with phrase references expanded and placeholders {0}..{9} filled.
    std::string get(std::string_view key, const std::vector<std::string>& args);
    // As above, with each number written in decimal.
    std::string get(std::string_view key, const std::vector<int>& args);

    // Replaces each %name% reference (opened at the text's start or end or after a space)
    // with the plain lookup of name. Inserted phrases may hold references themselves.
    void replacePhraseStrings(std::string& text);
    // Replaces each placeholder {n} with args[n], or removes it when there is no such
    // argument. Inserted argument text is not scanned again.
    void parse(std::string& text, const std::vector<std::string>& args);

    // The text without leading and trailing spaces and tabs.
    static std::string trim(const std::string& text);
    // The value in base 2..16 with lower-case digits; "-" only in base 10. Empty for
    // another base.
    static std::string itoa(int value, int base);
    static std::string ltoa(long value, int base);
    static std::string reverse(std::string text);

private:
    // The unlocked bodies of the lookups; callers hold mutex_. lookup() brings the table up
    // to date first; find() answers from the table as it is, so that the phrases of one
    // text come from the same reading of the file as the text.
    std::string lookup(std::string_view key);
    std::string find(std::string_view key) const;
    void expandPhrases(std::string& text);
    // Reads the file again when it changed since it was read (or was missing).
    void refresh();
    // Opens the remembered file afresh and parses it; an empty table when it cannot be read.
    void load();
    // Drops the table and closes the file: the next lookup reads it afresh.
    void forget();
    // Makes text the file's contents and rebuilds the table from it.
    void parseText(std::string text);
    // True while a change could have left the file's size and times as they were read.
    bool isRecent() const;

    // Guards every member below.
    std::mutex mutex_;
    std::string fileName_;
    port::ReadOnlyFile file_;
    // The state of the open file when text_ was read, and when that was (file clock).
    port::FileStat stat_;
    int64_t verifiedAt_ = 0;
    // The second (port::Clock) the file was read or last looked at. A file that stayed open
    // and unchanged this long gets a change signal; shorter-lived readers would pay more
    // for ending the signal than they save.
    static constexpr int64_t kSecondsBeforeWatch = 2;
    int64_t lookedAt_ = 0;
    std::string text_;
    // The value of the first entry line of each key, both pointing into text_. The key of
    // a line is its text up to the first blank, tab or "="; the value is empty for a line
    // without "=".
    std::unordered_map<std::string_view, std::string_view> values_;
};
