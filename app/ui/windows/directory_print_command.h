#pragma once
// "vorlapro --print-directory FILE.pdf": the directory report written as PDF without a window.

#include <QString>

#include "directory/report_command_line.h"

namespace vorla {
class ISettingsStore;
class ProgramDirectory;
}  // namespace vorla

struct PrintDirectoryOutcome {
    int exitCode = kPrintWritten;  // kPrintWritten, kPrintCannotWrite
    int pages = 0;
    QString message;  // for stderr when something went wrong
};

// Reads the directory file of the program directory (without taking the program's lock: it
// only reads, and the program replaces that file atomically) and writes the chosen lists to
// the PDF file, replacing it atomically. Nothing to print writes no file and fails. Needs a
// QGuiApplication; the message font comes from the settings.
PrintDirectoryOutcome WriteDirectoryPdf(const PrintDirectoryRequest& request,
                                        const vorla::ProgramDirectory& directory,
                                        const vorla::ISettingsStore& settings);
