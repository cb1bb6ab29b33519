#include "ui/program/program_parts.h"

#include "ui/app/ui_extensions.h"
#include "ui/frame_commands/register_frame_commands.h"
#include "ui/preferences/run_preferences.h"

void RegisterProgramParts(UiExtensions& extensions) {
    RegisterUiWindows(extensions);
    RegisterUiMaintenance(extensions);
    RegisterUiImport(extensions);
    RegisterUiWizard(extensions);
    RegisterUiPreferences(extensions);
    RegisterFrameCommands(extensions);
}
