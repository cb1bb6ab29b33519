#pragma once
// ASCII-only case folding. Names in settings, profile files and data-file paths are matched
// the way Windows matches them for plain ASCII; bytes above 127 (Windows-1252) must match exactly,
// because folding them would depend on a locale.

#include <string>
#include <string_view>

namespace vorla {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLowerCopy(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

}  // namespace vorla
