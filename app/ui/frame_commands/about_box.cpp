#include "ui/frame_commands/about_box.h"

#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QStorageInfo>
#include <QString>

#include "rkl32.h"
#include "ui/app/vorla_pro_app.h"

namespace {
// The memory the system could give programs now, or nothing where the system does not say.
QString FreeMemoryText() {
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly)) return QStringLiteral("Unavailable");
    const QList<QByteArray> lines = meminfo.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (!line.startsWith("MemAvailable:")) continue;
        bool ok = false;
        const qint64 kilobytes = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
        if (ok) return QLocale().formattedDataSize(kilobytes * 1024);
    }
    return QStringLiteral("Unavailable");
}

QString FreeDiskText(const QString& folder) {
    const QStorageInfo storage(folder);
    if (!storage.isValid() || storage.bytesAvailable() < 0) return QStringLiteral("Unavailable");
    return QLocale().formattedDataSize(storage.bytesAvailable());
}

QString EngineVersion() {
    char text[256] = {};
    RKL_GetRKLVersion(nullptr, text);
    return QString::fromLatin1(text);
}
}  // namespace

QString AboutText(const CVorlaPro5App& app) {
    const QString folder = QString::fromStdString(app.GetProgramDirectory());
    return QStringLiteral(
               "<h3>Vorla Pro</h3>"
               "<p>Version %1<br>Script engine Rkl32 %2</p>"
               "<p>Free memory: %3<br>Free disk space in the program folder: %4<br>Program folder: %5</p>"
               "<p>Built with:<br>"
               "Qt %6, under the GNU Lesser General Public License version 3<br>"
               "Hunspell %7, under the Mozilla Public License 1.1, the GNU GPL 2 or the GNU LGPL 2.1</p>")
        .arg(QStringLiteral(VORLA_VERSION), EngineVersion().toHtmlEscaped(), FreeMemoryText(),
             FreeDiskText(folder), folder.toHtmlEscaped(), QString::fromLatin1(qVersion()),
             QStringLiteral(VORLA_HUNSPELL_VERSION));
}

void ShowAboutBox(const CVorlaPro5App& app, QWidget* parent) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("About Vorla Pro"));
    box.setIcon(QMessageBox::Information);
    box.setTextFormat(Qt::RichText);
    box.setText(AboutText(app));
    box.exec();
}
