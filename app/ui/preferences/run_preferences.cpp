#include "ui/preferences/run_preferences.h"

#include "ui/app/command_ids.h"
#include "ui/app/ui_extensions.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/preferences/prefs_property_sheet.h"

bool RunPreferences(CVorlaPro5App& app, QWidget* owner) {
    CPrefsPropertySheet sheet(app.Settings(), owner);
    if (sheet.exec() != QDialog::Accepted) return false;
    // The outgoing queue reads "ResendTimes" and "ResendSeconds" from the store at each use,
    // so the next failure already follows what was just written; the windows read the rest.
    app.RefreshAfterPreferences();
    return true;
}

void RegisterUiPreferences(UiExtensions& extensions) {
    extensions.commands[cmd::kPreferences] = [](CVorlaPro5App& app, QWidget* owner) {
        RunPreferences(app, owner);
    };
}
