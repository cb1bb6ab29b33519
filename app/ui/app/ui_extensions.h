#pragma once
// Windows built in their own folders (the outgoing and log windows, the setup wizard) join
// the program through these factories, so the application object never includes their
// headers. Each folder provides one Register function; RegisterProgramParts
// (program_parts.h) calls them all, for the program and for the tests alike, so every
// factory below is set.

#include <functional>
#include <map>
#include <memory>

class AppFrame;
class QWidget;
class QMdiSubWindow;
class CVorlaPro5App;

struct UiExtensions {
    // The main window (app/ui/main_window), made once start-up has read the directory.
    std::function<std::unique_ptr<AppFrame>(CVorlaPro5App& app)> makeMainFrame;
    // The Outgoing tab's page, a child of `parent`.
    std::function<QWidget*(CVorlaPro5App& app, QWidget* parent)> makeOutgoingView;
    // The log window's widget, shown as an MDI child of the main frame (the frame wraps it in
    // the sub-window).
    std::function<QWidget*(CVorlaPro5App& app)> makeLogWindow;
    // Runs the express setup wizard modally; returns when it is closed.
    std::function<void(CVorlaPro5App& app, QWidget* parent)> runSetupWizard;
    // The Schedule Message dialog for "At...": true and the chosen time (seconds since 1970)
    // on OK.
    std::function<bool(CVorlaPro5App& app, QWidget* parent, unsigned& scheduleTime)> runScheduleDialog;
    // Called once the main window is shown (not when embedded, not without message boxes):
    // the tip of the day, when the user has not turned it off.
    std::function<void(CVorlaPro5App& app, QWidget* parent)> showStartupTip;
    // Handlers of menu and toolbar commands built elsewhere (maintenance windows, preferences,
    // import, printing, about), by command id (command_ids.h).
    std::map<int, std::function<void(CVorlaPro5App& app, QWidget* parent)>> commands;
};

// Provided by app/ui/windows (vorla_ui_windows).
void RegisterUiWindows(UiExtensions& extensions);
// Provided by app/ui/maintenance (vorla_ui_maintenance).
void RegisterUiMaintenance(UiExtensions& extensions);
// Provided by app/ui/import (vorla_ui_import).
void RegisterUiImport(UiExtensions& extensions);
// Provided by app/ui/wizard (vorla_ui_wizard).
void RegisterUiWizard(UiExtensions& extensions);
