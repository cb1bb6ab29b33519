// Vorla Pro: start-up and exit of the program.

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QSessionManager>
#include <QSplashScreen>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "directory/report_command_line.h"
#include "files/private_file.h"
#include "platform/memory_reuse.h"
#include "platform/termination_signals.h"
#include "settings/process_program_directory.h"
#include "settings/program_directory.h"
#include "settings/qt_settings_store.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/automation/automation_server.h"
#include "ui/desktop/program_icon.h"
#include "ui/program/program_parts.h"
#include "ui/windows/directory_print_command.h"
#include "vorla_build_info.h"

namespace {
QPixmap SplashPixmap() {
    QPixmap pixmap(360, 160);
    pixmap.fill(QColor(0, 0, 128));
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(28);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Vorla Pro"));
    return pixmap;
}

void NameTheApplication() {
    QApplication::setOrganizationName(QString::fromLatin1(vorla::kSettingsOrganization));
    QApplication::setApplicationName(QString::fromLatin1(vorla::kSettingsApplication));
    QApplication::setApplicationVersion(QString::fromLatin1(vorla::kVersion));
    // Ties the windows to the installed desktop entry, so the desktop shows its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quillon.VorlaPro"));
    QApplication::setWindowIcon(vorla::ProgramIcon());
}

constexpr const char* kVorlaproHelp =
    "usage: vorlapro [--home DIR] [-Automation | -Embedding] [FILE]\n"
    "       vorlapro [--home DIR] --print-directory FILE.pdf [--sections LIST]\n"
    "Vorla Pro sends text messages to pagers.\n"
    "\n"
    "  --home DIR              use DIR as the program directory (else VORLAPRO_HOME, else the\n"
    "                          user's data folder of an installed program, else the program's folder)\n"
    "  -Automation             start for another program: no window, no splash\n"
    "  -Embedding              the same, as started by the desktop's object activation\n"
    "  --print-directory FILE.pdf\n"
    "                          write the directory's lists as PDF without a window, then exit\n"
    "  --sections LIST         the lists to print: subscribers,groups,services,messages\n"
    "  --help                  show this help and exit\n"
    "  --version               show the version and exit\n"
    "\n"
    "Exit status: 0 on success; with --print-directory 1 when the PDF was not written and 2 for\n"
    "bad arguments; 1 when the program directory cannot be used or start-up is refused.\n";

constexpr const char* kPrintUsage =
    "usage: vorlapro [--home DIR] --print-directory FILE.pdf [--sections "
    "subscribers,groups,services,messages]\n";

// "--print-directory": the report as PDF, no window, then exit (0 written, 1 not written,
// 2 bad arguments). It draws off-screen so a scheduled job without a display can run it.
int PrintDirectoryWithoutWindow(int& argc, char** argv, const PrintDirectoryParse& parse,
                                const std::optional<vorla::ProgramDirectory>& directory,
                                const std::string& error) {
    if (!parse.request || !directory) {
        std::fprintf(stderr, "vorlapro: %s\n%s", (directory ? parse.error : error).c_str(), kPrintUsage);
        return kPrintBadArguments;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    NameTheApplication();
    const vorla::QtSettingsStore settings;
    const PrintDirectoryOutcome outcome = WriteDirectoryPdf(*parse.request, *directory, settings);
    if (outcome.exitCode != kPrintWritten)
        std::fprintf(stderr, "vorlapro: %s\n", outcome.message.toLocal8Bit().constData());
    return outcome.exitCode;
}
}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = vorla::AnswerHelpOrVersion(argc, argv, "vorlapro", kVorlaproHelp))
        return *answered;
    vorla::KeepFreedMemoryForReuse();
    KeepNewFilesPrivate();
    std::vector<std::string> arguments(argv, argv + argc);
    bool homeMissing = false;
    std::optional<std::string> home = vorla::TakeHomeOption(arguments, &homeMissing);
    std::string error = "The option --home needs a folder.";
    const auto directory =
        homeMissing ? std::nullopt : vorla::OpenProgramDirectory(std::move(home), "vorlapro", &error);
    {
        const PrintDirectoryParse printRun = ParsePrintDirectoryArguments(
            std::vector<std::string>(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end()));
        if (printRun.requested) return PrintDirectoryWithoutWindow(argc, argv, printRun, directory, error);
    }
    QApplication qapp(argc, argv);
    NameTheApplication();
    // Installed before anything can take long, so no signal meanwhile is lost.
    TerminationSignals terminationSignals;

    if (!directory) {
        std::fprintf(stderr, "vorlapro: %s\n", error.c_str());
        QMessageBox::critical(nullptr, QStringLiteral("Vorla Pro"), QString::fromStdString(error));
        return 1;
    }
    const CommandLineInfo commandLine = ParseCommandLine(
        std::vector<std::string>(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end()));

    std::unique_ptr<QSplashScreen> splash;
    if (!commandLine.embedding && !commandLine.automation && !commandLine.print && !commandLine.dde) {
        // Gone after 750 ms, or at the first click (QSplashScreen hides itself on a click).
        splash = std::make_unique<QSplashScreen>(SplashPixmap());
        splash->show();
        QTimer::singleShot(750, splash.get(), &QWidget::close);
    }

    CVorlaPro5App app(std::make_unique<vorla::QtSettingsStore>(), *directory);
    RegisterProgramParts(app.Extensions());
    QObject::connect(&terminationSignals, &TerminationSignals::Requested, &app,
                     [&app](int) { app.RequestOrderlyEnd(); });
    // The desktop session ends (logout, shutdown): the same orderly end.
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest, &app,
                     [&app](QSessionManager&) { app.RequestOrderlyEnd(); });
    // Before start-up: its setup wizard and boxes wait on the user, who may be logging out.
    terminationSignals.Listen();
    const bool started = app.InitApplicationObjects(commandLine);
    if (!started && !app.OrderlyEndRequested()) {
        std::fprintf(stderr, "vorlapro: %s\n", app.StartupRefusal().toLocal8Bit().constData());
        return 1;
    }
    // After start-up: a client's first call finds the directory loaded.
    AutomationServer automation(app, commandLine.automation || commandLine.embedding);
    if (started) automation.Publish();
    const int code = app.Exec();
    app.ExitInstance();
    return code;
}
