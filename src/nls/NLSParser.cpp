#include "nls/NLSParser.h"

#include <algorithm>
#include <utility>

#include "port/Clock.h"

namespace {

constexpr char kDigits[] = "0123456789abcdef";

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '=';
}

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a placeholder index the way atoi does (leading white space, a sign, digits up to
// the first non-digit; no digits give 0). Stays inside the text and cannot overflow, even
// where long has 32 bits: any value beyond the largest argument list is as good as another.
long readIndex(const std::string& text, size_t at) {
    constexpr long kTooLarge = 100000000;
    while (at < text.size() && isWhiteSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value < kTooLarge) {
            value = value * 10 + (text[at] - '0');
        }
    }
    return negative ? -value : value;
}

// Digits of value from the least significant one; the remainder of a truncating division
// is never below -(base - 1), so the smallest value of the type converts as well.
template <typename Integer>
std::string numberToText(Integer value, int base, size_t room) {
    if (base < 2 || base > 16) {
        return std::string();
    }
    std::string digits;
    digits.reserve(room);
    const bool negative = value < 0;
    do {
        const Integer remainder = value % base;
        digits += kDigits[remainder < 0 ? -remainder : remainder];
        value /= base;
    } while (value != 0);
    if (negative && base == 10) {
        digits += '-';
    }
    return NLSParser::reverse(std::move(digits));
}

// Where a line's key ends: at its first separator, or at its end.
size_t keyEnd(std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (isSeparator(line[i])) {
            return i;
        }
    }
    return line.size();
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::string_view();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Calls visit(line) for each line of text without its LF (and a CR in front of it).
template <typename Visit>
void forEachLine(std::string_view text, Visit&& visit) {
    while (!text.empty()) {
        const size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!visit(line)) {
            return;
        }
    }
}

}  // namespace

NLSParser::NLSParser() = default;

NLSParser::NLSParser(std::string fileName) {
    resetParser(std::move(fileName));
}

NLSParser::~NLSParser() = default;

void NLSParser::resetParser(std::string fileName) {
    if (fileName.empty()) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    fileName_ = std::move(fileName);
    load();
}

void NLSParser::load() {
    values_.clear();
    text_.clear();
    stat_ = port::FileStat();
    // Taken before reading: a change made while the file is read is then still recent.
    verifiedAt_ = port::fileTimeNow();
    lookedAt_ = port::Clock::current().now();
    std::string text;
    // A file that cannot be read whole is used as far as it was read.
    if (fileName_.empty() || !file_.open(fileName_) || !file_.stat(stat_)) {
        file_.close();
        return;
    }
    file_.readAll(text);
    parseText(std::move(text));
}

void NLSParser::parseText(std::string text) {
    values_.clear();
    text_ = std::move(text);
    forEachLine(text_, [this](std::string_view line) {
        if (line.empty() || line[0] == '#') {
            return true;
        }
        const size_t end = keyEnd(line);
        if (end == 0) {
            return true;  // begins with a blank: no key without blanks matches it
        }
        const size_t equals = line.find('=', end);
        // The first line of a key decides, "=" or not.
        values_.emplace(line.substr(0, end), equals == std::string_view::npos
                                                 ? std::string_view()
                                                 : trimmed(line.substr(equals + 1)));
        return true;
    });
}

bool NLSParser::isRecent() const {
    return port::isRecentlyChanged(stat_, verifiedAt_);
}

void NLSParser::refresh() {
    if (fileName_.empty()) {
        return;
    }
    const int64_t second = port::Clock::current().now();
    if (file_.isWatched()) {
        if (file_.changeSignalled()) {
            load();
            return;
        }
        // What the signal cannot see (a write through a memory mapping, another machine's
        // write to a network file system) is left to one look at the file a second.
        if (second == lookedAt_) {
            return;
        }
        lookedAt_ = second;
    } else if (file_.isOpen() && second - lookedAt_ >= kSecondsBeforeWatch) {
        // Asked for before the look below, so that no change falls between the two.
        file_.watch();
        lookedAt_ = second;
    }
    port::FileStat now;
    // Not open (missing until now), or edited, replaced by a rename, renamed away or
    // deleted: each changes the open file's size, times or link count.
    if (!file_.isOpen() || !file_.stat(now) || now != stat_) {
        load();
        return;
    }
    if (!isRecent()) {
        return;
    }
    // Looked at within the time granularity of its last change: only the path and the
    // bytes tell whether it changed again since.
    const int64_t verifying = port::fileTimeNow();
    port::FileStat named;
    if (!port::statFile(fileName_, named) || !named.sameFile(stat_)) {
        load();
        return;
    }
    std::string text;
    file_.readAll(text);
    if (text != text_) {
        parseText(std::move(text));
    }
    verifiedAt_ = verifying;
}

