#include "ui/import/translator_run.h"

#include <QFile>
#include <QLibrary>

#include "directory/translator_abi.h"

namespace vorla {

TranslatorRun RunTranslatorAndMerge(const QString& path, DirectoryStore& store, void* parentWindow,
                                    const std::optional<std::string>& dataFile) {
    TranslatorRun run;
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        run.outcome = TranslatorRun::Outcome::NotReadable;
        return run;
    }
    probe.close();
    QLibrary library(path);
    if (!library.load()) {
        run.outcome = TranslatorRun::Outcome::CannotLoad;
        run.loaderError = library.errorString();
        return run;
    }
    int ready = 0;
    if (dataFile) {
        auto unattended = reinterpret_cast<RunTranslatorUnattendedFunction>(
            library.resolve(kRunTranslatorUnattendedExport));
        if (!unattended) {
            run.outcome = TranslatorRun::Outcome::Invalid;
            library.unload();
            return run;
        }
        ready = unattended(dataFile->c_str());
    } else {
        auto interactive = reinterpret_cast<RunTranslatorFunction>(library.resolve(kRunTranslatorExport));
        if (!interactive) {
            run.outcome = TranslatorRun::Outcome::Invalid;
            library.unload();
            return run;
        }
        ready = interactive(parentWindow);
    }
    if (ready == 0) {
        run.outcome = TranslatorRun::Outcome::Cancelled;
    } else {
        auto get = [&library](const char* name) {
            return reinterpret_cast<GetRecordFunction>(library.resolve(name));
        };
        run.report = MergeImportedRecords(store, {get(kGetServiceExport), get(kGetSubscriberExport),
                                                  get(kGetGroupExport), get(kGetPresetMessageExport)});
        run.outcome = TranslatorRun::Outcome::Merged;
    }
    library.unload();
    return run;
}

}  // namespace vorla
