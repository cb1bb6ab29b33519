#pragma once
// Help > Contents and Help > Using Help: the user guide that ships inside the program, opened
// in the desktop's browser; where the desktop has none, in a window of the program.

#include <QString>

class QWidget;

// The guide as a file the browser can open (written to the user's cache folder from the copy
// inside the program); empty when it cannot be written.
QString UserGuideFile();
// Opens the guide at `anchor` (empty: the top).
void OpenUserGuide(QWidget* parent, const QString& anchor = QString());
