#include "ui/app/command_ids.h"
#include "ui/import/import_data_dialog.h"
#include "ui/app/ui_extensions.h"

void RegisterUiImport(UiExtensions& extensions) {
  extensions.commands[cmd::kImportData] = &vorla::RunImportData;
}
