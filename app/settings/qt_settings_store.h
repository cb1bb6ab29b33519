#pragma once
// The program's settings store on QSettings: organization "Quillon", application
// "Vorla Pro". On Linux that is the INI file "$XDG_CONFIG_HOME/Quillon/Vorla Pro.conf"
// (~/.config when unset), on Windows the registry branch Software\Quillon\Vorla Pro.
// Sections are groups and entries keys; QSettings escapes the blanks in names itself.
//
// An INI file does not record whether a value is a number or a text, so an integer read
// accepts any value whose text is a 32-bit decimal number, and a text read of a number
// gives its decimal text. Names are matched without regard to ASCII case, like the
// registry; a write keeps the spelling a name already has. Every write is flushed at once
// (QSettings replaces its file atomically), so a crash loses no setting.

#include "settings/settings_store.h"

#include <QSettings>
#include <QString>

#include <memory>

namespace vorla {

inline constexpr const char* kSettingsOrganization = "Quillon";
inline constexpr const char* kSettingsApplication = "Vorla Pro";

class QtSettingsStore final : public ISettingsStore {
public:
    QtSettingsStore();                                 // the user's settings
    explicit QtSettingsStore(const QString& iniFile);  // an INI file of one's own (tests, portable use)
    ~QtSettingsStore() override;

    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) const override;
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view defaultValue) const override;
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value) override;
    bool WriteProfileString(std::string_view section, std::string_view entry, std::string_view text) override;

    QString FileName() const { return settings_->fileName(); }

private:
    // The full key for section/entry, matching existing names without regard to case;
    // empty for names QSettings would read as a path ("/" or "\\") and for empty names.
    QString ResolveKey(std::string_view section, std::string_view entry) const;
    bool Write(std::string_view section, std::string_view entry, const QVariant& value);
    std::unique_ptr<QSettings> settings_;
};

}  // namespace vorla
