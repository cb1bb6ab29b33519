#include "ui/app/command_ids.h"
#include "ui/app/ui_extensions.h"
#include "ui/import/import_data_dialog.h"

void RegisterUiImport(UiExtensions& extensions) {
    extensions.commands[cmd::kImportData] = &vorla::RunImportData;
}
