#pragma once
// One run of an import translator: load it, let it prepare its records (with its dialog, or
// unattended from a data file), merge them into the directory, unload it.

#include <QString>
#include <optional>
#include <string>

#include "directory/import_merge.h"

class DirectoryStore;

namespace vorla {

inline constexpr const char* kCannotLoadTranslatorText = "Cannot load selected translator!";
inline constexpr const char* kInvalidTranslatorText = "Invalid Translator file!";

struct TranslatorRun {
    enum class Outcome { Merged, NotReadable, CannotLoad, Invalid, Cancelled };
    Outcome outcome = Outcome::CannotLoad;
    ImportReport report;  // what Merged brought in
    QString loaderError;  // why CannotLoad
};

// With a data file the translator's RunTranslatorUnattended prepares the records (a
// translator without it is Invalid); without one its RunTranslator runs its dialog with
// parentWindow as owner.
TranslatorRun RunTranslatorAndMerge(const QString& path, DirectoryStore& store, void* parentWindow,
                                    const std::optional<std::string>& dataFile = std::nullopt);

}  // namespace vorla
