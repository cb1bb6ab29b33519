#pragma once
// A font kept as a group of entries in a section of its own ("MessageFont" for the message
// text): "Height" (0 or missing: no font stored), "Weight", "Italic", "Underline",
// "PitchAndFamily" and "FaceName" (default "System").

#include "settings/settings_keys.h"
#include "settings/settings_store.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorla {

inline constexpr std::string_view kMessageFontSection = setting::kMessageFontSection;
// Face names are held in a 32-byte field with its terminator.
inline constexpr std::size_t kMaxFaceNameLength = 31;

struct FontDescription {
    std::int32_t height =
        0;  // negative: character height, positive: cell height, as the font system takes it
    std::int32_t weight = 0;  // 400 normal, 700 bold
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName;
    friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

// Returns false when the stored height is 0 or missing; the description then keeps
// everything but its height, which is set to 0. Missing integer entries read as 0.
bool ReadFontSettings(const ISettingsStore& store, std::string_view section, FontDescription& font);

// Always writes "Height"; the other entries only when the height is not 0, so writing a
// zero height marks the font as not stored without erasing the rest.
bool WriteFontSettings(ISettingsStore& store, std::string_view section, const FontDescription& font);

}  // namespace vorla
