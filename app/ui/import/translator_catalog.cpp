#include "ui/import/translator_catalog.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>
#include <QStringList>

#include "settings/program_directory.h"

namespace vorla {

QString TranslatorDescription(const QString& path) {
    const QJsonObject metadata = QPluginLoader(path).metaData().value("MetaData").toObject();
    const QString description = metadata.value("FileDescription").toString();
    return description.isEmpty() ? QString(kUnknownTranslator) : description;
}

namespace {

// The libraries of one folder whose file names are not taken yet (compared without regard
// to case), in name order.
void AppendFolder(const std::filesystem::path& folder, QList<TranslatorEntry>& entries, QStringList& taken) {
    QDir dir(QString::fromStdString(folder.string()));
    const QFileInfoList files =
        dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        if (!file.fileName().endsWith(".so", Qt::CaseInsensitive)) continue;
        if (taken.contains(file.fileName(), Qt::CaseInsensitive)) continue;
        taken.append(file.fileName());
        entries.append({TranslatorDescription(file.absoluteFilePath()), file.absoluteFilePath()});
    }
}

}  // namespace

QList<TranslatorEntry> ListTranslators(const ProgramDirectory& home) {
    QList<TranslatorEntry> entries;
    QStringList taken;
    if (std::optional<std::filesystem::path> folder = home.FindDataFile("import"))
        AppendFolder(*folder, entries, taken);
    if (home.InstalledTranslatorFolder()) AppendFolder(*home.InstalledTranslatorFolder(), entries, taken);
    return entries;
}

QString FindTranslator(const ProgramDirectory& home, const QString& name) {
    if (name.isEmpty()) return {};
    if (name.contains('/') && QFileInfo(name).isFile()) return QFileInfo(name).absoluteFilePath();
    const QList<TranslatorEntry> entries = ListTranslators(home);
    auto bareName = [](QString fileName) {
        if (fileName.endsWith(".so", Qt::CaseInsensitive)) fileName.chop(3);
        if (fileName.startsWith("lib", Qt::CaseInsensitive)) fileName.remove(0, 3);
        return fileName;
    };
    for (const TranslatorEntry& entry : entries) {
        const QString fileName = QFileInfo(entry.path).fileName();
        if (fileName.compare(name, Qt::CaseInsensitive) == 0 ||
            bareName(fileName).compare(bareName(name), Qt::CaseInsensitive) == 0 ||
            entry.description.compare(name, Qt::CaseInsensitive) == 0) {
            return entry.path;
        }
    }
    if (QFileInfo(name).isFile()) return QFileInfo(name).absoluteFilePath();
    return {};
}

}  // namespace vorla
