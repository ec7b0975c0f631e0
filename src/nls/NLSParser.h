// Reader of key/value text files: the message catalog ("RaidNLS.properties") and the
// settings file. Every lookup reads the file again from its first line, so an edited,
// replaced or newly created file is seen by the next lookup; nothing is cached. A missing
// file or key yields the empty string, never an error. Any thread may call any operation:
// the parser's one read position is guarded by one mutex, held for each whole lookup (phrase
// expansion included) and by resetParser, so a host thread and the poll loop may share the
// monitor's catalog. The static helpers keep no state.
#pragma once

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "port/Export.h"

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
    std::string get(std::string key);
    // The value with phrase references expanded and placeholders {0}..{9} filled.
    std::string get(std::string key, const std::vector<std::string>& args);
    // As above, with each number written in decimal.
    std::string get(std::string key, const std::vector<int>& args);

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
    // The unlocked bodies of the lookups; callers hold mutex_. The phrase expansion looks
    // phrases up through lookup(), so a locked get never takes the lock a second time.
    std::string lookup(const std::string& key);
    void expandPhrases(std::string& text);
    // Opens the remembered file afresh; false when it cannot be read.
    bool reopen();

    // Guards fileName_ and file_.
    std::mutex mutex_;
    std::string fileName_;
    std::ifstream file_;
};
