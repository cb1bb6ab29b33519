#include "ui/frame_commands/mail_directory.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

#include "text/windows1252.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/frame_commands/directory_text.h"

QString MailHandler() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

bool MailDirectory(CVorlaPro5App& app, const QString& handler, const ProgramStarter& start) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString path = folder + QStringLiteral("/Vorla Pro directory.txt");
    // The mail program reads the file after we return, so it stays (and is replaced next time).
    QSaveFile file(path);
    const bool written = !folder.isEmpty() && QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
                         file.write(vorla::FromWindows1252(DirectoryListsText(app.Store())).toUtf8()) >= 0 &&
                         file.commit();
    if (!written) {
        app.ShowStop(QStringLiteral("The directory could not be written to %1.").arg(path));
        return false;
    }
    const QStringList arguments = {QStringLiteral("--subject"), QStringLiteral("Vorla Pro directory"),
                                   QStringLiteral("--attach"), path};
    if (!start(handler, arguments)) {
        app.ShowStop(QStringLiteral("The mail program could not be started (%1).").arg(handler));
        return false;
    }
    return true;
}
