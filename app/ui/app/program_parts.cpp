#include "app/program_parts.h"

#include "register_frame_commands.h"
#include "run_preferences.h"
#include "ui_extensions.h"

void RegisterProgramParts(UiExtensions& extensions) {
    RegisterUiWindows(extensions);
    RegisterUiMaintenance(extensions);
    RegisterUiImport(extensions);
    RegisterUiWizard(extensions);
    RegisterUiPreferences(extensions);
    RegisterFrameCommands(extensions);
}
