#pragma once
// Icons for commands: the desktop's icon theme first, so a printer looks like the user's
// printer everywhere else on their desktop; then the program's own icon for its own commands
// (drawn as SVG, one style); then the style's built-in pixmap. A command left with no icon
// shows its text.

#include <QIcon>
#include <QStyle>

namespace vorla {

// `themeName` is a freedesktop.org icon name such as "document-print" (empty: none);
// `ownIcon` names one of the program's own icons (empty or null: none).
QIcon CommandIcon(const char* themeName, const char* ownIcon, QStyle::StandardPixmap fallback,
                  const QStyle* style);
inline QIcon CommandIcon(const char* themeName, QStyle::StandardPixmap fallback, const QStyle* style) {
    return CommandIcon(themeName, nullptr, fallback, style);
}

// One of the program's own icons ("subscribers", "view_details", ...), or a null icon when it
// cannot be drawn here (no SVG support installed, or no such icon).
QIcon OwnIcon(const char* name);

}  // namespace vorla
