#pragma once
// Icons for commands: the desktop's icon theme first, so a printer looks like the user's
// printer everywhere else on their desktop, and the style's built-in pixmap where the theme
// has none (or there is no theme, as offscreen).

#include <QIcon>
#include <QStyle>

namespace vorla {

// `themeName` is a freedesktop.org icon name such as "document-print".
QIcon CommandIcon(const char* themeName, QStyle::StandardPixmap fallback, const QStyle* style);

}  // namespace vorla
