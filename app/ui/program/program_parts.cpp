#include "ui/program/program_parts.h"

#include <memory>

#include "ui/app/ui_extensions.h"
#include "ui/frame_commands/register_frame_commands.h"
#include "ui/main_window/main_frame.h"
#include "ui/preferences/run_preferences.h"

void RegisterProgramParts(UiExtensions& extensions) {
    extensions.makeMainFrame = [](CVorlaPro5App& app) { return std::make_unique<CMainFrame>(app); };
    RegisterUiWindows(extensions);
    RegisterUiMaintenance(extensions);
    RegisterUiImport(extensions);
    RegisterUiWizard(extensions);
    RegisterUiPreferences(extensions);
    RegisterFrameCommands(extensions);
}
