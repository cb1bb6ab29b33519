#include "translator_catalog.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>

#include "program_directory.h"

namespace vorla {

QString TranslatorDescription(const QString& path) {
  const QJsonObject metadata = QPluginLoader(path).metaData().value("MetaData").toObject();
  const QString description = metadata.value("FileDescription").toString();
  return description.isEmpty() ? QString(kUnknownTranslator) : description;
}

QList<TranslatorEntry> ListTranslators(const ProgramDirectory& home) {
  QList<TranslatorEntry> entries;
  std::optional<std::filesystem::path> folder = home.FindDataFile("import");
  if (!folder) return entries;
  QDir dir(QString::fromStdString(folder->string()));
  const QFileInfoList files =
      dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& file : files) {
    if (!file.fileName().endsWith(".so", Qt::CaseInsensitive)) continue;
    entries.append({TranslatorDescription(file.absoluteFilePath()), file.absoluteFilePath()});
  }
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
