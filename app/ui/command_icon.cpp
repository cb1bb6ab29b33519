#include "command_icon.h"

namespace vorla {

QIcon CommandIcon(const char* themeName, QStyle::StandardPixmap fallback, const QStyle* style) {
    const QString name = QString::fromLatin1(themeName);
    if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    return style ? style->standardIcon(fallback) : QIcon();
}

}  // namespace vorla
