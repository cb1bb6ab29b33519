#pragma once
// Setup > Preferences (Ctrl+F), and the automation method of the same name: the sheet, owned
// by the given window; on OK the running program takes the new settings at once.

class CVorlaPro5App;
class QWidget;
struct UiExtensions;

// True when the sheet was closed with OK.
bool RunPreferences(CVorlaPro5App& app, QWidget* owner);

// Provided by app/ui/preferences (vorla_ui_preferences): joins the command to the program.
void RegisterUiPreferences(UiExtensions& extensions);
