#pragma once
// Help > About: the program's name and version, the script engine's version, the free memory
// and disk space of the program folder, and the libraries the program is built on with their
// licences.

class CVorlaPro5App;
class QString;
class QWidget;

// The box's text (rich text).
QString AboutText(const CVorlaPro5App& app);
void ShowAboutBox(const CVorlaPro5App& app, QWidget* parent);
