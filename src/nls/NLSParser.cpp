#include "nls/NLSParser.h"

#include <algorithm>
#include <utility>

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
    reopen();
}

// The file is opened afresh for every lookup rather than rewound: on this platform a file
// that is replaced (written beside and renamed over, as editors and installers do) or
// deleted would otherwise keep being read from the old copy that the open stream holds.
bool NLSParser::reopen() {
    if (fileName_.empty()) {
        return false;
    }
    file_.close();
    file_.clear();
    file_.open(fileName_);
    return file_.is_open() && file_.good();
}

std::string NLSParser::get(std::string key) {
    std::lock_guard<std::mutex> lock(mutex_);
    return lookup(key);
}

std::string NLSParser::lookup(const std::string& key) {
    try {
        // An empty key would match any line that starts with a blank or "=".
        if (key.empty() || !reopen()) {
            return std::string();
        }
        std::string line;
        while (std::getline(file_, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.empty() || line[0] == '#' || line.compare(0, key.size(), key) != 0) {
                continue;
            }
            if (line.size() > key.size() && !isSeparator(line[key.size()])) {
                continue;  // a longer key that begins with this one
            }
            const size_t equals = line.find('=', key.size());
            if (equals == std::string::npos) {
                return std::string();
            }
            return trim(line.substr(equals + 1));
        }
    } catch (...) {
        // Out of memory (a huge line, the stream's buffer): treated as a key that is not there.
    }
    return std::string();
}

std::string NLSParser::get(std::string key, const std::vector<std::string>& args) {
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

std::string NLSParser::get(std::string key, const std::vector<int>& args) {
    std::vector<std::string> texts;
    texts.reserve(args.size());
    for (int value : args) {
        texts.push_back(itoa(value, 10));
    }
    return get(std::move(key), texts);
}

void NLSParser::replacePhraseStrings(std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
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
        text.replace(open, close - open + 1, lookup(text.substr(open + 1, close - open - 1)));
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
