#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The program's text is Windows-1252. The five bytes that code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control with the same number, so every byte
// has exactly one code point and text survives a trip through Unicode unchanged.
char32_t Cp1252ToCodePoint(uint8_t byte);
std::optional<uint8_t> CodePointToCp1252(char32_t codePoint);

// Converts UTF-16 code units (a wide string from an old file); what the code page lacks
// becomes '?'.
std::string Utf16ToCp1252(const std::u16string& text);

// For tools that speak JSON: Windows-1252 bytes to UTF-8 and back. The reverse conversion
// fails on malformed UTF-8 or a character the code page lacks.
std::string Cp1252ToUtf8(const std::string& text);
std::optional<std::string> Utf8ToCp1252(const std::string& text);
