#include "ui/desktop/program_icon.h"

#include <QFile>

// Outside any namespace, as the resource's registration function is.
static void RegisterProgramIcon() {
    Q_INIT_RESOURCE(program_icon);
}

namespace vorla {

QIcon ProgramIcon() {
    static const QIcon icon = [] {
        RegisterProgramIcon();
        // The SVG scales to any size where Qt's SVG plug-ins are installed; the sizes drawn at
        // build time are used as they are, and alone where the plug-ins are missing.
        QIcon own(QStringLiteral(":/vorla/program/vorlapro.svg"));
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString png = QStringLiteral(":/vorla/program/%1/vorlapro.png").arg(size);
            if (QFile::exists(png)) own.addFile(png, QSize(size, size));
        }
        return QIcon::fromTheme(QStringLiteral("vorlapro"), own);
    }();
    return icon;
}

}  // namespace vorla
