#include "font_settings.h"

namespace vorla {

bool ReadFontSettings(const ISettingsStore& store, std::string_view section, FontDescription& font) {
    font.height = store.GetProfileInt(section, "Height", 0);
    if (font.height == 0) return false;
    font.weight = store.GetProfileInt(section, "Weight", 0);
    font.italic = static_cast<std::uint8_t>(store.GetProfileInt(section, "Italic", 0));
    font.underline = static_cast<std::uint8_t>(store.GetProfileInt(section, "Underline", 0));
    font.pitchAndFamily = static_cast<std::uint8_t>(store.GetProfileInt(section, "PitchAndFamily", 0));
    font.faceName = store.GetProfileString(section, "FaceName", "System").substr(0, kMaxFaceNameLength);
    return true;
}

bool WriteFontSettings(ISettingsStore& store, std::string_view section, const FontDescription& font) {
    bool ok = store.WriteProfileInt(section, "Height", font.height);
    if (font.height == 0) return ok;
    ok = store.WriteProfileInt(section, "Weight", font.weight) && ok;
    ok = store.WriteProfileInt(section, "Italic", font.italic) && ok;
    ok = store.WriteProfileInt(section, "Underline", font.underline) && ok;
    ok = store.WriteProfileInt(section, "PitchAndFamily", font.pitchAndFamily) && ok;
    ok = store.WriteProfileString(section, "FaceName", font.faceName.substr(0, kMaxFaceNameLength)) && ok;
    return ok;
}

}  // namespace vorla