std::string NLSParser::get(std::string_view key) {
    std::lock_guard<std::mutex> lock(mutex_);
    return lookup(key);
}

std::string NLSParser::lookup(std::string_view key) {
    try {
        refresh();
        return find(key);
    } catch (...) {
        // Out of memory (a huge file): treated as a key that is not there.
        forget();
    }
    return std::string();
}

void NLSParser::forget() {
    values_.clear();
    text_.clear();
    file_.close();
}

std::string NLSParser::find(std::string_view key) const {
    // An empty key would match any line that starts with a blank or "=".
    if (key.empty()) {
        return std::string();
    }
    if (keyEnd(key) == key.size()) {
        const auto found = values_.find(key);
        return found != values_.end() ? std::string(found->second) : std::string();
    }
    // A key holding a blank, tab or "=" matches lines by their beginning only: scan them.
    std::string value;
    forEachLine(text_, [&key, &value](std::string_view line) {
        if (line.empty() || line[0] == '#' || line.compare(0, key.size(), key) != 0 ||
            (line.size() > key.size() && !isSeparator(line[key.size()]))) {
            return true;
        }
        const size_t equals = line.find('=', key.size());
        if (equals != std::string_view::npos) {
            value = std::string(trimmed(line.substr(equals + 1)));
        }
        return false;
    });
    return value;
}

std::string NLSParser::get(std::string_view key, const std::vector<std::string>& args) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string text = lookup(key);
    if (text.empty()) {
        return text;
    }
    try {
        expandPhrases(text);
        parse(text, args);
    } catch (...) {
        return std::string();
    }
    return text;
}

std::string NLSParser::get(std::string_view key, const std::vector<int>& args) {
    std::vector<std::string> texts;
    texts.reserve(args.size());
    for (int value : args) {
        texts.push_back(itoa(value, 10));
    }
    return get(key, texts);
}

void NLSParser::replacePhraseStrings(std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    try {
        refresh();
    } catch (...) {
        forget();
    }
    expandPhrases(text);
}

void NLSParser::expandPhrases(std::string& text) {
    size_t position = 0;
    // A phrase that refers to itself, directly or through others, would expand forever.
    for (int replaced = 0; replaced < kMaxPhraseReplacements;) {
        const size_t open = text.find('%', position);
        if (open == std::string::npos) {
            return;
        }
        const bool opensReference = open == 0 || open + 1 == text.size() || text[open - 1] == ' ';
        const size_t close = opensReference ? text.find('%', open + 1) : std::string::npos;
        if (close == std::string::npos) {
            position = open + 1;
            continue;
        }
        text.replace(open, close - open + 1,
                     find(std::string_view(text).substr(open + 1, close - open - 1)));
        position = open;  // the inserted phrase may hold references of its own
        ++replaced;
    }
}

// Builds the result in one pass, so a text full of placeholders costs linear time. What
// follows a placeholder is always the rest of the original text, which is therefore
// scanned in place; inserted argument text is never scanned (an argument holding "{" could
// otherwise repeat forever).
void NLSParser::parse(std::string& text, const std::vector<std::string>& args) {
    std::string result;
    size_t position = 0;
    for (;;) {
        const size_t brace = text.find('{', position);
        // A "{" at the very end has no placeholder behind it and stays.
        if (brace == std::string::npos || brace + 1 == text.size()) {
            result.append(text, position, std::string::npos);
            break;
        }
        result.append(text, position, brace - position);
        const long index = readIndex(text, brace + 1);
        // Three characters go: the brace, one digit and the closing brace.
        position = std::min(brace + 3, text.size());
        if (index >= 0 && static_cast<size_t>(index) < args.size()) {
            result += args[static_cast<size_t>(index)];
        } else if (position < text.size()) {
            // The character that followed the placeholder is not taken as a new start.
            result += text[position++];
        }
    }
    text = std::move(result);
}

std::string NLSParser::trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string NLSParser::itoa(int value, int base) {
    return numberToText(value, base, 35);
}

std::string NLSParser::ltoa(long value, int base) {
    return numberToText(value, base, 67);
}

std::string NLSParser::reverse(std::string text) {
    std::reverse(text.begin(), text.end());
    return text;
}
