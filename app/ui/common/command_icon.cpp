#include "ui/common/command_icon.h"

#include <QFile>
#include <QHash>

// Outside any namespace, as the resource's registration function is.
static void RegisterCommandIcons() {
    Q_INIT_RESOURCE(command_icons);
}

namespace vorla {

QIcon OwnIcon(const char* name) {
    if (!name || !*name) return {};
    static const bool registered = (RegisterCommandIcons(), true);
    (void)registered;
    static QHash<QString, QIcon> drawn;
    const QString key = QString::fromLatin1(name);
    if (auto found = drawn.constFind(key); found != drawn.constEnd()) return *found;
    const QString path = QStringLiteral(":/vorla/icons/%1.svg").arg(key);
    QIcon icon;
    // Without the SVG plug-ins an icon from the file is not null but draws nothing, which
    // would leave a blank button instead of the command's text.
    if (QFile::exists(path)) {
        icon = QIcon(path);
        if (icon.pixmap(QSize(16, 16)).isNull()) icon = QIcon();
    }
    drawn.insert(key, icon);
    return icon;
}

QIcon CommandIcon(const char* themeName, const char* ownIcon, QStyle::StandardPixmap fallback,
                  const QStyle* style) {
    const QString name = QString::fromLatin1(themeName ? themeName : "");
    if (!name.isEmpty() && QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    if (QIcon own = OwnIcon(ownIcon); !own.isNull()) return own;
    return style ? style->standardIcon(fallback) : QIcon();
}

}  // namespace vorla
