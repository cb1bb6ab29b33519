#pragma once
// The saved layout of a customisable toolbar: a 32-bit count followed by that many 20-byte
// button records (image index, command id, state byte, style byte, two reserved bytes, item
// data, string index), little-endian. The settings store holds texts, so the bytes are kept
// as upper-case hexadecimal text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorla {

inline constexpr std::uint8_t kToolButtonStyleSeparator = 1;
inline constexpr std::uint8_t kToolButtonStateEnabled = 4;
inline constexpr std::size_t kToolButtonRecordSize = 20;
// A toolbar never has more buttons than this; a longer stored layout is damaged.
inline constexpr std::uint32_t kMaxStoredToolButtons = 256;

struct ToolButtonRecord {
    std::int32_t image = 0;
    std::int32_t command = 0;  // 0 for a separator
    std::uint8_t state = kToolButtonStateEnabled;
    std::uint8_t style = 0;
    std::int32_t data = 0;
    std::int32_t stringIndex = -1;
    bool IsSeparator() const { return style & kToolButtonStyleSeparator; }
    friend bool operator==(const ToolButtonRecord&, const ToolButtonRecord&) = default;
};

std::string EncodeToolbarLayout(const std::vector<ToolButtonRecord>& buttons);
// nullopt unless the bytes are exactly a count and that many records.
std::optional<std::vector<ToolButtonRecord>> DecodeToolbarLayout(std::string_view bytes);

std::string ToHexText(std::string_view bytes);
// nullopt for an odd length or a character that is not a hexadecimal digit.
std::optional<std::string> FromHexText(std::string_view text);

// "0x" and the resource id in four upper-case hexadecimal digits; "Unknown TB" for 0.
std::string ToolbarName(int resourceId);
// The entry the main toolbar's layout is stored under: "Toolbar State(<name>)".
std::string ToolbarStateEntry(int resourceId);

}  // namespace vorla
