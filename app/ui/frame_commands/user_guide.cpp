#include "ui/frame_commands/user_guide.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const char* const kGuideResource = ":/vorlapro/user_guide.html";

void ShowInProgram(QWidget* parent, const QString& anchor) {
    auto* viewer = new QDialog(parent);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(QStringLiteral("Vorla Pro Help"));
    viewer->setObjectName(QStringLiteral("UserGuide"));
    auto* browser = new QTextBrowser(viewer);
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(QStringLiteral("qrc") + QString::fromLatin1(kGuideResource)));
    if (!anchor.isEmpty()) browser->scrollToAnchor(anchor);
    auto* layout = new QVBoxLayout(viewer);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    viewer->resize(720, 560);
    viewer->show();
}
}  // namespace

QString UserGuideFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
    QFile guide(QString::fromLatin1(kGuideResource));
    if (!guide.open(QIODevice::ReadOnly)) return {};
    const QString path = folder + QStringLiteral("/user_guide.html");
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(guide.readAll()) < 0 || !out.commit()) return {};
    return path;
}

void OpenUserGuide(QWidget* parent, const QString& anchor) {
    const QString path = UserGuideFile();
    if (!path.isEmpty()) {
        QUrl url = QUrl::fromLocalFile(path);
        if (!anchor.isEmpty()) url.setFragment(anchor);
        if (QDesktopServices::openUrl(url)) return;
    }
    ShowInProgram(parent, anchor);
}
