#include "command_ids.h"
#include "import_data_dialog.h"
#include "ui_extensions.h"

void RegisterUiImport(UiExtensions& extensions) {
  extensions.commands[cmd::kImportData] = &vorla::RunImportData;
}
