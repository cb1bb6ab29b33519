// Vorla Pro: start-up and exit of the program.

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QSplashScreen>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/vorla_pro_app.h"
#include "program_directory.h"
#include "qt_settings_store.h"

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
}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(vorla::kSettingsOrganization));
    QApplication::setApplicationName(QString::fromLatin1(vorla::kSettingsApplication));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));

    std::vector<std::string> arguments(argv, argv + argc);
    std::string error;
    auto directory = vorla::ProgramDirectory::FromProcess(arguments, &error);
    if (!directory) {
        std::fprintf(stderr, "vorlapro: %s\n", error.c_str());
        QMessageBox::critical(nullptr, QStringLiteral("Vorla Pro"), QString::fromStdString(error));
        return 1;
    }
    const CommandLineInfo commandLine =
        ParseCommandLine(std::vector<std::string>(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end()));

    std::unique_ptr<QSplashScreen> splash;
    if (!commandLine.embedding && !commandLine.automation && !commandLine.print && !commandLine.dde) {
        // Gone after 750 ms, or at the first click (QSplashScreen hides itself on a click).
        splash = std::make_unique<QSplashScreen>(SplashPixmap());
        splash->show();
        QTimer::singleShot(750, splash.get(), &QWidget::close);
    }

    CVorlaPro5App app(std::make_unique<vorla::QtSettingsStore>(), *directory);
#ifdef VORLA_HAVE_UI_WINDOWS
    RegisterUiWindows(app.Extensions());
#endif
#ifdef VORLA_HAVE_UI_WIZARD
    RegisterUiWizard(app.Extensions());
#endif
    if (!app.InitApplicationObjects(commandLine)) {
        std::fprintf(stderr, "vorlapro: %s\n", app.StartupRefusal().toLocal8Bit().constData());
        return 1;
    }
    const int code = QApplication::exec();
    app.ExitInstance();
    return code;
}
