#include "settings/font_settings.h"

namespace vorla {

bool ReadFontSettings(const ISettingsStore& store, std::string_view section, FontDescription& font) {
    font.height = ReadSetting(store, setting::kFontHeight.In(section));
    if (font.height == 0) return false;
    font.weight = ReadSetting(store, setting::kFontWeight.In(section));
    font.italic = static_cast<std::uint8_t>(ReadSetting(store, setting::kFontItalic.In(section)));
    font.underline = static_cast<std::uint8_t>(ReadSetting(store, setting::kFontUnderline.In(section)));
    font.pitchAndFamily =
        static_cast<std::uint8_t>(ReadSetting(store, setting::kFontPitchAndFamily.In(section)));
    font.faceName = ReadSetting(store, setting::kFontFaceName.In(section)).substr(0, kMaxFaceNameLength);
    return true;
}

bool WriteFontSettings(ISettingsStore& store, std::string_view section, const FontDescription& font) {
    bool ok = WriteSetting(store, setting::kFontHeight.In(section), font.height);
    if (font.height == 0) return ok;
    ok = WriteSetting(store, setting::kFontWeight.In(section), font.weight) && ok;
    ok = WriteSetting(store, setting::kFontItalic.In(section), font.italic) && ok;
    ok = WriteSetting(store, setting::kFontUnderline.In(section), font.underline) && ok;
    ok = WriteSetting(store, setting::kFontPitchAndFamily.In(section), font.pitchAndFamily) && ok;
    ok = WriteSetting(store, setting::kFontFaceName.In(section),
                      font.faceName.substr(0, kMaxFaceNameLength)) &&
         ok;
    return ok;
}

}  // namespace vorla
