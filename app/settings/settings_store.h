#pragma once
// The per-user settings store: one value per entry, entries grouped in sections.
//
// This is the seam between code that reads preferences and the place they are kept: the
// program uses the QSettings-backed store (app/settings/qt_settings_store.h), tests of core code
// use MemorySettingsStore. Section and entry names are matched without regard to ASCII case,
// as the Windows registry does. Texts are Windows-1252 byte strings.

#include <string>
#include <string_view>

namespace vorla {

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;

    // A missing value, or one stored as text that is not a 32-bit decimal number, yields
    // defaultValue. Unsigned values above INT_MAX come back as their signed 32-bit pattern.
    virtual int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) const = 0;

    // A missing value yields defaultValue.
    virtual std::string GetProfileString(std::string_view section, std::string_view entry,
                                         std::string_view defaultValue) const = 0;

    // Both return false when the value could not be stored (empty names, a store that cannot
    // be written); the caller may go on, the previous value stays.
    virtual bool WriteProfileInt(std::string_view section, std::string_view entry, int value) = 0;
    virtual bool WriteProfileString(std::string_view section, std::string_view entry,
                                    std::string_view text) = 0;
};

// The section almost every setting lives in.
inline constexpr std::string_view kPreferencesSection = "Preferences";

}  // namespace vorla
