// vorlaimport: brings another product's directory into the program directory's directory
// through an import translator, as File > Import does, without the program's window.
// Exit codes: 0 something was imported; 1 nothing was; 2 bad arguments, a translator that
// cannot be loaded, or a directory that cannot be read or written; 3 the program directory
// is in use.
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QCoreApplication>

#include "archive/class_registry.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "platform/program_directory_lock.h"
#include "settings/process_program_directory.h"
#include "settings/program_directory.h"
#include "text/cp1252.h"
#include "tools/vorlaimport/vorlaimport_options.h"
#include "ui/import/translator_catalog.h"
#include "ui/import/translator_run.h"
#include "vorla_build_info.h"

namespace {

enum Exit { kImported = 0, kNothingImported = 1, kBadArguments = 2, kDirectoryInUse = 3 };

int Complain(const std::string& text, int code) {
    std::cerr << "vorlaimport: " << text << std::endl;
    return code;
}

void PrintNames(const char* kind, const std::vector<std::string>& names) {
    std::cout << kind << ": " << names.size() << std::endl;
    for (const std::string& name : names)
        std::cout << "  " << Cp1252ToUtf8(name) << std::endl;
}

void PrintReport(const ImportReport& report) {
    PrintNames("services", report.services);
    PrintNames("subscribers", report.subscribers);
    PrintNames("groups", report.groups);
    std::cout << "messages: " << report.messages << std::endl;
    for (const ImportRename& r : report.renamed)
        std::cout << "renamed " << r.kind << " \"" << Cp1252ToUtf8(r.from) << "\" to \"" << Cp1252ToUtf8(r.to)
                  << "\"" << std::endl;
    if (report.skipped) std::cout << "skipped: " << report.skipped << std::endl;
    if (report.truncated)
        std::cout << "the translator gave too many records; the rest were left" << std::endl;
}

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v && *v) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = vorla::AnswerHelpOrVersion(argc, argv, "vorlaimport", kVorlaimportHelp))
        return *answered;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    std::optional<VorlaimportOptions> options = ParseVorlaimportOptions(arguments, &error);
    if (!options) {
        std::cerr << "vorlaimport: " << error << "\n" << kVorlaimportUsage << std::endl;
        return kBadArguments;
    }

    // The translator's dialog needs a widget application; an unattended run does not.
    std::unique_ptr<QCoreApplication> app;
    if (!options->list && !options->dataFile) {
        if (!HasDisplay())
            return Complain("the translator's dialog needs a display; give a data file", kBadArguments);
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    std::optional<vorla::ProgramDirectory> home =
        vorla::OpenProgramDirectory(options->home, "vorlaimport", &error);
    if (!home) return Complain(error, kBadArguments);

    if (options->list) {
        for (const vorla::TranslatorEntry& entry : vorla::ListTranslators(*home))
            std::cout << entry.description.toStdString() << "\t" << entry.path.toStdString() << std::endl;
        return kImported;
    }

    const QString translator = vorla::FindTranslator(*home, QString::fromStdString(options->translator));
    if (translator.isEmpty()) {
        std::string searched = home->GetProgramDirectory() + "import";
        if (home->InstalledTranslatorFolder())
            searched += " or " + home->InstalledTranslatorFolder()->string();
        return Complain(std::string(vorla::kCannotLoadTranslatorText) + " (no translator \"" +
                            options->translator + "\" in " + searched + ")",
                        kBadArguments);
    }
    std::error_code ignored;
    if (options->dataFile && !std::filesystem::is_regular_file(*options->dataFile, ignored))
        return Complain("cannot read " + *options->dataFile, kBadArguments);

    const std::string folder = home->GetProgramDirectory();
    vorla::ProgramDirectoryLock lock(QString::fromStdString(folder));
    switch (lock.TryAcquire()) {
        case vorla::ProgramDirectoryLock::Result::Acquired:
            break;
        case vorla::ProgramDirectoryLock::Result::HeldByOther:
            return Complain(lock.RefusalText().toStdString(), kDirectoryInUse);
        case vorla::ProgramDirectoryLock::Result::Failed:
            return Complain(lock.RefusalText().toStdString(), kBadArguments);
    }

    const ClassRegistry registry = MakeProgramClassRegistry();
    DirectoryStore store;
    const StartupLoad load = LoadStartupFiles(store, folder, registry, std::time(nullptr));
    for (const UnreadableFile& file : load.unreadable)
        std::cerr << DescribeUnreadableFile(file) << std::endl;
    // Merging into an empty directory in place of one that did not read would pass for the
    // whole directory.
    if (load.directoryError != ArchiveError::None)
        return Complain("cannot read the directory file in " + folder + ": " +
                            std::string(ArchiveErrorText(load.directoryError)) + "; nothing was imported",
                        kBadArguments);

    vorla::TranslatorRun run = vorla::RunTranslatorAndMerge(translator, store, nullptr, options->dataFile);
    switch (run.outcome) {
        case vorla::TranslatorRun::Outcome::NotReadable:
        case vorla::TranslatorRun::Outcome::CannotLoad:
            return Complain(
                std::string(vorla::kCannotLoadTranslatorText) + " " + run.loaderError.toStdString(),
                kBadArguments);
        case vorla::TranslatorRun::Outcome::Invalid:
            return Complain(vorla::kInvalidTranslatorText, kBadArguments);
        case vorla::TranslatorRun::Outcome::Cancelled:
            std::cout << "nothing imported" << std::endl;
            return kNothingImported;
        case vorla::TranslatorRun::Outcome::Merged:
            break;
    }
    PrintReport(run.report);
    if (run.report.Imported() == 0) return kNothingImported;

    const std::string directoryPath = folder + std::string(kDirectoryFileName);
    if (ArchiveError e = SaveDirectoryFile(directoryPath, store); e != ArchiveError::None)
        return Complain("cannot write " + directoryPath + ": " + std::string(ArchiveErrorText(e)),
                        kBadArguments);
    return kImported;
}
