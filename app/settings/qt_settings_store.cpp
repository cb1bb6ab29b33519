#include "settings/qt_settings_store.h"

#include "text/windows1252.h"

#include <QStringList>

#include <limits>

namespace vorla {

namespace {

bool UsableName(std::string_view name) {
    return !name.empty() && name.find_first_of("/\\") == std::string_view::npos;
}

// Latin letters only, as elsewhere in the settings layer.
QString FoldAscii(const QString& s) {
    QString folded = s;
    for (QChar& c : folded)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z') c = QChar(c.unicode() - 'A' + 'a');
    return folded;
}

QString MatchName(const QStringList& existing, const QString& wanted) {
    if (existing.contains(wanted)) return wanted;
    const QString folded = FoldAscii(wanted);
    for (const QString& name : existing)
        if (FoldAscii(name) == folded) return name;
    return wanted;
}

// Strict decimal: an optional minus and digits, in the range a 32-bit value, signed or
// unsigned, can take. Unsigned values wrap to their signed pattern, as a DWORD read into an int does.
bool ParseInt32(const QString& text, int& out) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || text.trimmed() != text || text.startsWith(u'+')) return false;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max())
        return false;
    out = static_cast<int>(static_cast<std::uint32_t>(value));
    return true;
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QString::fromLatin1(kSettingsOrganization),
                                            QString::fromLatin1(kSettingsApplication))) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::ResolveKey(std::string_view section, std::string_view entry) const {
    if (!UsableName(section) || !UsableName(entry)) return {};
    const QString group = MatchName(settings_->childGroups(), FromWindows1252(section));
    settings_->beginGroup(group);
    const QString key = MatchName(settings_->childKeys(), FromWindows1252(entry));
    settings_->endGroup();
    return group + u'/' + key;
}

int QtSettingsStore::GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) const {
    const QString key = ResolveKey(section, entry);
    if (key.isEmpty()) return defaultValue;
    const QVariant value = settings_->value(key);
    if (!value.isValid()) return defaultValue;
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::Int &&
        value.typeId() != QMetaType::UInt && value.typeId() != QMetaType::LongLong)
        return defaultValue;
    int number = 0;
    return ParseInt32(value.toString(), number) ? number : defaultValue;
}

std::string QtSettingsStore::GetProfileString(std::string_view section, std::string_view entry,
                                              std::string_view defaultValue) const {
    const QString key = ResolveKey(section, entry);
    if (key.isEmpty()) return std::string(defaultValue);
    const QVariant value = settings_->value(key);
    if (!value.isValid()) return std::string(defaultValue);
    // An unquoted value with commas in a hand-edited file comes back as a list.
    if (value.typeId() == QMetaType::QStringList) return ToWindows1252(value.toStringList().join(u", "));
    if (!value.canConvert<QString>()) return std::string(defaultValue);
    return ToWindows1252(value.toString());
}

bool QtSettingsStore::Write(std::string_view section, std::string_view entry, const QVariant& value) {
    const QString key = ResolveKey(section, entry);
    if (key.isEmpty()) return false;
    settings_->setValue(key, value);
    settings_->sync();
    return settings_->status() == QSettings::NoError && settings_->isWritable();
}

bool QtSettingsStore::WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    return Write(section, entry, QVariant(value));
}

bool QtSettingsStore::WriteProfileString(std::string_view section, std::string_view entry,
                                         std::string_view text) {
    return Write(section, entry, QVariant(FromWindows1252(text)));
}

}  // namespace vorla
