#include "ui/windows/directory_print_command.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QPrinter>

#include <filesystem>

#include "archive/class_registry.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "files/atomic_file.h"
#include "paging/paging_classes.h"
#include "settings/program_directory.h"
#include "ui/windows/directory_print.h"
#include "ui/windows/directory_report_printer.h"

namespace {

PrintDirectoryOutcome Failure(const QString& message) {
    return {kPrintCannotWrite, 0, message};
}

}  // namespace

PrintDirectoryOutcome WriteDirectoryPdf(const PrintDirectoryRequest& request,
                                        const vorla::ProgramDirectory& directory,
                                        const vorla::ISettingsStore& settings) {
    DirectoryStore store;
    const std::string path = directory.GetProgramDirectory() + std::string(kDirectoryFileName);
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        const ArchiveError error = LoadDirectoryFile(path, MakeProgramClassRegistry(), store);
        if (error != ArchiveError::None)
            return Failure(
                QStringLiteral("cannot read the directory %1: %2")
                    .arg(QString::fromStdString(path), QString::fromLatin1(ArchiveErrorText(error))));
    }
    DirectoryPrintContext context;
    context.source = [&store] { return ReportSourceOf(store); };
    QString refusal;
    context.tell = [&refusal](const QString& text) { refusal = text; };
    DirectoryPrinting printing(std::move(context));
    printing.Choice() = request.choice;
    const std::vector<ReportSectionLines> sections = printing.SectionsToPrint();
    if (sections.empty()) return Failure(refusal);

    // The pages a print to PDF from the print dialog gets by default.
    QPrinter defaults(QPrinter::HighResolution);
    defaults.setOutputFormat(QPrinter::PdfFormat);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    PrintDirectoryOutcome outcome;
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(defaults.resolution());
        writer.setPageLayout(defaults.pageLayout());
        writer.setCreator(QStringLiteral("Vorla Pro"));
        writer.setTitle(QStringLiteral("Directory"));
        const ReportPrintResult result = PrintDirectoryReport(writer, sections, StoredScreenFont(settings));
        if (!result.started) return Failure(QStringLiteral("cannot draw the report"));
        outcome.pages = result.pages;
    }
    const QByteArray& bytes = pdf.data();
    const ArchiveError written = ReplaceFileAtomically(
        request.outputPath, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (written != ArchiveError::None)
        return Failure(QStringLiteral("cannot write %1: %2")
                           .arg(QString::fromStdString(request.outputPath),
                                QString::fromLatin1(ArchiveErrorText(written))));
    return outcome;
}
