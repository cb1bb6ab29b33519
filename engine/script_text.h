// Text rules shared by every command: the word rule, blanks, decimal numbers and the
// two expansions applied to each line (variable references and dollar-hex escapes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rkl {

// Engine texts (names, values, error texts) hold at most this many characters.
inline constexpr size_t kMaxText = 255;
// Size of a line buffer: 511 characters and the terminator.
inline constexpr size_t kLineSize = 512;

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

inline const char* SkipBlanks(const char* p) {
    while (IsBlank(*p))
        ++p;
    return p;
}

// Word n (from 1) of `text` into `word` (room for kLineSize bytes). When the text has
// fewer than n words, the result is the last word if the text ends right after it,
// and empty if the text ends in blanks. Scripts rely on this (a missing word repeats
// the one before it).
void GetWord(const char* text, int n, char* word);
// Words 1 to n in one pass, by the same rule, as views into `text` (no copying).
void GetWordViews(const char* text, std::string_view* words, int n);

// Leading blanks, an optional sign and digits; anything else reads as 0, and digits
// stop at the first other character. Saturates instead of overflowing.
int64_t ParseDecimal(const char* text);
int32_t ParseDecimal32(const char* text);

// Upper-cases ASCII letters in place; other bytes stay as they are.
void ToUpperAscii(char* text);
bool EqualsNoCase(const char* a, const char* b);

// Copies at most kMaxText characters of `text` into `out` (kMaxText + 1 bytes).
void CopyText(char* out, std::string_view text);
// Copies at most kLineSize - 1 characters of `text` into `out` (kLineSize bytes).
void CopyLine(char* out, std::string_view text);

// Finds the value of a variable by exact name; null when it does not exist.
class VariableLookup {
public:
    virtual bool Find(std::string_view name, std::string_view& value) const = 0;
    // The same with the name's HashName computed beforehand.
    virtual bool FindHashed(std::string_view name, uint64_t hash, std::string_view& value) const {
        (void)hash;
        return Find(name, value);
    }

protected:
    ~VariableLookup() = default;
};

// Replaces each "{name}" in `line` (a buffer of `size` bytes) by the variable's value,
// or by nothing when there is no such variable. Inserted values are not expanded
// again; the line is cut where it would outgrow the buffer.
void Substitute(char* line, size_t size, const VariableLookup& variables);

// Replaces each "$hh" (two hexadecimal digits) by the byte of that value; "$00"
// disappears, so a NUL byte is never produced. A produced byte is not decoded again.
void DecodeHex(char* text);

}  // namespace rkl
