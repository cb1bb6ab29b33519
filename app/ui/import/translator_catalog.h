#pragma once
// The import translators of a program directory: the shared libraries in its "import"
// folder and, for an installed program, those installed with it, each known by the file
// description of its plug-in metadata.

#include <QList>
#include <QString>

namespace vorla {

class ProgramDirectory;

inline constexpr const char* kUnknownTranslator = "Unknown Translator";

struct TranslatorEntry {
    QString description;
    QString path;  // full path of the library
};

// Every "*.so" of the folder "import" (folder and suffix found without regard to case), in
// name order, then those of the installed translators' folder; a library in "import"
// hides an installed one of the same file name, so a user can put a newer one first.
// The metadata is read without loading the library.
QList<TranslatorEntry> ListTranslators(const ProgramDirectory& home);

// The description in a library's plug-in metadata, or "Unknown Translator".
QString TranslatorDescription(const QString& path);

// The translator a user names: an existing path, a file name in the import folder with or
// without its "lib" prefix and ".so" suffix, or a listed description (names and
// descriptions without regard to case). Empty when none matches.
QString FindTranslator(const ProgramDirectory& home, const QString& name);

}  // namespace vorla
