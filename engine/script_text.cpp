#include "script_text.h"

#include <cstring>
#include <limits>

namespace rkl {

void GetWord(const char* text, int n, char* word) {
    word[0] = '\0';
    const char* p = text;
    for (int i = 0; i < n; ++i) {
        // At the very end the previous word stays: that is the "last word repeats" rule.
        if (*p == '\0') break;
        p = SkipBlanks(p);
        size_t len = 0;
        while (*p != '\0' && !IsBlank(*p) && len < kLineSize - 1)
            word[len++] = *p++;
        while (*p != '\0' && !IsBlank(*p))
            ++p;
        word[len] = '\0';
    }
}

void GetWordViews(const char* text, std::string_view* words, int n) {
    const char* p = text;
    std::string_view previous;
    for (int i = 0; i < n; ++i) {
        if (*p != '\0') {
            p = SkipBlanks(p);
            const char* start = p;
            while (*p != '\0' && !IsBlank(*p))
                ++p;
            previous = std::string_view(start, static_cast<size_t>(p - start));
        }
        words[i] = previous;
    }
}

int64_t ParseDecimal(const char* text) {
    const char* p = SkipBlanks(text);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    // Accumulate as a negative number so that the lowest value is reachable.
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const int digit = *p - '0';
        if (value < (kMin + digit) / 10) {
            value = kMin;
            while (*p >= '0' && *p <= '9')
                ++p;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative) return value;
    return value == kMin ? std::numeric_limits<int64_t>::max() : -value;
}

int32_t ParseDecimal32(const char* text) {
    const int64_t v = ParseDecimal(text);
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

void ToUpperAscii(char* text) {
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

bool EqualsNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
        if (x == '\0') return true;
    }
}

void CopyText(char* out, std::string_view text) {
    const size_t n = text.size() < kMaxText ? text.size() : kMaxText;
    if (n) std::memcpy(out, text.data(), n);  // an empty view may have no data at all
    out[n] = '\0';
}

namespace {
// Plain loops: lines are short, and a library call per brace costs more than the scan.
char* FindChar(char* p, char c) {
    for (; *p != '\0'; ++p)
        if (*p == c) return p;
    return nullptr;
}
}  // namespace

void CopyLine(char* out, std::string_view text) {
    const size_t n = text.size() < kLineSize - 1 ? text.size() : kLineSize - 1;
    if (n) std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

void Substitute(char* line, size_t size, const VariableLookup& variables) {
    char* first = FindChar(line, '{');
    if (!first) return;  // most lines: nothing to do
    size_t length = static_cast<size_t>(first - line);
    while (line[length] != '\0')
        ++length;
    size_t from = static_cast<size_t>(first - line);
    for (;;) {
        char* open = FindChar(line + from, '{');
        if (!open) return;
        char* close = FindChar(open + 1, '}');
        if (!close) return;
        const size_t at = static_cast<size_t>(open - line);
        std::string_view name(open + 1, static_cast<size_t>(close - open - 1));
        if (name.size() > kMaxText) name = name.substr(0, kMaxText);
        // Values live in the variable list, never in the line, so they survive the move.
        std::string_view value;
        const bool found = variables.Find(name, value);
        size_t valueLen = found ? (value.size() < kMaxText ? value.size() : kMaxText) : 0;
        const size_t refEnd = static_cast<size_t>(close - line) + 1;
        const size_t tailLen = length - refEnd;
        // The tail moves to just after where the value will be, cut to the buffer.
        size_t newTailAt = at + valueLen;
        if (newTailAt > size - 1) {
            valueLen = size - 1 - at;
            newTailAt = size - 1;
        }
        size_t keptTail = tailLen;
        if (newTailAt + keptTail > size - 1) keptTail = size - 1 - newTailAt;
        std::memmove(line + newTailAt, line + refEnd, keptTail);
        if (valueLen) std::memcpy(line + at, value.data(), valueLen);
        length = newTailAt + keptTail;
        line[length] = '\0';
        from = at + valueLen;
    }
}

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

void DecodeHex(char* text) {
    char* p = text;
    while ((p = FindChar(p, '$')) != nullptr) {
        const int high = HexValue(p[1]);
        const int low = high < 0 ? -1 : HexValue(p[2]);
        if (high >= 0 && low >= 0) {
            const char value = static_cast<char>(high * 16 + low);
            const size_t rest = std::strlen(p + 3) + 1;
            if (value == '\0') {
                std::memmove(p, p + 3, rest);
            } else {
                *p = value;
                std::memmove(p + 1, p + 3, rest);
            }
        }
        // The search goes on one character after the '$', as scripts have always seen it,
        // but never past the terminator.
        if (*p == '\0') break;
        ++p;
    }
}

}  // namespace rkl
